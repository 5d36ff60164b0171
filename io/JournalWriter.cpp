#include "io/JournalWriter.h"

#include "io/ContentHash.h"
#include "io/UniqueFd.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

// ---- WorkQueue

WorkQueue::~WorkQueue() { shutdown(); }

void WorkQueue::shutdown() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void WorkQueue::post(std::function<void()> job) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (stop_) {
            lock.unlock();
            job();
            return;
        }
        jobs_.push_back(std::move(job));
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

bool WorkQueue::drain(int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return jobs_.empty() && !busy_; });
}

void WorkQueue::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) return;   // stopping, and nothing is left to do
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        busy_ = false;
        if (jobs_.empty()) idle_.notify_all();
    }
}

// ---- the state of one journal, shared by the window's thread and the workers
// Whatever descriptor is still held when the last owner lets go is closed then, on that thread:
// by then no job is left to use it.
struct JournalShared {
    int number = 0;
    QByteArray name;   // the journal's file name in the folder
    std::atomic<int> installedGen{-1};
    std::atomic<int> failedGen{-1};
    std::atomic<qint64> appended{0};
    mutable std::mutex mutex;
    QString problem;

    // Used on the appending thread only.
    UniqueFd fd;             // the journal on disk
    qint64 size = 0;         // its length up to the last record written whole
    qint64 baseEnd = 0;      // where its edits begin
    bool holding = false;    // a fresh text is being built: edits wait for it in 'held'
    std::vector<QByteArray> held;
    int liveGen = 0;
    int serial = 0;          // counts the files that have been the journal

    // Used on the building thread only. A finished text's file is handed, with its descriptor,
    // to the appending thread (finishTemp), which puts it in the journal's place.
    UniqueFd tempFd;
    QByteArray temp;
    int tempGen = -1;
    qint64 pieceBytes = 0;
    int builderGen = 0;
};

namespace {
QString errText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }
qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }
} // namespace

struct JournalWriter::Impl {
    explicit Impl(JournalStore& s) : store(s) {}
    ~Impl() {
        // The appender goes first, so that it hands no more work to the builder; what the builder
        // still hands it then runs at once on the builder's thread.
        stopping = true;
        appender.shutdown();
        builder.shutdown();
    }

    JournalStore& store;
    std::atomic<bool> stopping{false};
    std::function<int(qint64)> fault;
    int builds = 0;   // building thread only
    // The appending thread is declared first, so that it outlives the building one, which hands it work.
    WorkQueue appender;
    WorkQueue builder;

    // An empty reason: nothing went wrong with the journal, but the text must come another way.
    static void fail(JournalShared& s, int gen, const QString& reason) {
        {
            std::lock_guard<std::mutex> lock(s.mutex);
            s.problem = reason;
        }
        s.failedGen = gen;
    }

    bool writeAt(int fd, qint64 offset, const char* data, qint64 length, QString& reason) {
        if (fault) {
            if (const int err = fault(length)) {
                reason = errText(err);
                return false;
            }
        }
        while (length > 0) {
            const ssize_t n = ::pwrite(fd, data, size_t(std::min<qint64>(length, qint64(1) << 24)), off_t(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                reason = errText(n < 0 ? errno : ENOSPC);
                return false;
            }
            data += n;
            offset += n;
            length -= n;
        }
        return true;
    }
    bool append(int fd, qint64& size, const QByteArray& bytes, QString& reason) {
        if (!writeAt(fd, size, bytes.constData(), bytes.size(), reason)) return false;
        size += bytes.size();
        return true;
    }
    bool sync(int fd, QString& reason) {
        if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS) return true;
        reason = errText(errno);
        return false;
    }
    void syncFolder() {
        if (store.folderFd() >= 0) ::fsync(store.folderFd());
    }

    // ---- building thread

    void abandonTemp(JournalShared& s) {
        if (!s.tempFd) return;
        s.tempFd.reset();
        ::unlinkat(store.folderFd(), s.temp.constData(), 0);
        s.tempGen = -1;
    }

    // A temporary file holding the header; false (the journal marked failed) when it cannot be made.
    bool beginTemp(JournalShared& s, int gen, const journal::Header& header) {
        abandonTemp(s);
        QString reason;
        if (!store.prepare(reason)) {
            fail(s, gen, reason);
            return false;
        }
        s.temp = QFile::encodeName(store.tempName(s.number, ++builds));
        // Made anew (the name is this session's own): never a pipe or a file put in its place.
        UniqueFd fd(::openat(store.folderFd(), s.temp.constData(),
                             O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd) {
            fail(s, gen, errText(errno));
            return false;
        }
        s.tempFd = std::move(fd);
        s.tempGen = gen;
        s.pieceBytes = 0;
        qint64 size = 0;
        if (!append(s.tempFd.get(), size, journal::headerRecord(header), reason)) {
            abandonTemp(s);
            fail(s, gen, reason);
            return false;
        }
        return true;
    }

    bool addPieces(JournalShared& s, const char* data, qint64 length, QString& reason) {
        qint64 end = ::lseek(s.tempFd.get(), 0, SEEK_END);
        for (qint64 at = 0; at < length; at += journal::kTextPiece) {
            const qint64 n = std::min(journal::kTextPiece, length - at);
            if (!append(s.tempFd.get(), end, journal::textRecord(data + at, n), reason)) return false;
        }
        s.pieceBytes += length;
        return true;
    }

    // Closes the text, adds 'after', flushes and hands the file to the appending thread, which
    // copies the journal's records from 'copyFrom' on (when >= 0) and puts it in the journal's place.
    void finishTemp(const std::shared_ptr<JournalShared>& sp, int gen, qint64 timeMs, const QByteArray& after,
                    qint64 copyFrom, int serial) {
        JournalShared& s = *sp;
        QString reason;
        qint64 end = ::lseek(s.tempFd.get(), 0, SEEK_END);
        if (!append(s.tempFd.get(), end, journal::baseRecord(s.pieceBytes, timeMs) + after, reason) ||
            !sync(s.tempFd.get(), reason)) {
            abandonTemp(s);
            fail(s, gen, reason);
            return;
        }
        // The job owns the descriptor from here (a job must be copyable, hence the shared holder).
        const auto fd = std::make_shared<UniqueFd>(std::move(s.tempFd));
        const QByteArray temp = s.temp;
        s.tempGen = -1;
        appender.post([this, sp, gen, fd, temp, copyFrom, serial] {
            install(*sp, gen, std::move(*fd), temp, copyFrom, serial);
        });
    }

    void fromFile(const std::shared_ptr<JournalShared>& sp, int gen, const journal::Header& header,
                  const QString& path, const FileStamp& stamp, const Decoder& decode, const QByteArray& tail,
                  std::optional<quint64> expected) {
        JournalShared& s = *sp;
        s.builderGen = gen;
        abandonTemp(s);
        const UniqueFd file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        const int in = file.get();
        if (!file) {
            fail(s, gen, QString());
            return;
        }
        const auto matches = [&] {
            struct stat st {};
            return ::fstat(in, &st) == 0 && S_ISREG(st.st_mode) && stampOf(st).sameFile(stamp);
        };
        bool ok = matches() && stamp.size >= tail.size();
        const qint64 textBytes = stamp.size - tail.size();
        if (ok && !tail.isEmpty()) {
            QByteArray end(tail.size(), Qt::Uninitialized);
            ok = journal::FdSource(in, stamp.size).read(textBytes, end.data(), end.size()) && end == tail;
        }
        if (!ok || !beginTemp(s, gen, header)) {
            if (!ok) fail(s, gen, QString());
            return;
        }
        constexpr qint64 kChunk = qint64(1) << 20;
        std::vector<char> raw(kChunk), text(kChunk * 4);
        QString reason;
        ContentHash hash;
        for (qint64 at = 0; ok && at < textBytes; at += kChunk) {
            const qint64 n = std::min(kChunk, textBytes - at);
            ok = journal::FdSource(in, stamp.size).read(at, raw.data(), n);
            if (ok) hash.add(raw.data(), n);
            if (ok) ok = addPieces(s, text.data(), decode(raw.data(), n, text.data()), reason);
        }
        hash.add(tail.constData(), tail.size());
        ok = ok && matches();   // unchanged while it was read
        // The very bytes that were read or written: a rewrite within the stamp's second is not.
        ok = ok && (!expected || hash.value() == *expected);
        if (!ok) {
            abandonTemp(s);
            fail(s, gen, reason);
            return;
        }
        finishTemp(sp, gen, nowMs(), QByteArray(), -1, 0);
    }

    // 'copy': this reader's own descriptor of the journal.
    void fromJournal(const std::shared_ptr<JournalShared>& sp, int gen, UniqueFd copy, qint64 length, int serial) {
        JournalShared& s = *sp;
        if (gen != s.builderGen || s.tempFd) return;
        journal::ReadResult r = journal::read(journal::FdSource(copy.get(), length));
        copy.reset();
        if (!r.ok() || !beginTemp(s, gen, r.header)) return;
        QString reason;
        if (!addPieces(s, r.text.constData(), r.text.size(), reason)) {
            abandonTemp(s);
            fail(s, gen, reason);
            return;
        }
        r.text = QByteArray();
        finishTemp(sp, gen, r.lastChange, QByteArray(), length, serial);
    }

    // ---- appending thread

    void install(JournalShared& s, int gen, UniqueFd file, const QByteArray& temp, qint64 copyFrom, int serial) {
        const int dir = store.folderFd();
        // A compaction of a file that has been replaced since is of no use.
        if (gen != s.liveGen || (copyFrom >= 0 && serial != s.serial)) {
            file.reset();
            ::unlinkat(dir, temp.constData(), 0);
            return;
        }
        const int fd = file.get();
        QString reason;
        qint64 end = ::lseek(fd, 0, SEEK_END);
        const qint64 baseEnd = end;
        bool ok = true;
        if (copyFrom >= 0 && s.fd && s.size > copyFrom) {
            QByteArray tail(s.size - copyFrom, Qt::Uninitialized);
            ok = journal::FdSource(s.fd.get(), s.size).read(copyFrom, tail.data(), tail.size()) &&
                 append(fd, end, tail, reason);
        }
        for (const QByteArray& r : s.held) ok = ok && append(fd, end, r, reason);
        ok = ok && sync(fd, reason);
        if (ok && ::renameat(dir, temp.constData(), dir, s.name.constData()) != 0) {
            reason = errText(errno);
            ok = false;
        }
        if (!ok) {
            file.reset();
            ::unlinkat(dir, temp.constData(), 0);
            fail(s, gen, reason);
            return;
        }
        syncFolder();
        s.fd = std::move(file);   // the journal it replaced is closed
        s.size = end;
        s.baseEnd = baseEnd;
        s.holding = false;
        s.held.clear();
        s.appended = end - baseEnd;
        ++s.serial;
        s.installedGen = gen;
    }

    void appendEdits(JournalShared& s, int gen, const QByteArray& record) {
        if (gen != s.liveGen) return;
        if (s.holding || !s.fd) {
            s.held.push_back(record);
            return;
        }
        QString reason;
        const qint64 before = s.size;
        bool ok = append(s.fd.get(), s.size, record, reason);
        if (ok && ::fdatasync(s.fd.get()) != 0 && errno != EINVAL) {
            reason = errText(errno);
            ok = false;
        }
        if (!ok) {
            // Cut back to the last whole record; a fresh text is needed before edits go on.
            s.size = before;
            if (::ftruncate(s.fd.get(), before) != 0) s.fd.reset();
            s.holding = true;
            fail(s, gen, reason);
            return;
        }
        s.appended = s.size - s.baseEnd;
    }

    void adoptJournal(JournalShared& s, int gen, const QByteArray& old, qint64 goodBytes) {
        s.liveGen = gen;
        s.held.clear();
        s.holding = false;
        QString reason;
        if (!store.prepare(reason)) {
            fail(s, gen, reason);
            return;
        }
        const int dir = store.folderFd();
        UniqueFd fd;
        bool ok = ::renameat(dir, old.constData(), dir, s.name.constData()) == 0;
        if (ok) fd.reset(::openat(dir, s.name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));   // errno kept
        if (!ok || !fd || ::ftruncate(fd.get(), goodBytes) != 0 || !sync(fd.get(), reason)) {
            if (reason.isEmpty()) reason = errText(errno);
            fd.reset();
            fail(s, gen, reason);
            return;
        }
        syncFolder();
        s.fd = std::move(fd);   // the journal it replaced is closed
        s.size = s.baseEnd = goodBytes;
        s.appended = 0;
        ++s.serial;
        s.installedGen = gen;
    }

    void removeJournal(JournalShared& s, int gen) {
        s.liveGen = gen;
        s.fd.reset();
        s.held.clear();
        s.holding = false;
        s.size = s.baseEnd = 0;
        s.appended = 0;
        if (store.folderFd() >= 0 && ::unlinkat(store.folderFd(), s.name.constData(), 0) == 0) syncFolder();
    }
};

// ---- JournalWriter

JournalWriter::JournalWriter(JournalStore& store) : store_(store), impl_(std::make_unique<Impl>(store)) {}

JournalWriter::~JournalWriter() = default;

bool JournalWriter::drain(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto left = [&] {
        return int(std::max<qint64>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                           deadline - std::chrono::steady_clock::now()).count()));
    };
    // The builder hands work to the appender: both are idle once a round finds nothing to wait for.
    for (int round = 0; round < 2; ++round) {
        if (!impl_->builder.drain(left()) || !impl_->appender.drain(left())) return false;
    }
    return true;
}

void JournalWriter::setFaultInjector(std::function<int(qint64)> injector) { impl_->fault = std::move(injector); }

// ---- Journal

Journal::Journal(JournalWriter& writer, int number) : writer_(writer), shared_(std::make_shared<JournalShared>()) {
    shared_->number = number;
    shared_->name = QFile::encodeName(writer.store().journalName(number));
}

Journal::~Journal() {
    // The file stays (it is removed only by remove()); its descriptor and any half-built text go.
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->builder.post([impl, s] { impl->abandonTemp(*s); });
    impl->appender.post([s] {
        s->fd.reset();
        s->liveGen = -1;
    });
}

int Journal::number() const { return shared_->number; }
QString Journal::fileName() const { return QFile::decodeName(shared_->name); }

int Journal::startText() {
    const int gen = ++generation_;
    std::shared_ptr<JournalShared> s = shared_;
    // Edits from now on wait for the new text; the journal on disk stays until it is replaced.
    writer_.impl_->appender.post([s, gen] {
        s->liveGen = gen;
        s->holding = true;
        s->held.clear();
    });
    return gen;
}

void Journal::startFromFile(const journal::Header& header, const QString& path, const FileStamp& stamp,
                            Decoder decode, const QByteArray& tail, std::optional<quint64> hash) {
    const int gen = startText();
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->builder.post([impl, s, gen, header, path, stamp, decode, tail, hash] {
        impl->fromFile(s, gen, header, path, stamp, decode, tail, hash);
    });
}

void Journal::startFromPieces(const journal::Header& header) {
    const int gen = startText();
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->builder.post([impl, s, gen, header] {
        s->builderGen = gen;
        impl->beginTemp(*s, gen, header);
    });
}

void Journal::addPiece(const QByteArray& bytes) {
    const int gen = generation_;
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->builder.post([impl, s, gen, bytes] {
        if (gen != s->tempGen || !s->tempFd) return;
        QString reason;
        if (!impl->addPieces(*s, bytes.constData(), bytes.size(), reason)) {
            impl->abandonTemp(*s);
            JournalWriter::Impl::fail(*s, gen, reason);
        }
    });
}

void Journal::endPieces(const std::vector<journal::Edit>& after) {
    const int gen = generation_;
    const qint64 time = nowMs();
    const QByteArray record = after.empty() ? QByteArray() : journal::editsRecord(after, time);
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->builder.post([impl, s, gen, time, record] {
        if (gen != s->tempGen || !s->tempFd) return;
        impl->finishTemp(s, gen, time, record, -1, 0);
    });
}

void Journal::adopt(const QString& name, qint64 goodBytes) {
    const int gen = ++generation_;
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    const QByteArray old = QFile::encodeName(name);
    impl->builder.post([impl, s, gen] {
        s->builderGen = gen;
        impl->abandonTemp(*s);
    });
    impl->appender.post([impl, s, gen, old, goodBytes] { impl->adoptJournal(*s, gen, old, goodBytes); });
}

void Journal::append(const std::vector<journal::Edit>& edits) {
    if (edits.empty()) return;
    const int gen = generation_;
    const QByteArray record = journal::editsRecord(edits, nowMs());
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->appender.post([impl, s, gen, record] { impl->appendEdits(*s, gen, record); });
}

void Journal::compact() {
    const int gen = generation_;
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->appender.post([impl, s, gen] {
        if (gen != s->liveGen || s->holding || !s->fd || impl->stopping) return;
        // The builder reads through its own descriptor; the job owns it until then.
        const auto fd = std::make_shared<UniqueFd>(::fcntl(s->fd.get(), F_DUPFD_CLOEXEC, 0));
        if (!*fd) return;
        const qint64 length = s->size;
        const int serial = s->serial;
        impl->builder.post([impl, s, gen, fd, length, serial] {
            impl->fromJournal(s, gen, std::move(*fd), length, serial);
        });
    });
}

void Journal::remove() {
    const int gen = ++generation_;
    auto* impl = writer_.impl_.get();
    std::shared_ptr<JournalShared> s = shared_;
    impl->builder.post([impl, s, gen] {
        s->builderGen = gen;
        impl->abandonTemp(*s);
    });
    impl->appender.post([impl, s, gen] { impl->removeJournal(*s, gen); });
}

bool Journal::installed() const { return shared_->installedGen == generation_; }
bool Journal::failed() const { return shared_->failedGen == generation_; }

QString Journal::problem() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->problem;
}

qint64 Journal::appendedBytes() const { return shared_->appended; }

} // namespace io
