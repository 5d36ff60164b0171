#include "io/FileAttributes.h"

#include "io/UniqueFd.h"

#include <QByteArray>
#include <QList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace io {
namespace {

bool copied(const char* name) {
    return std::strncmp(name, "user.", 5) == 0 || std::strncmp(name, "security.", 9) == 0 ||
           std::strncmp(name, "trusted.", 8) == 0 || std::strcmp(name, "system.posix_acl_access") == 0;
}

// Reads a list or a value whose size is asked first; -1 with errno on failure.
template <class Read>
ssize_t readSized(QByteArray& out, Read read) {
    for (int tries = 0; tries < 8; ++tries) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) return -1;
        out.resize(size);
        const ssize_t got = read(out.data(), size_t(size));
        if (got >= 0) {
            out.resize(got);
            return got;
        }
        if (errno != ERANGE) return -1;   // grew in between: ask again
    }
    errno = ERANGE;
    return -1;
}

} // namespace

bool canKeepOwner(const struct stat& old) {
    const uid_t euid = ::geteuid();
    if (euid == 0) return true;
    if (old.st_uid != euid) return false;
    if (old.st_gid == ::getegid()) return true;
    const int n = ::getgroups(0, nullptr);
    QList<gid_t> groups(std::max(n, 0));
    if (n <= 0 || ::getgroups(n, groups.data()) != n) return false;
    return groups.contains(old.st_gid);
}

int copyAttributes(int dirfd, const char* name, int toFd) {
    // Read through a descriptor; a file that may not be read is reached through its path in /proc.
    UniqueFd file(::openat(dirfd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const bool byPath = !file;
    if (byPath) file.reset(::openat(dirfd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!file) return errno;
    const int fd = file.get();
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    const auto list = [&](char* buf, size_t size) {
        return byPath ? ::listxattr(proc.constData(), buf, size) : ::flistxattr(fd, buf, size);
    };
    int result = 0;
    QByteArray names;
    if (readSized(names, list) < 0) {
        result = errno == ENOTSUP ? 0 : errno;   // a file system without attributes has none to keep
    }
    for (const char* n = names.constData(); result == 0 && n < names.constData() + names.size(); n += std::strlen(n) + 1) {
        if (!copied(n)) continue;
        QByteArray value;
        const auto get = [&](char* buf, size_t size) {
            return byPath ? ::getxattr(proc.constData(), n, buf, size) : ::fgetxattr(fd, n, buf, size);
        };
        if (readSized(value, get) < 0) {
            if (errno != ENODATA) result = errno;   // ENODATA: removed in between
            continue;
        }
        QByteArray present;
        const auto getNew = [&](char* buf, size_t size) { return ::fgetxattr(toFd, n, buf, size); };
        if (readSized(present, getNew) >= 0 && present == value) continue;   // the new file has it already
        if (::fsetxattr(toFd, n, value.constData(), size_t(value.size()), 0) != 0) result = errno;
    }
    return result;
}

} // namespace io
