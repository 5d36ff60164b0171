#include "io/SavedCopy.h"

#include "io/UniqueFd.h"
#include "io/WriteSteps.h"

#include <QDateTime>
#include <QList>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {
namespace {

// Makes the folder and any missing parents; each new one is flushed into its parent.
int makeFolders(const QByteArray& path) {
    for (qsizetype at = path.indexOf('/', 1); ; at = path.indexOf('/', at + 1)) {
        const QByteArray part = at < 0 ? path : path.left(at);
        if (::mkdir(part.constData(), 0700) == 0) {
            const QByteArray parent = part.left(part.lastIndexOf('/') > 0 ? part.lastIndexOf('/') : 1);
            const UniqueFd fd(::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (fd) {
                if (const int err = steps::syncFolder(fd.get())) return err;
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
    const FolderListing dir = listFolder(UniqueFd(::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)));
    if (!dir) return;
    while (const dirent* e = ::readdir(dir.get())) {
        const QByteArray name(e->d_name);
        if (name.endsWith(".partial")) {
            const UniqueFd fd(::openat(dirfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (!fd) continue;
            if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
                ::unlinkat(dirfd, e->d_name, 0);
                ::unlinkat(dirfd, (name.chopped(8) + ".path").constData(), 0);
            }
        } else if (name.endsWith(".path")) {
            // A record of a copy that is neither being made nor finished. Asked in this order, a
            // copy that is finished in between is still seen.
            const QByteArray stem = name.chopped(5);
            if (!exists(dirfd, stem + ".partial") && !exists(dirfd, stem + ".old")) ::unlinkat(dirfd, e->d_name, 0);
        }
    }
}

// The record's second line: "new-text SIZE HASH PID STARTED", the hash in hexadecimal.
QByteArray recordLine(const NewContent& next) {
    static const quint64 started = processStart(::getpid());
    return "new-text " + QByteArray::number(next.size) + ' ' + QByteArray::number(next.hash, 16) + ' ' +
           QByteArray::number(::getpid()) + ' ' + QByteArray::number(started) + '\n';
}

} // namespace

quint64 processStart(qint64 pid) {
    QByteArray stat(1024, '\0');
    const UniqueFd fd(::open(("/proc/" + QByteArray::number(pid) + "/stat").constData(), O_RDONLY | O_CLOEXEC));
    const ssize_t n = fd ? ::read(fd.get(), stat.data(), size_t(stat.size())) : -1;
    if (n <= 0) return 0;
    stat.truncate(n);
    // The name in parentheses may hold blanks and parentheses: the fields are counted after its end.
    // The start time is the 22nd field, the 20th after the name.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 19 ? fields[19].toULongLong() : 0;
}

bool parseRecord(const QByteArray& stem, const QByteArray& text, Record& record) {
    record = {};
    if (!text.endsWith('\n')) return false;
    const QByteArray body = text.chopped(1);
    const qsizetype cut = body.lastIndexOf('\n');
    const QList<QByteArray> fields = cut < 0 ? QList<QByteArray>() : body.mid(cut + 1).split(' ');
    bool ok = fields.size() == 5 && fields[0] == "new-text";
    if (ok) {
        bool each[4];
        record.next.size = fields[1].toLongLong(&each[0]);
        record.next.hash = fields[2].toULongLong(&each[1], 16);
        record.pid = fields[3].toLongLong(&each[2]);
        record.started = fields[4].toULongLong(&each[3]);
        ok = each[0] && each[1] && each[2] && each[3] && record.next.size >= 0 && record.pid > 0;
    }
    record.hasNew = ok;
    record.original = ok ? body.left(cut) : body;
    if (!ok) {
        // Kept by an older version: the process is in the name, NAME~DATE-TIME-PID[-N].
        const QList<QByteArray> parts = stem.mid(stem.lastIndexOf('~') + 1).split('-');
        record.pid = parts.size() >= 3 ? parts[2].toLongLong() : 0;
    }
    // Only a full path names the same file from any folder.
    return record.original.startsWith('/') && !record.original.contains('\0') && record.pid > 0;
}

void SavedCopy::removeUnfinished(int dirfd) { io::removeUnfinished(dirfd); }

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

QByteArray SavedCopy::path() const { return folder() + "/" + stem_ + ".old"; }

void SavedCopy::discard() {
    for (const char* ending : {".partial", ".old", ".path"}) ::unlinkat(dirfd_.get(), (stem_ + ending).constData(), 0);
}

int SavedCopy::make(int fromFd, qint64 size, const QByteArray& original, const NewContent& next) {
    size_ = size;
    const QByteArray where = folder();
    if (const int err = makeFolders(where)) return err;
    UniqueFd dir(::open(where.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return errno;
    dirfd_ = std::move(dir);
    const int dirfd = dirfd_.get();
    removeUnfinished(dirfd);

    QByteArray base = original.mid(original.lastIndexOf('/') + 1).left(100);
    const QByteArray stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toLatin1() +
                             "-" + QByteArray::number(::getpid());
    for (int n = 0; !fd_; ++n) {
        stem_ = base + "~" + stamp + (n ? "-" + QByteArray::number(n) : QByteArray());
        const int fd = ::openat(dirfd, (stem_ + ".partial").constData(),
                                O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && (errno != EEXIST || n > 100)) return errno;
        fd_.reset(fd);
    }
    const int fd = fd_.get();
    ::flock(fd, LOCK_EX);
    int err = steps::copy(fromFd, fd, size);
    if (!err) err = steps::sync(fd);
    if (!err) {
        const UniqueFd record(::openat(dirfd, (stem_ + ".path").constData(),
                                       O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!record) {
            err = errno;
        } else {
            // Flushed here: a failure of the close that follows loses nothing.
            const QByteArray line = original + "\n" + recordLine(next);
            err = steps::writeAll(record.get(), line.constData(), line.size());
            if (!err) err = steps::sync(record.get());
        }
    }
    if (!err) err = steps::rename(dirfd, (stem_ + ".partial").constData(), (stem_ + ".old").constData());
    if (!err) err = steps::syncFolder(dirfd);
    if (err) discard();
    return err;
}

int SavedCopy::restore(int toFd) {
    int err = steps::copy(fd_.get(), toFd, size_);
    if (!err) err = steps::truncate(toFd, size_);
    if (!err) err = steps::sync(toFd);
    return err;
}

void SavedCopy::remove() {
    ::unlinkat(dirfd_.get(), (stem_ + ".old").constData(), 0);
    ::unlinkat(dirfd_.get(), (stem_ + ".path").constData(), 0);
}

} // namespace io
