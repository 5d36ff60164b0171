#include "io/JournalStore.h"

#include "io/UniqueFd.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {
namespace {

QString errText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }
QByteArray local(const QString& s) { return QFile::encodeName(s); }

// Names the folder may hold: the lock, the journals and the temporary files of a session.
const QRegularExpression& namePattern() {
    static const QRegularExpression re(
        QStringLiteral("^(?:([0-9a-f]{16})\\.lock|([0-9a-f]{16})-[0-9]{1,9}\\.tpj|\\.([0-9a-f]{16})-[0-9]{1,9}\\.[0-9]{1,9}\\.tmp)$"));
    return re;
}

QStringList folderEntries(int dirFd) {
    QStringList names;
    const FolderListing dir = listFolder(UniqueFd(::dup(dirFd)));
    if (!dir) return names;
    ::rewinddir(dir.get());   // the copy shares its place in the folder with the original
    while (dirent* e = ::readdir(dir.get())) names << QFile::decodeName(e->d_name);
    return names;
}

void writeOwner(int fd) {
    const qint64 pid = ::getpid();
    const QByteArray text = QByteArray::number(pid) + ' ' + QByteArray::number(processStartTime(pid)) + '\n';
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.constData(), size_t(text.size()), 0) < 0) {
        // Only a help for file systems without flock; the lock itself is what counts.
    }
}

// Whether the process named in a lock file still runs (for file systems without flock).
bool ownerRuns(int fd) {
    char buf[64] = {};
    const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
    if (n <= 0) return false;
    const QList<QByteArray> parts = QByteArray(buf, n).trimmed().split(' ');
    if (parts.size() != 2) return false;
    const qint64 pid = parts[0].toLongLong(), start = parts[1].toLongLong();
    return pid > 0 && start >= 0 && processStartTime(pid) == start;
}

} // namespace

qint64 processStartTime(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray stat = f.read(4096);
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) return -1;
    // Fields after the command name start with field 3 (state); the start time is field 22.
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields[19].toLongLong() : -1;
}

QString JournalStore::defaultFolder() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericStateLocation);
#else
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return state + QStringLiteral("/tesselpad/recovery");
}

JournalStore::JournalStore(const QString& folder) : folder_(folder) {
    session_ = QString::number(QRandomGenerator::system()->generate64() | (quint64(1) << 63), 16);
}

JournalStore::~JournalStore() = default;

QString JournalStore::journalName(int number) const {
    return session_ + QLatin1Char('-') + QString::number(number) + QStringLiteral(".tpj");
}

QString JournalStore::tempName(int number, int build) const {
    return QLatin1Char('.') + session_ + QLatin1Char('-') + QString::number(number) + QLatin1Char('.') +
           QString::number(build) + QStringLiteral(".tmp");
}

bool JournalStore::openFolder(bool create, QString& reason) {
    if (dirFd_ >= 0) return true;
    const QByteArray path = local(folder_);
    if (create) {
        // The folders above are ordinary ones; ours are private to the user.
        const QString parent = QFileInfo(folder_).path();
        QDir().mkpath(QFileInfo(parent).path());
        ::mkdir(local(parent).constData(), 0700);
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
            reason = folder_ + QStringLiteral(": ") + errText(errno);
            return false;
        }
    }
    UniqueFd fd(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        if (create || errno != ENOENT) reason = folder_ + QStringLiteral(": ") + errText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || st.st_uid != ::geteuid()) {
        reason = folder_ + QCoreApplication::translate("JournalStore", ": the folder belongs to another user.");
        return false;
    }
    if (st.st_mode & 077) ::fchmod(fd.get(), 0700);
    dir_ = std::move(fd);
    dirFd_ = dir_.get();
    return true;
}

bool JournalStore::prepare(QString& reason) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lock_) return true;
    if (!openFolder(true, reason)) return false;
    const QByteArray name = local(session_ + QStringLiteral(".lock"));
    UniqueFd fd(::openat(dirFd_, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) {
        reason = folder_ + QStringLiteral(": ") + errText(errno);
        return false;
    }
    // Without flock (some network file systems) the pid and start time written below stand in.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        reason = folder_ + QCoreApplication::translate("JournalStore", ": the session lock is taken.");
        return false;
    }
    writeOwner(fd.get());
    lock_ = std::move(fd);
    return true;
}

std::vector<OrphanSession> JournalStore::claimOrphans() {
    std::vector<OrphanSession> orphans;
    std::lock_guard<std::mutex> lock(mutex_);
    QString reason;
    if (!openFolder(false, reason)) return orphans;
    struct Files {
        QStringList journals, others;
    };
    QHash<QString, Files> found;
    for (const QString& name : folderEntries(dirFd_)) {
        const QRegularExpressionMatch m = namePattern().match(name);
        if (!m.hasMatch()) continue;
        if (!m.captured(2).isEmpty()) found[m.captured(2)].journals << name;
        else if (!m.captured(3).isEmpty()) found[m.captured(3)].others << name;
    }
    for (auto it = found.begin(); it != found.end(); ++it) {
        if (it.key() == session_) continue;
        const QByteArray lockName = local(it.key() + QStringLiteral(".lock"));
        UniqueFd fd(::openat(dirFd_, lockName.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (fd && (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())) {
            fd.reset();
            errno = EPERM;
        }
        if (!fd && errno != ENOENT) {
            // Something that is not our lock has its name: set it aside and take the session.
            QString ignored;
            if (!keepAside(QFile::decodeName(lockName), ignored)) continue;
        }
        if (!fd) {
            fd.reset(::openat(dirFd_, lockName.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd) continue;   // another program got there first
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || ownerRuns(fd.get())))
            continue;   // its program still runs
        writeOwner(fd.get());
        OrphanSession o;
        o.session = it.key();
        o.journals = it.value().journals;
        o.others = it.value().others;
        o.lock = std::move(fd);
        o.journals.sort();
        orphans.push_back(std::move(o));
    }
    return orphans;
}

void JournalStore::releaseOrphan(OrphanSession& orphan, bool removeLock) {
    if (!orphan.lock) return;
    if (removeLock) {
        for (const QString& name : orphan.others) remove(name);
        remove(orphan.session + QStringLiteral(".lock"));
    }
    orphan.lock.reset();
}

JournalRead JournalStore::read(const QString& name, qint64 maxFileBytes, const journal::Limits& limits) const {
    JournalRead r;
    r.name = name;
    const QByteArray n = local(name);
    struct stat st {};
    if (::fstatat(dirFd_, n.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        r.refusal = QCoreApplication::translate("JournalStore", "It is a symbolic link.");
        return r;
    }
    // O_NONBLOCK: a pipe put in its place must not hold up the start.
    const UniqueFd fd(::openat(dirFd_, n.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        r.refusal = errText(errno);
        return r;
    }
    if (::fstat(fd.get(), &st) != 0) r.refusal = errText(errno);
    else if (!S_ISREG(st.st_mode)) r.refusal = QCoreApplication::translate("JournalStore", "It is not a regular file (a folder, pipe or device).");
    else if (st.st_uid != ::geteuid()) r.refusal = QCoreApplication::translate("JournalStore", "It belongs to another user.");
    else if (st.st_size > maxFileBytes)
        r.refusal = QCoreApplication::translate("JournalStore", "It is too large (%1 MB).").arg((st.st_size + (1 << 20) - 1) >> 20);
    if (r.refusal.isEmpty()) {
        r.result = journal::read(journal::FdSource(fd.get(), st.st_size), limits);
        if (!r.result.ok()) r.refusal = r.result.reason();
    }
    return r;
}

bool JournalStore::keepAside(const QString& name, QString& reason) const {
    ::mkdirat(dirFd_, "kept", 0700);
    const UniqueFd kept(::openat(dirFd_, "kept", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!kept) {
        reason = errText(errno);
        return false;
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    // Kept files carry no journal name, so that no later start offers them again.
    const QByteArray target = local(name + QLatin1Char('.') + stamp + QStringLiteral(".kept"));
    const bool ok = ::renameat(dirFd_, local(name).constData(), kept.get(), target.constData()) == 0;
    if (!ok) reason = errText(errno);
    return ok;
}

void JournalStore::remove(const QString& name) const { ::unlinkat(dirFd_, local(name).constData(), 0); }

void JournalStore::endSession() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!lock_) return;
    for (const QString& name : folderEntries(dirFd_)) {
        const QRegularExpressionMatch m = namePattern().match(name);
        if (m.hasMatch() && (m.captured(2) == session_ || m.captured(3) == session_)) remove(name);
    }
    remove(session_ + QStringLiteral(".lock"));
    ::fsync(dirFd_);
    lock_.reset();
}

} // namespace io
