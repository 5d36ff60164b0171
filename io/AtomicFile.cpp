#include "io/AtomicFile.h"

#include "platform/System.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileops {
namespace {

std::function<int(qint64)>& faultInjector() {
    static std::function<int(qint64)> injector;
    return injector;
}


// Writes every byte or reports why not.
bool writeAll(int fd, const char* data, qint64 length, QString& reason) {
    while (length > 0) {
        const size_t n = static_cast<size_t>(std::min<qint64>(length, qint64(1) << 24));
        if (faultInjector()) {
            if (const int err = faultInjector()(static_cast<qint64>(n))) {
                reason = tp::errnoText(err);
                return false;
            }
        }
        const ssize_t written = ::write(fd, data, n);
        if (written < 0) {
            if (errno == EINTR) continue;
            reason = tp::errnoText(errno);
            return false;
        }
        if (written == 0) {
            reason = tp::errnoText(ENOSPC);
            return false;
        }
        data += written;
        length -= written;
    }
    return true;
}

bool produceInto(int fd, const Producer& produce, QString& reason) {
    QString sinkReason;
    const Sink sink = [&](const char* data, qint64 length) { return writeAll(fd, data, length, sinkReason); };
    const bool ok = produce(sink, reason);
    if (!sinkReason.isEmpty()) reason = sinkReason;
    return ok && sinkReason.isEmpty();
}

bool syncAndClose(int fd, QString& reason) {
    bool ok = true;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        reason = tp::errnoText(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        reason = tp::errnoText(errno);
        ok = false;
    }
    return ok;
}

WriteResult fail(const QString& reason) { return {false, reason}; }

// Rewrites the file itself, for a folder that cannot take a temporary file. Not atomic, but the
// room for the new content is claimed before the first old byte is overwritten, so that a full
// disk is found while the old file is still whole.
WriteResult writeInPlace(const QByteArray& target, const Producer& produce) {
    qint64 size = 0;
    QString reason;
    const Sink count = [&size](const char*, qint64 length) {
        size += length;
        return true;
    };
    if (!produce(count, reason)) return fail(reason);

    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return fail(tp::errnoText(errno));
    if (size > 0 && ::fallocate(fd, 0, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
        const int err = errno;
        // Give back what the failed claim may have added at the end.
        struct stat st {};
        if (::fstat(fd, &st) == 0) (void)::ftruncate(fd, st.st_size);
        ::close(fd);
        return fail(tp::errnoText(err));
    }
    if (!produceInto(fd, produce, reason) || ::ftruncate(fd, size) != 0) {
        if (reason.isEmpty()) reason = tp::errnoText(errno);
        ::close(fd);
        return fail(reason);
    }
    if (!syncAndClose(fd, reason)) return fail(reason);
    return {true, {}};
}

} // namespace

void setWriteFaultInjector(std::function<int(qint64)> injector) { faultInjector() = std::move(injector); }

WriteResult writeAtomically(const QString& path, const Producer& produce, bool allowInPlace) {
    if (path.isEmpty()) return fail(QStringLiteral("No file name was given."));
    QByteArray target = QFile::encodeName(path);
    if (target.contains('\0')) return fail(QStringLiteral("The file name is not valid."));

    struct stat st {};
    bool exists = false;
    if (::lstat(target.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // Replace the file the link points to, not the link.
            char resolved[PATH_MAX];
            if (::realpath(target.constData(), resolved)) {
                target = QByteArray(resolved);
                exists = ::stat(target.constData(), &st) == 0;
            } else {
                exists = false;   // a dangling link: the new file takes the link's place
            }
        } else {
            exists = true;
        }
        if (exists && S_ISDIR(st.st_mode)) return fail(QStringLiteral("It is a folder."));
        if (exists && !S_ISREG(st.st_mode))
            return fail(QStringLiteral("It is not a regular file (a device, pipe or socket)."));
        // Renaming over a file needs only the folder's permission: a read-only file would be
        // replaced as if it were writable.
        if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES)
            return fail(QStringLiteral("The file is read-only: you have no permission to write to it."));
    } else if (errno != ENOENT) {
        return fail(tp::errnoText(errno));
    }

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : target.left(slash));
    QByteArray tempName = dir + "/.tspd-XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (allowInPlace && exists && (err == EACCES || err == EPERM || err == EROFS) &&
            ::access(target.constData(), W_OK) == 0)
            return writeInPlace(target, produce);
        if (err == ENOENT) return fail(QStringLiteral("The folder does not exist."));
        return fail(tp::errnoText(err));
    }

    // The new file takes the old one's permissions (and owner, where we may set it).
    if (exists) {
        ::fchmod(fd, st.st_mode & 07777);
        if (::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Not fatal: the file keeps the saving user as its owner.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }

    QString reason;
    if (!produceInto(fd, produce, reason)) {
        ::close(fd);
        ::unlink(tempName.constData());
        return fail(reason);
    }
    if (!syncAndClose(fd, reason)) {
        ::unlink(tempName.constData());
        return fail(reason);
    }
    if (::rename(tempName.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        return fail(tp::errnoText(err));
    }
    const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return {true, {}};
}

WriteResult writeAtomically(const QString& path, QByteArrayView bytes, bool allowInPlace) {
    return writeAtomically(
        path,
        [bytes](const Sink& sink, QString&) { return sink(bytes.data(), bytes.size()); },
        allowInPlace);
}

} // namespace fileops
