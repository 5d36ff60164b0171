#include "io/SavedCopy.h"

#include "io/WriteSteps.h"

#include <QDateTime>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {
namespace {

// Makes the folder and any missing parents; each new one is flushed into its parent.
int makeFolders(const QByteArray& path) {
    for (qsizetype at = path.indexOf('/', 1); ; at = path.indexOf('/', at + 1)) {
        const QByteArray part = at < 0 ? path : path.left(at);
        if (::mkdir(part.constData(), 0700) == 0) {
            const QByteArray parent = part.left(part.lastIndexOf('/') > 0 ? part.lastIndexOf('/') : 1);
            const int fd = ::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd >= 0) {
                const int err = steps::syncFolder(fd);
                ::close(fd);
                if (err) return err;
            }
        } else if (errno != EEXIST) {
            return errno;
        }
        if (at < 0) return 0;
    }
}

bool exists(int dirfd, const QByteArray& name) {
    struct stat st {};
    return ::fstatat(dirfd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Removes the copies whose maker died before finishing them, and their records.
void removeUnfinished(int dirfd) {
    const int listFd = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!dir) {
        if (listFd >= 0) ::close(listFd);
        return;
    }
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name.endsWith(".partial")) {
            const int fd = ::openat(dirfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) continue;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                ::unlinkat(dirfd, e->d_name, 0);
                ::unlinkat(dirfd, (name.chopped(8) + ".path").constData(), 0);
            }
            ::close(fd);
        } else if (name.endsWith(".path")) {
            // A record of a copy that is neither being made nor finished. Asked in this order, a
            // copy that is finished in between is still seen.
            const QByteArray stem = name.chopped(5);
            if (!exists(dirfd, stem + ".partial") && !exists(dirfd, stem + ".old")) ::unlinkat(dirfd, e->d_name, 0);
        }
    }
    ::closedir(dir);
}

} // namespace

QByteArray SavedCopy::folder() {
    QByteArray base = qgetenv("XDG_STATE_HOME");
    if (!base.startsWith('/')) {
        QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/')) {
            const passwd* pw = ::getpwuid(::geteuid());
            home = pw && pw->pw_dir ? QByteArray(pw->pw_dir) : QByteArray("/tmp");
        }
        base = home + "/.local/state";
    }
    while (base.size() > 1 && base.endsWith('/')) base.chop(1);
    return base + "/tesselpad/saves";
}

SavedCopy::~SavedCopy() {
    if (fd_ >= 0) ::close(fd_);
    if (dirfd_ >= 0) ::close(dirfd_);
}

QByteArray SavedCopy::path() const { return folder() + "/" + stem_ + ".old"; }

void SavedCopy::discard() {
    for (const char* ending : {".partial", ".old", ".path"}) ::unlinkat(dirfd_, (stem_ + ending).constData(), 0);
}

int SavedCopy::make(int fromFd, qint64 size, const QByteArray& original) {
    size_ = size;
    const QByteArray where = folder();
    if (const int err = makeFolders(where)) return err;
    dirfd_ = ::open(where.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd_ < 0) return errno;
    removeUnfinished(dirfd_);

    QByteArray base = original.mid(original.lastIndexOf('/') + 1).left(100);
    const QByteArray stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toLatin1() +
                             "-" + QByteArray::number(::getpid());
    for (int n = 0; fd_ < 0; ++n) {
        stem_ = base + "~" + stamp + (n ? "-" + QByteArray::number(n) : QByteArray());
        fd_ = ::openat(dirfd_, (stem_ + ".partial").constData(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC,
                       0600);
        if (fd_ < 0 && (errno != EEXIST || n > 100)) return errno;
    }
    ::flock(fd_, LOCK_EX);
    int err = steps::copy(fromFd, fd_, size);
    if (!err) err = steps::sync(fd_);
    if (!err) {
        const int record = ::openat(dirfd_, (stem_ + ".path").constData(),
                                    O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (record < 0) {
            err = errno;
        } else {
            const QByteArray line = original + "\n";
            err = steps::writeAll(record, line.constData(), line.size());
            if (!err) err = steps::sync(record);
            ::close(record);
        }
    }
    if (!err) err = steps::rename(dirfd_, (stem_ + ".partial").constData(), (stem_ + ".old").constData());
    if (!err) err = steps::syncFolder(dirfd_);
    if (err) discard();
    return err;
}

int SavedCopy::restore(int toFd) {
    int err = steps::copy(fd_, toFd, size_);
    if (!err) err = steps::truncate(toFd, size_);
    if (!err) err = steps::sync(toFd);
    return err;
}

void SavedCopy::remove() {
    ::unlinkat(dirfd_, (stem_ + ".old").constData(), 0);
    ::unlinkat(dirfd_, (stem_ + ".path").constData(), 0);
}

} // namespace fileops
