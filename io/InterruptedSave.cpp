#include "io/InterruptedSave.h"

#include "io/ContentHash.h"
#include "io/SavedCopy.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {
namespace {

constexpr qint64 kPiece = qint64(1) << 20;
constexpr qint64 kMaxRecord = 64 << 10;

// Opens a regular file for reading without waiting on it: a pipe or device in its place is
// refused, and so is a link when 'flags' says O_NOFOLLOW.
UniqueFd openRegular(int dirfd, const QByteArray& name, int flags, struct stat& st) {
    UniqueFd fd(::openat(dirfd, name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | flags));
    if (fd && (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))) fd.reset();
    return fd;
}

// Reads 'length' bytes at 'at'. 0, or errno (EIO at the file's end).
int readAt(int fd, char* buf, qint64 length, qint64 at) {
    while (length > 0) {
        const ssize_t n = ::pread(fd, buf, size_t(length), at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        buf += n;
        length -= n;
        at += n;
    }
    return 0;
}

bool readRecord(int dirfd, const QByteArray& stem, io::Record& record) {
    struct stat st {};
    const UniqueFd fd = openRegular(dirfd, stem + ".path", O_NOFOLLOW, st);
    if (!fd || st.st_size > kMaxRecord) return false;
    QByteArray text(st.st_size, '\0');
    return readAt(fd.get(), text.data(), text.size(), 0) == 0 && io::parseRecord(stem, text, record);
}

// The process that made the copy still runs: it is saving, or has told its user where the copy is.
bool makerRuns(const io::Record& record) {
    if (::kill(pid_t(record.pid), 0) != 0 && errno != EPERM) return false;
    return record.started == 0 || io::processStart(record.pid) == record.started;
}

// The file holds exactly the bytes its save was writing, or exactly those of the copy.
bool holdsWhole(const io::Record& record, int copyFd, qint64 oldSize) {
    struct stat st {};
    const UniqueFd fd = openRegular(AT_FDCWD, record.original, 0, st);
    if (!fd) return false;
    const qint64 size = st.st_size;
    std::vector<char> buf(size_t(std::min(kPiece, std::max<qint64>(size, 1)) * 2));
    char* const mine = buf.data();
    char* const kept = buf.data() + buf.size() / 2;
    const qint64 piece = qint64(buf.size() / 2);
    if (record.hasNew && size == record.next.size) {
        ContentHash hash;
        for (qint64 at = 0; at < size; at += piece) {
            const qint64 n = std::min(piece, size - at);
            if (readAt(fd.get(), mine, n, at) != 0) return false;
            hash.add(mine, n);
        }
        if (hash.value() == record.next.hash) return true;
    }
    if (size != oldSize) return false;
    for (qint64 at = 0; at < size; at += piece) {
        const qint64 n = std::min(piece, size - at);
        if (readAt(fd.get(), mine, n, at) != 0 || readAt(copyFd, kept, n, at) != 0 || std::memcmp(mine, kept, size_t(n)) != 0)
            return false;
    }
    return true;
}

struct Candidate {
    InterruptedSave save;
    QByteArray stem;
    UniqueFd lock;
};

} // namespace

InterruptedSaves::InterruptedSaves() {
    const QByteArray where = io::SavedCopy::folder();
    folder_.reset(::open(where.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A copy whose making was cut short: the file was not touched yet.
    if (folder_) io::SavedCopy::removeUnfinished(folder_.get());
    std::vector<QByteArray> stems;
    {
        const FolderListing dir = listFolder(UniqueFd(folder_ ? ::dup(folder_.get()) : -1));
        if (!dir) return;
        while (const dirent* e = ::readdir(dir.get())) {
            const QByteArray name(e->d_name);
            if (name.endsWith(".old") && name.size() > 4) stems.push_back(name.chopped(4));
        }
    }

    std::vector<Candidate> offered;
    for (const QByteArray& stem : stems) {
        struct stat st {};
        Candidate c{{}, stem, openRegular(folder_.get(), stem + ".old", O_NOFOLLOW, st)};
        // Not ours, or locked: a save that is still running, or another program offering it.
        if (!c.lock || st.st_uid != ::geteuid() || ::flock(c.lock.get(), LOCK_EX | LOCK_NB) != 0) continue;
        io::Record record;
        if (!readRecord(folder_.get(), stem, record) || makerRuns(record)) continue;
        // A name that cannot be spelled as text could not be written back to the same file.
        const QString file = QFile::decodeName(record.original);
        if (QFile::encodeName(file) != record.original) continue;
        if (holdsWhole(record, c.lock.get(), st.st_size)) {
            removeCopy(stem);
            ++settled_;
            continue;
        }
        c.save = {file, QFile::decodeName(where + "/" + stem + ".old"), st.st_size,
                  QDateTime::fromSecsSinceEpoch(st.st_mtime)};
        offered.push_back(std::move(c));
    }
    std::sort(offered.begin(), offered.end(), [](const Candidate& a, const Candidate& b) {
        return a.save.began != b.save.began ? a.save.began < b.save.began : a.stem < b.stem;
    });
    for (Candidate& c : offered) {
        found_.push_back(c.save);
        stems_.push_back(c.stem);
        locks_.push_back(std::move(c.lock));
    }
}

void InterruptedSaves::removeCopy(const QByteArray& stem) {
    ::unlinkat(folder_.get(), (stem + ".old").constData(), 0);
    ::unlinkat(folder_.get(), (stem + ".path").constData(), 0);
}

io::WriteResult InterruptedSaves::restore(std::size_t index) {
    if (index >= found_.size()) return {false, QCoreApplication::translate("InterruptedSave", "No such copy.")};
    const int fd = locks_[index].get();
    const qint64 size = found_[index].oldSize;
    const io::Producer produce = [fd, size](const io::Sink& sink, QString& reason) {
        std::vector<char> buf(size_t(std::min(kPiece, std::max<qint64>(size, 1))));
        for (qint64 at = 0; at < size; at += qint64(buf.size())) {
            const qint64 n = std::min(qint64(buf.size()), size - at);
            if (const int err = readAt(fd, buf.data(), n, at)) {
                reason = QCoreApplication::translate("InterruptedSave", "The copy of the old content cannot be read: %1").arg(tp::errnoText(err));
                return false;
            }
            if (!sink(buf.data(), n)) return false;
        }
        return true;
    };
    const io::WriteResult result = io::writeAtomically(found_[index].file, produce, /*allowInPlace=*/true);
    if (result.ok) removeCopy(stems_[index]);
    return result;
}

void InterruptedSaves::remove(std::size_t index) {
    if (index < stems_.size()) removeCopy(stems_[index]);
}

} // namespace io
