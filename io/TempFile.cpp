#include "io/TempFile.h"

#include "io/WriteSteps.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace io {
namespace {

constexpr char kPrefix[] = ".tesselpad-save-";
constexpr int kPrefixLength = sizeof(kPrefix) - 1;
constexpr char kSuffix[] = ".tmp";
constexpr int kSuffixLength = sizeof(kSuffix) - 1;
constexpr int kRandomLength = 6;
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Set on every temporary file while it is one; proof that a file of that name is ours.
constexpr char kMark[] = "user.tesselpad.temp";

QByteArray randomName() {
    static std::mt19937_64 random{std::random_device{}() ^ (quint64(::getpid()) << 32)};
    QByteArray name(kPrefix);
    for (int i = 0; i < kRandomLength; ++i) name += kLetters[random() % (sizeof(kLetters) - 1)];
    return name + kSuffix;
}

bool hasOurName(const char* name) {
    if (std::strlen(name) != kPrefixLength + kRandomLength + kSuffixLength ||
        std::strncmp(name, kPrefix, kPrefixLength) != 0 || std::strcmp(name + kPrefixLength + kRandomLength, kSuffix) != 0)
        return false;
    for (int i = kPrefixLength; i < kPrefixLength + kRandomLength; ++i)
        if (!std::strchr(kLetters, name[i])) return false;
    return true;
}

// Marks the new file before a byte of the user's goes into it.
void mark(int fd) { ::fsetxattr(fd, kMark, "1", 1, 0); }
bool isMarked(int fd) { return ::fgetxattr(fd, kMark, nullptr, 0) >= 0; }

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
            mark(fd_.get());
            ::flock(fd_.get(), LOCK_EX);
            return 0;
        }
        // A file system without O_TMPFILE says so in several ways; anything else is final.
        if (err != EOPNOTSUPP && err != EISDIR && err != EINVAL) return err;
    }
    for (int tries = 0; tries < 100; ++tries) {
        const QByteArray name = randomName();
        UniqueFd fd(::openat(dirfd, name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd) {
            fd_ = std::move(fd);
            name_ = name;
            mark(fd_.get());
            ::flock(fd_.get(), LOCK_EX);
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
        const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd_.get());
        if (::linkat(AT_FDCWD, proc.constData(), dirfd_, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
            name_ = name;
            unnamed_ = false;
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

void TempFile::renamed() {
    name_.clear();
    // A kill before this leaves the mark on the saved file; nothing removes a file by its mark alone.
    ::fremovexattr(fd_.get(), kMark);
}

void TempFile::discard() {
    fd_.reset();
    if (!name_.isEmpty()) ::unlinkat(dirfd_, name_.constData(), 0);
    name_.clear();
}

void removeStaleTemps(int dirfd, const timespec& before) {
    const FolderListing dir = listFolder(UniqueFd(::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    if (!dir) return;
    const uid_t me = ::geteuid();
    while (const dirent* e = ::readdir(dir.get())) {
        if (!hasOurName(e->d_name)) continue;
        UniqueFd file(::openat(dirfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!file) file.reset(::openat(dirfd, e->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (!file) continue;
        const int fd = file.get();
        struct stat st {}, named {};
        // A lock that can be had means its writer is gone. The name must still be this file.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == me && writtenBefore(st, before) &&
            isMarked(fd) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirfd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == st.st_ino &&
            named.st_dev == st.st_dev)
            ::unlinkat(dirfd, e->d_name, 0);
    }
}

} // namespace io
