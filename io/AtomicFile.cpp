#include "io/AtomicFile.h"

#include "io/ContentHash.h"
#include "io/FileAttributes.h"
#include "io/SavedCopy.h"
#include "io/TempFile.h"
#include "io/UniqueFd.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {
namespace {

WriteResult fail(const QString& reason) { return {false, reason}; }

// The file a save writes: its folder, open, and its name in it.
struct Target {
    UniqueFd folder;   // the folder, open
    QByteArray dir;    // the folder's path
    QByteArray name;
    bool exists = false;
    struct stat st {};

    int dirfd() const { return folder.get(); }
    QByteArray path() const { return dir.endsWith('/') ? dir + name : dir + "/" + name; }
};

// Opens a folder, relative to 'at' when its path is; a folder that may not be listed still works.
UniqueFd openFolder(int at, const QByteArray& dir) {
    UniqueFd fd(::openat(at, dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd || errno != EACCES) return fd;
    return UniqueFd(::openat(at, dir.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// The folder's absolute path as the system knows it, else 'fallback'.
QByteArray folderPath(int dirfd, const QByteArray& fallback) {
    char buf[PATH_MAX];
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(dirfd);
    const ssize_t n = ::readlink(proc.constData(), buf, sizeof buf);
    return n > 0 && n < ssize_t(sizeof buf) && buf[0] == '/' ? QByteArray(buf, n) : fallback;
}

// Finds the file a path names, following symbolic links one at a time relative to their folders,
// so that paths too long for the system as a whole still work. A link to nothing is replaced
// itself. 0 or errno.
int resolve(const QByteArray& path, Target& t) {
    const qsizetype slash = path.lastIndexOf('/');
    t.dir = slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : path.left(slash));
    t.name = path.mid(slash + 1);
    if (t.name.isEmpty()) return EISDIR;
    t.folder = openFolder(AT_FDCWD, t.dir);   // held nothing: errno stays openat's
    if (!t.folder) return errno;
    for (int hops = 0; hops < 40; ++hops) {
        if (::fstatat(t.dirfd(), t.name.constData(), &t.st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(t.st.st_mode)) {
            t.exists = true;
            return 0;
        }
        QByteArray link(PATH_MAX, '\0');
        const ssize_t n = ::readlinkat(t.dirfd(), t.name.constData(), link.data(), size_t(link.size()));
        if (n <= 0 || n >= link.size()) return n < 0 ? errno : ENAMETOOLONG;
        link.truncate(n);
        const qsizetype cut = link.lastIndexOf('/');
        const QByteArray dir = cut < 0 ? QByteArray(".") : (cut == 0 ? QByteArray("/") : link.left(cut));
        const QByteArray name = link.mid(cut + 1);
        UniqueFd fd = name.isEmpty() ? UniqueFd() : openFolder(t.dirfd(), dir);
        struct stat st {};
        if (!fd || (::fstatat(fd.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT))
            return 0;   // it points to nothing: the link itself is replaced
        t.folder = std::move(fd);
        t.dir = dir.startsWith('/') ? dir : t.dir + "/" + dir;
        t.name = name;
    }
    return ELOOP;
}

// Feeds the producer's bytes to the file; false with a reason.
bool produceInto(int fd, const Producer& produce, QString& reason) {
    int err = 0;
    const Sink sink = [&](const char* data, qint64 length) {
        err = steps::writeAll(fd, data, length);
        return err == 0;
    };
    const bool ok = produce(sink, reason);
    if (err) reason = tp::errnoText(err);
    return ok && !err;
}

// Rewrites the file itself, keeping a copy of its old content until the new one is on disk.
WriteResult writeInPlace(const Target& t, const Producer& produce) {
    // The new bytes are counted, and their checksum recorded beside the copy, so that a start
    // after a kill can tell whether the file holds them whole (io/InterruptedSave.h).
    io::ContentHash hash;
    QString reason;
    const Sink count = [&hash](const char* data, qint64 length) {
        hash.add(data, length);
        return true;
    };
    if (!produce(count, reason)) return fail(reason);
    const qint64 size = hash.size();

    const UniqueFd file(::openat(t.dirfd(), t.name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file) {
        if (errno == EACCES && ::faccessat(t.dirfd(), t.name.constData(), W_OK, AT_EACCESS) == 0)
            return fail(QCoreApplication::translate("AtomicFile", "The file may be written but not read, so no copy of its old content can "
                                       "be kept; it was not overwritten."));
        return fail(tp::errnoText(errno));
    }
    const int fd = file.get();
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(tp::errnoText(errno));
    if (!S_ISREG(st.st_mode)) return fail(QCoreApplication::translate("AtomicFile", "It is not a regular file (a device, pipe or socket)."));
    const qint64 oldSize = st.st_size;

    SavedCopy copy;
    if (const int err = copy.make(fd, oldSize, t.path(), {size, hash.value()}))
        return fail(QCoreApplication::translate("AtomicFile", "No copy of its old content could be kept in %1 (%2), so it was not overwritten.")
                        .arg(QFile::decodeName(SavedCopy::folder()), tp::errnoText(err)));

    int err = 0;
    if (size > oldSize) {
        // Room claimed before the first old byte is overwritten finds a full disk early. A
        // failed claim may have grown the file all the same: it is cut back to the length it had.
        err = steps::allocate(fd, size);
        if (err == EOPNOTSUPP) {
            err = 0;   // claimed while written; the copy guards the rest
        } else if (err && steps::truncate(fd, oldSize) == 0) {
            copy.remove();
            return fail(tp::errnoText(err));
        }
    }
    if (!err && ::lseek(fd, 0, SEEK_SET) != 0) err = errno;
    if (err) {
        reason = tp::errnoText(err);
    } else if (!produceInto(fd, produce, reason)) {
        err = EIO;
    } else if ((err = steps::truncate(fd, size)) || (err = steps::sync(fd))) {
        reason = tp::errnoText(err);
    }
    if (err) {
        if (copy.restore(fd) == 0) {
            copy.remove();
            return fail(reason + QCoreApplication::translate("AtomicFile", ". The file holds its old content again."));
        }
        return fail(reason + QCoreApplication::translate("AtomicFile", ". The file could not be put back as it was: its old content is kept in %1.")
                                 .arg(QFile::decodeName(copy.path())));
    }
    copy.remove();
    return {true, {}};
}

bool inPlaceReason(int err) { return err == EACCES || err == EPERM || err == EROFS; }

// The new file takes the old one's owner, permissions, access control list and attributes.
// Returns 0, or -1 when only a rewrite in place can keep them, or an errno value to report.
int keepWhatItIs(const Target& t, int fd, bool allowInPlace) {
    const bool root = ::geteuid() == 0;
    if ((root || t.st.st_gid != ::getegid()) &&
        ::fchown(fd, root ? t.st.st_uid : uid_t(-1), t.st.st_gid) != 0 && allowInPlace)
        return -1;
    if (const int err = steps::chmod(fd, t.st.st_mode & 07777)) return err;
    if (copyAttributes(t.dirfd(), t.name.constData(), fd) != 0 && allowInPlace) return -1;
    return 0;
}

} // namespace

void setWriteFaultInjector(std::function<int(qint64)> injector) {
    if (!injector) {
        setFaultInjector(nullptr);
        return;
    }
    setFaultInjector([injector](WriteFault& f) { return f.step == WriteStep::Write ? injector(f.length) : 0; });
}

WriteResult writeAtomically(const QString& path, const Producer& produce, bool allowInPlace) {
    if (path.isEmpty()) return fail(QCoreApplication::translate("AtomicFile", "No file name was given."));
    const QByteArray local = QFile::encodeName(path);
    if (local.contains('\0')) return fail(QCoreApplication::translate("AtomicFile", "The file name is not valid."));

    Target t;
    if (const int err = resolve(local, t)) {
        if (err == EISDIR) return fail(QCoreApplication::translate("AtomicFile", "It is a folder."));
        if (err == ENOENT) return fail(QCoreApplication::translate("AtomicFile", "The folder does not exist."));
        return fail(tp::errnoText(err));
    }
    t.dir = folderPath(t.dirfd(), t.dir);
    const char* name = t.name.constData();
    if (t.exists) {
        if (S_ISDIR(t.st.st_mode)) return fail(QCoreApplication::translate("AtomicFile", "It is a folder."));
        if (!S_ISREG(t.st.st_mode)) return fail(QCoreApplication::translate("AtomicFile", "It is not a regular file (a device, pipe or socket)."));
        // Renaming over a file needs only the folder's permission, and root may write anything:
        // a read-only file would be replaced as if it were writable.
        if ((t.st.st_mode & 0222) == 0 || (::faccessat(t.dirfd(), name, W_OK, AT_EACCESS) != 0 && errno == EACCES))
            return fail(QCoreApplication::translate("AtomicFile", "The file is read-only: you have no permission to write to it."));
        // A rename would split other hard links, or give the file this user as its owner.
        if (allowInPlace && (t.st.st_nlink > 1 || !canKeepOwner(t.st))) return writeInPlace(t, produce);
    }

    timespec start {};
    ::clock_gettime(CLOCK_REALTIME, &start);
    removeStaleTemps(t.dirfd(), start);

    TempFile temp;
    if (const int err = temp.create(t.dirfd(), t.exists ? 0600 : 0666)) {
        if (allowInPlace && t.exists && inPlaceReason(err) && ::faccessat(t.dirfd(), name, W_OK, AT_EACCESS) == 0)
            return writeInPlace(t, produce);
        if (err == ENOENT) return fail(QCoreApplication::translate("AtomicFile", "The folder does not exist."));
        return fail(tp::errnoText(err));
    }
    if (t.exists) {
        const int kept = keepWhatItIs(t, temp.fd(), allowInPlace);
        if (kept < 0) {
            temp.discard();
            return writeInPlace(t, produce);
        }
        if (kept > 0)
            return fail(QCoreApplication::translate("AtomicFile", "The new file could not be given the permissions of the old one: %1.")
                            .arg(tp::errnoText(kept)));
    }

    QString reason;
    if (!produceInto(temp.fd(), produce, reason)) return fail(reason);
    int err = steps::sync(temp.fd());
    if (!err) err = temp.link();
    if (!err) err = steps::rename(t.dirfd(), temp.name().constData(), name);
    if (err) {
        // A folder where this user may not replace the file (sticky), a file mounted on its name.
        if (allowInPlace && t.exists && (err == EPERM || err == EBUSY || err == EXDEV)) {
            temp.discard();
            return writeInPlace(t, produce);
        }
        return fail(tp::errnoText(err));
    }
    temp.renamed();
    steps::syncFolder(t.dirfd());   // the rename is done; a folder that cannot be flushed changes nothing
    return {true, {}};
}

WriteResult writeAtomically(const QString& path, QByteArrayView bytes, bool allowInPlace) {
    return writeAtomically(
        path,
        [bytes](const Sink& sink, QString&) { return sink(bytes.data(), bytes.size()); },
        allowInPlace);
}

} // namespace io
