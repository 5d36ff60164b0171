#include "io/TempFile.h"

#include "io/WriteSteps.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {
namespace {

constexpr char kPrefix[] = ".tspd-";
constexpr int kPrefixLength = sizeof(kPrefix) - 1;
constexpr int kRandomLength = 6;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QByteArray randomName() {
    static std::mt19937_64 random{std::random_device{}() ^ (quint64(::getpid()) << 32)};
    QByteArray name(kPrefix);
    for (int i = 0; i < kRandomLength; ++i) name += kLetters[random() % (sizeof(kLetters) - 1)];
    return name;
}

bool isOurs(const char* name) {
    if (std::strncmp(name, kPrefix, kPrefixLength) != 0 || std::strlen(name) != kPrefixLength + kRandomLength)
        return false;
    for (const char* p = name + kPrefixLength; *p; ++p)
        if (!std::strchr(kLetters, *p)) return false;
    return true;
}

// Linking an unnamed file needs /proc (or a privilege); without it the file could never be named.
bool canLinkUnnamed() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

bool writtenBefore(const struct stat& st, const timespec& t) {
    return st.st_mtim.tv_sec < t.tv_sec || (st.st_mtim.tv_sec == t.tv_sec && st.st_mtim.tv_nsec < t.tv_nsec);
}

} // namespace

TempFile::~TempFile() { discard(); }

int TempFile::create(int dirfd, mode_t mode) {
    dirfd_ = dirfd;
    if (canLinkUnnamed()) {
        const int err = steps::createUnnamed(dirfd, mode, fd_);
        if (!err) {
            unnamed_ = true;
            ::flock(fd_, LOCK_EX);
            return 0;
        }
        // A file system without O_TMPFILE says so in several ways; anything else is final.
        if (err != EOPNOTSUPP && err != EISDIR && err != EINVAL) return err;
    }
    for (int tries = 0; tries < 100; ++tries) {
        const QByteArray name = randomName();
        fd_ = ::openat(dirfd, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            name_ = name;
            ::flock(fd_, LOCK_EX);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int TempFile::link() {
    if (!unnamed_) return 0;
    for (int tries = 0; tries < 100; ++tries) {
        const QByteArray name = randomName();
        const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd_);
        if (::linkat(AT_FDCWD, proc.constData(), dirfd_, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
            name_ = name;
            unnamed_ = false;
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

void TempFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!name_.isEmpty()) ::unlinkat(dirfd_, name_.constData(), 0);
    name_.clear();
}

void removeStaleTemps(int dirfd, const timespec& before) {
    const int listFd = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return;
    }
    const uid_t me = ::geteuid();
    while (const dirent* e = ::readdir(dir)) {
        if (!isOurs(e->d_name)) continue;
        int fd = ::openat(dirfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) fd = ::openat(dirfd, e->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // A lock that can be had means its writer is gone.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == me && writtenBefore(st, before) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirfd, e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace fileops
