#pragma once
// The temporary file a new version of a file is written to before it takes the file's name.
// Where the file system has O_TMPFILE it has no name until just before the rename, so that a
// save that is killed leaves nothing behind; elsewhere it is named ".tesselpad-save-", six letters
// and ".tmp". Either way it carries the extended attribute "user.tesselpad.temp" from its first
// moment until it has taken the target's name, and it is locked (flock) while its writer lives.
// The next save in the folder removes a file only with all of these: such a name, the attribute,
// this user as its owner, no lock and a last write before that save began. A user's own file
// never has the attribute, so it is never taken for a leftover; where the file system keeps no
// extended attributes, nothing is removed.
#include "io/UniqueFd.h"

#include <QByteArray>
#include <ctime>
#include <sys/types.h>

namespace io {

class TempFile {
public:
    TempFile() = default;
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates it in the folder 'dirfd' with the given mode (the umask and the folder's default
    // ACL apply). 0 or errno.
    int create(int dirfd, mode_t mode);
    int fd() const { return fd_.get(); }
    // Gives an unnamed file its name (a named one has it already). 0 or errno.
    int link();
    const QByteArray& name() const { return name_; }
    // The file has taken the target's name: nothing is left to remove, and it is no longer marked.
    void renamed();
    // Closes it and removes its name, if it has one.
    void discard();

private:
    int dirfd_ = -1;   // the caller's folder, not closed here
    UniqueFd fd_;
    bool unnamed_ = false;
    QByteArray name_;
};

// Removes, in the folder 'dirfd', the temporary files of this user that no writer holds any
// more and that were last written before 'before'.
void removeStaleTemps(int dirfd, const timespec& before);

} // namespace io
