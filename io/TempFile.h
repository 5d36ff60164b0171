#pragma once
// The temporary file a new version of a file is written to before it takes the file's name.
// Where the file system has O_TMPFILE it has no name until just before the rename, so that a
// save that is killed leaves nothing behind; elsewhere it is named ".tspd-" and six letters.
// Either way it is locked (flock) while its writer lives, so that the next save in the folder can
// tell the leftovers of killed saves from the files of saves still running, and remove them.
#include <QByteArray>
#include <ctime>
#include <sys/types.h>

namespace fileops {

class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates it in the folder 'dirfd' with the given mode (the umask and the folder's default
    // ACL apply). 0 or errno.
    int create(int dirfd, mode_t mode);
    int fd() const { return fd_; }
    // Gives an unnamed file its name (a named one has it already). 0 or errno.
    int link();
    const QByteArray& name() const { return name_; }
    // The file has taken the target's name: nothing is left to remove.
    void renamed() { name_.clear(); }
    // Closes it and removes its name, if it has one.
    void discard();

private:
    int dirfd_ = -1;
    int fd_ = -1;
    bool unnamed_ = false;
    QByteArray name_;
};

// Removes, in the folder 'dirfd', the temporary files of this user that no writer holds any
// more and that were last written before 'before'.
void removeStaleTemps(int dirfd, const timespec& before);

} // namespace fileops
