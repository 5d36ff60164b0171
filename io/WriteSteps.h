#pragma once
// The system calls a save is made of, each behind one fault seam so that tests can fail any of
// them (a full disk, an I/O error, a refused rename) or shorten a write, as a failing disk would.
// Every function returns 0 or the errno value of the failure.
#include "io/UniqueFd.h"

#include <QtGlobal>
#include <functional>
#include <sys/types.h>

namespace io {

enum class WriteStep {
    Write,        // write(2) of up to 'length' bytes
    Sync,         // fsync(2) of a file: the new file, the file rewritten in place, the kept copy
    SyncFolder,   // fsync(2) of a folder after a name in it changed
    Rename,       // the new file takes the old one's name
    Allocate,     // fallocate(2): room claimed before a file is rewritten in place
    Chmod,        // the new file takes the old one's permissions
    Copy,         // a piece of the old file copied into the kept copy, or back from it
    Truncate,     // ftruncate(2): a rewritten file cut to its length
    Unnamed,      // an unnamed temporary file made (O_TMPFILE); EOPNOTSUPP: the file system has none
};

struct WriteFault {
    WriteStep step;
    int fd;          // the file or folder concerned (-1 for Rename)
    qint64 length;   // Write and Copy: the bytes about to go; the seam may lower it (a short write)
};

// Test seam: called before each step; returning an errno value other than 0 fails the step with it.
// nullptr removes it.
void setFaultInjector(std::function<int(WriteFault&)> injector);

namespace steps {
int writeAll(int fd, const char* data, qint64 length);
int sync(int fd);         // a file system that cannot sync (EINVAL, EROFS) counts as synced
int syncFolder(int dirfd);
int rename(int dirfd, const char* from, const char* to);
// Claims room for 'size' bytes without changing the file's length; EOPNOTSUPP where the file
// system cannot.
int allocate(int fd, qint64 size);
int chmod(int fd, mode_t mode);
int truncate(int fd, qint64 size);
// Makes an unnamed file in the folder, open for writing, into 'fd'.
int createUnnamed(int dirfd, mode_t mode, UniqueFd& fd);
// Copies the first 'size' bytes of one file to the start of another.
int copy(int fromFd, int toFd, qint64 size);
} // namespace steps

} // namespace io
