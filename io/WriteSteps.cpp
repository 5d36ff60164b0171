#include "io/WriteSteps.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace io {
namespace {

std::function<int(WriteFault&)>& injector() {
    static std::function<int(WriteFault&)> f;
    return f;
}

int inject(WriteStep step, int fd, qint64& length) {
    if (!injector()) return 0;
    WriteFault fault{step, fd, length};
    const int err = injector()(fault);
    length = std::clamp<qint64>(fault.length, 0, length);
    return err;
}

int inject(WriteStep step, int fd) {
    qint64 none = 0;
    return inject(step, fd, none);
}

int orErrno(int result) { return result == 0 ? 0 : errno; }

} // namespace

void setFaultInjector(std::function<int(WriteFault&)> f) { injector() = std::move(f); }

namespace steps {

int writeAll(int fd, const char* data, qint64 length) {
    while (length > 0) {
        const qint64 n = std::min<qint64>(length, qint64(1) << 24);
        qint64 taken = n;   // what the system takes of the n bytes: fewer in a short write
        if (const int err = inject(WriteStep::Write, fd, taken)) return err;
        const ssize_t written = ::write(fd, data, static_cast<size_t>(taken));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return ENOSPC;
        data += written;
        length -= written;
    }
    return 0;
}

int sync(int fd) {
    if (const int err = inject(WriteStep::Sync, fd)) return err;
    if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return errno;
}

int syncFolder(int dirfd) {
    if (const int err = inject(WriteStep::SyncFolder, dirfd)) return err;
    if (::fsync(dirfd) == 0 || errno == EINVAL || errno == EROFS) return 0;
    return errno;
}

int rename(int dirfd, const char* from, const char* to) {
    if (const int err = inject(WriteStep::Rename, -1)) return err;
    return orErrno(::renameat(dirfd, from, dirfd, to));
}

int allocate(int fd, qint64 size) {
    if (const int err = inject(WriteStep::Allocate, fd)) return err;
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0) return 0;
    return errno == ENOSYS ? EOPNOTSUPP : errno;
}

int chmod(int fd, mode_t mode) {
    if (const int err = inject(WriteStep::Chmod, fd)) return err;
    return orErrno(::fchmod(fd, mode));
}

int truncate(int fd, qint64 size) {
    if (const int err = inject(WriteStep::Truncate, fd)) return err;
    return orErrno(::ftruncate(fd, size));
}

int createUnnamed(int dirfd, mode_t mode, UniqueFd& fd) {
    if (const int err = inject(WriteStep::Unnamed, dirfd)) return err;
    const int made = ::openat(dirfd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (made < 0) return errno;
    fd.reset(made);
    return 0;
}

int copy(int fromFd, int toFd, qint64 size) {
    constexpr qint64 kPiece = qint64(4) << 20;
    std::vector<char> buf(static_cast<size_t>(std::min(kPiece, std::max<qint64>(size, 1))));
    for (qint64 at = 0; at < size;) {
        const qint64 n = std::min<qint64>(kPiece, size - at);
        qint64 taken = n;
        if (const int err = inject(WriteStep::Copy, toFd, taken)) return err;
        const ssize_t got = ::pread(fromFd, buf.data(), static_cast<size_t>(taken), at);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) return EIO;   // the file is shorter than it was
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::pwrite(toFd, buf.data() + done, static_cast<size_t>(got - done), at + done);
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return errno;
            if (put == 0) return ENOSPC;
            done += put;
        }
        at += got;
    }
    return 0;
}

} // namespace steps
} // namespace io
