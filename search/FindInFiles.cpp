#include "search/FindInFiles.h"

#include "io/TextLoader.h"
#include "io/Encoding.h"
#include "platform/FileNames.h"
#include "platform/System.h"
#include "platform/Utf8.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace findinfiles {
namespace {

using search::Match;

// Line ends in [from, to) as the edit control counts them (CR LF, LF, CR); 'lastEnd' becomes
// the offset just past the last one found (unchanged when none).
qint64 countLineEnds(const char* text, qint64 length, qint64 from, qint64 to, qint64& lastEnd) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    qint64 count = 0;
    qint64 i = from;
    const auto lone = [&](qint64 k) { return s[k] == '\n' || (s[k] == '\r' && (k + 1 >= length || s[k + 1] != '\n')); };
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    while (i + 17 <= to && i + 17 <= length) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1));
        const unsigned isLf = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        const unsigned isCr = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        const unsigned nextLf = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(next, lf)));
        unsigned ends = isLf | (isCr & ~nextLf);
        if (ends) {
            lastEnd = i + (31 - __builtin_clz(ends)) + 1;
            for (; ends; ends &= ends - 1) ++count;   // few per block: no table or instruction needed
        }
        i += 16;
    }
#endif
    for (; i < to; ++i) {
        if (lone(i)) {
            ++count;
            lastEnd = i + 1;
        }
    }
    return count;
}

qint64 lineEndAt(const char* text, qint64 length, qint64 from) {
    for (qint64 i = from; i < length; ++i)
        if (text[i] == '\n' || text[i] == '\r') return i;
    return length;
}

// Back to the start of the character that holds 'pos'.
qint64 boundaryAtOrBefore(const char* text, qint64 pos) {
    while (pos > 0 && utf8::isContinuation(static_cast<unsigned char>(text[pos]))) --pos;
    return pos;
}

// UTF-16 code units from 'from' to 'to' as the edit control counts them: a byte that is not
// UTF-8 (kept from a UTF-8 file, or half of a lone surrogate from UTF-16) takes one.
qint64 unitsBetween(const char* text, qint64 length, qint64 from, qint64 to) {
    qint64 end = 0;
    return utf8::utf16UnitsStepping(text + from, length - from, to - from, end);
}

constexpr qint64 kShownLine = 400;     // lines up to this many bytes are shown whole
constexpr qint64 kShownBefore = 80;    // else this much before the match
constexpr qint64 kShownAfter = 240;    // and this much after its start

// A file's text as the editor would load it, into a buffer kept from file to file; binary files
// (a NUL among their first 8,000 bytes, unless UTF-16) are refused, and a stopped search stops it.
class SearchSink final : public io::TextSink {
public:
    SearchSink(QByteArray& buffer, const std::atomic<bool>& stopping) : buffer_(buffer), stopping_(stopping) {}

    void begin(qint64 fileSize) override {
        length_ = 0;
        binary_ = false;
        // Room for the longest text the file can give, three bytes per byte: its pages are taken
        // only as they are written, and it never has to move while a large file comes in.
        const qint64 room = fileSize * 3 + 64;
        if (buffer_.size() < room) {
            buffer_ = QByteArray();   // nothing of the last file is copied
            buffer_.resize(room);
        }
    }
    bool accepts(QByteArrayView head, bool utf16) override {
        binary_ = !utf16 && std::memchr(head.data(), 0, size_t(std::min<qint64>(head.size(), 8000)));
        return !binary_;
    }
    void restart() override { length_ = 0; }
    void append(const char* text, qint64 length) override {
        if (length_ + length > buffer_.size()) {
            QByteArray bigger;
            bigger.resize(std::max(length_ + length, buffer_.size() * 2));
            std::memcpy(bigger.data(), buffer_.constData(), size_t(length_));
            buffer_ = std::move(bigger);
        }
        std::memcpy(buffer_.data() + length_, text, size_t(length));
        length_ += length;
    }
    qint64 length() const override { return length_; }
    bool wanted() override { return !stopping_.load(std::memory_order_relaxed); }

    bool binary() const { return binary_; }
    QByteArrayView text() const { return QByteArrayView(buffer_.constData(), length_); }

private:
    QByteArray& buffer_;
    const std::atomic<bool>& stopping_;
    qint64 length_ = 0;
    bool binary_ = false;
};

// Every thread of every search, counted for the wait at the program's end. Never destroyed: a
// thread may still leave it while the program ends.
struct Threads {
    std::mutex lock;
    std::condition_variable none;
    int running = 0;
    bool waitAtExit = false;   // the wait is among the application object's last routines
};

Threads& threads() {
    static auto* t = new Threads;
    return *t;
}

// Run as the application object goes, when no search is wanted any more and all have been told
// to stop: a few seconds at most (a read from a hung network file system may never return).
void waitForThreads() {
    Threads& t = threads();
    std::unique_lock<std::mutex> lock(t.lock);
    t.none.wait_for(lock, std::chrono::seconds(3), [&] { return t.running == 0; });
    t.waitAtExit = false;
}

} // namespace

QByteArrayView fileText(QByteArrayView bytes, QByteArray& scratch) {
    // Open's text for the bytes, by Open's rules.
    io::Recognised how;
    return io::readText(bytes, scratch, how);
}

NameFilter::NameFilter(const QString& patterns) {
    const QStringList parts = patterns.split(QRegularExpression(QStringLiteral("[;,\\s]+")), Qt::SkipEmptyParts);
    for (const QString& p : parts) {
        if (p == QLatin1String("*") || p == QLatin1String("*.*")) {
            patterns_.clear();
            break;
        }
        patterns_.push_back(p.toUtf8());
    }
    all_ = patterns_.empty();
}

bool NameFilter::matches(const char* fileName) const {
    if (all_) return true;
    for (const QByteArray& p : patterns_)
        if (::fnmatch(p.constData(), fileName, FNM_CASEFOLD) == 0) return true;
    return false;
}

QString patternsOfFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    return parts.size() >= 2 ? parts.at(1).trimmed() : QString();
}

QString folderProblem(const QString& folder) {
    if (folder.trimmed().isEmpty()) return QCoreApplication::translate("FindInFiles", "Choose a folder to search in.");
    const QByteArray name = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return QCoreApplication::translate("FindInFiles", "The folder \"%1\" cannot be searched: %2").arg(folder, tp::errnoText(errno));
    if (!S_ISDIR(st.st_mode)) return QCoreApplication::translate("FindInFiles", "\"%1\" is not a folder.").arg(folder);
    DIR* d = ::opendir(name.constData());
    if (!d) return QCoreApplication::translate("FindInFiles", "The folder \"%1\" cannot be read: %2").arg(folder, tp::errnoText(errno));
    ::closedir(d);
    return QString();
}

std::vector<Hit> hitsIn(const char* text, qint64 length, const search::Matcher& matcher, HitBudget& budget,
                        qint64& matches, const std::atomic<bool>* stop, qint64 window) {
    std::vector<Hit> hits;
    matches = 0;
    bool listing = true;
    qint64 line = 1, lineStart = 0, counted = 0;   // lines counted up to 'counted'
    qint64 columnByte = 0, column = 0;             // the column at byte columnByte of the line
    qint64 lineEnd = -1;                           // end of the line at lineStart, once known
    const auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
    window = std::max<qint64>(1, window);
    // Matches are looked for a window at a time: those that start before 'windowEnd'.
    qint64 windowEnd = std::min(window, length + 1);
    qint64 next = 0;   // where the search goes on in the next window
    Match m = matcher.findForward(text, length, 0, windowEnd);
    for (;;) {
        if (!m) {
            if (windowEnd > length || matcher.gaveUp() || stopped()) break;
            next = std::max(next, windowEnd);
            windowEnd = std::min(next + window, length + 1);
            m = matcher.findForward(text, length, next, windowEnd);
            continue;
        }
        ++matches;
        next = m.end > m.start ? m.end : m.end + 1;
        if ((matches & 1023) == 0 && stopped()) break;
        if (listing && !budget.take()) listing = false;
        if (listing) {
            const qint64 before = lineStart;
            line += countLineEnds(text, length, counted, m.start, lineStart);
            counted = m.start;
            if (lineStart != before || lineEnd < 0) {
                columnByte = lineStart;
                column = 0;
                lineEnd = lineEndAt(text, length, lineStart);
            }
            column += unitsBetween(text, length, columnByte, m.start);
            columnByte = m.start;

            Hit h;
            h.line = line;
            h.column = column + 1;
            h.start = m.start;
            h.end = m.end;
            h.lineStart = lineStart;
            qint64 from = lineStart, to = lineEnd;
            if (lineEnd - lineStart > kShownLine) {
                from = std::max(lineStart, boundaryAtOrBefore(text, m.start - kShownBefore));
                to = std::min(lineEnd, textsearch::boundaryAtOrAfter(text, length, m.start + kShownAfter));
            }
            // In three parts, so that the mark covers the match however bytes that are not
            // UTF-8 around it are shown.
            const QString lead = from > lineStart ? QStringLiteral("\u2026") : QString();
            const QString ahead = QString::fromUtf8(text + from, m.start - from);
            const qint64 markEnd = std::clamp(m.end, m.start, to);
            const QString marked = QString::fromUtf8(text + m.start, markEnd - m.start);
            h.lineText = lead + ahead + marked + QString::fromUtf8(text + markEnd, to - markEnd) +
                         (to < lineEnd ? QStringLiteral("\u2026") : QString());
            h.markFrom = int(lead.size() + ahead.size());
            h.markLength = int(marked.size());
            hits.push_back(std::move(h));
        }
        m = matcher.findNextOf(text, length, m, windowEnd);
    }
    return hits;
}

// ------------------------------------------------------------------------------------------
// The search: one thread walks the folder, the workers read and search the files it finds. The
// threads share the state and own it together: the last one to end frees it.

struct Search::State {
    // Set before the threads start, then only read.
    Request request;
    search::Matcher matcher;   // each worker searches with its own copy
    NameFilter filter;

    std::atomic<bool> stopping{false};
    std::atomic<qint64> found{0}, done{0};
    std::atomic<bool> walking{true};
    HitBudget budget{kListLimit};

    // Under queueLock: the files the walk found and the workers have not taken yet.
    std::mutex queueLock;
    std::condition_variable queueReady;
    std::deque<std::pair<qint64, QByteArray>> queue;   // (order, path)
    bool walkEnded = false;

    // Under outLock: results go out in the order of the walk, to the sink (which the owner
    // empties as it drops the search: nothing is reported after that).
    std::mutex outLock;
    Sink sink;
    std::map<qint64, FileResult> parked;
    qint64 nextOut = 0;
    Summary summary;
    int workersLeft = 0;
    bool finished = false;

    // Under endLock: the threads that have not ended.
    std::mutex endLock;
    std::condition_variable ended;
    int threadsLeft = 0;

    // A worker's buffers, kept from file to file: the file's bytes and their decoded text.
    struct Buffers {
        io::TextLoader loader;
        QByteArray text;
    };

    bool stopped() const { return stopping.load(std::memory_order_relaxed); }
    void threadEnded() {
        std::lock_guard<std::mutex> lock(endLock);
        if (--threadsLeft == 0) ended.notify_all();
    }
    void walk(const QByteArray& dir, qint64& order, bool top);
    void walkAll();
    void work();
    void deliver(qint64 order, FileResult&& r);
    FileResult searchFile(const QByteArray& path, search::Matcher& m, Buffers& buffers);
    FileResult readAndSearch(const QByteArray& path, search::Matcher& m, Buffers& buffers);
};

void Search::State::walk(const QByteArray& dir, qint64& order, bool top) {
    if (stopped()) return;
    const std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.constData()), ::closedir);
    if (!d) {
        if (!top) {
            FileResult r;
            r.path = tp::exactName(dir).value_or(tp::shownName(dir));
            r.outcome = Outcome::Unreadable;
            r.reason = tp::errnoText(errno);
            ++found;
            ++done;
            deliver(order++, std::move(r));
        }
        return;
    }
    std::vector<QByteArray> files, folders;
    while (dirent* e = ::readdir(d.get())) {
        if (stopped()) return;
        const char* name = e->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st {};
            // A link to a file is searched; a link to a folder is not followed.
            const int rc = type == DT_LNK ? ::fstatat(::dirfd(d.get()), name, &st, 0)
                                          : ::fstatat(::dirfd(d.get()), name, &st, AT_SYMLINK_NOFOLLOW);
            if (rc != 0) continue;
            type = S_ISREG(st.st_mode) ? DT_REG : (S_ISDIR(st.st_mode) && e->d_type != DT_LNK) ? DT_DIR : DT_UNKNOWN;
        }
        if (type == DT_REG && filter.matches(name)) files.emplace_back(name);
        else if (type == DT_DIR && request.subfolders) folders.emplace_back(name);
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    const QByteArray prefix = dir.endsWith('/') ? dir : dir + '/';
    {
        std::lock_guard<std::mutex> lock(queueLock);
        for (const QByteArray& f : files) queue.emplace_back(order++, prefix + f);
        found += qint64(files.size());
    }
    queueReady.notify_all();
    for (const QByteArray& f : folders) walk(prefix + f, order, false);
}

void Search::State::walkAll() {
    qint64 order = 0;
    walk(QFile::encodeName(request.folder), order, true);
    {
        std::lock_guard<std::mutex> lock(queueLock);
        walkEnded = true;
    }
    walking = false;
    queueReady.notify_all();
}

FileResult Search::State::searchFile(const QByteArray& path, search::Matcher& m, Buffers& buffers) {
    try {
        return readAndSearch(path, m, buffers);
    } catch (const std::bad_alloc&) {
        // The memory went between the check and the reading: as if it had been seen.
        buffers.text = QByteArray();
        FileResult r;
        r.path = tp::exactName(path).value_or(tp::shownName(path));
        r.outcome = Outcome::TooLarge;
        return r;
    }
}

FileResult Search::State::readAndSearch(const QByteArray& path, search::Matcher& m, Buffers& buffers) {
    FileResult r;
    const std::optional<QString> name = tp::exactName(path);
    r.path = name ? *name : tp::shownName(path);
    if (!name) {   // its text would name another file, which Open would open in its place
        r.outcome = Outcome::Unreadable;
        r.reason = QCoreApplication::translate("FindInFiles", "Its name is not UTF-8 text, so Tesselpad cannot open it.");
        return r;
    }
    const auto unreadable = [&](const QString& reason) {
        r.outcome = Outcome::Unreadable;
        r.reason = reason;
        return std::move(r);
    };
    const auto skipped = [&](Outcome outcome) {
        r.outcome = outcome;
        return std::move(r);
    };
    // A file open in a window with unsaved changes is searched in the window's text.
    if (request.openTexts && !request.openTexts->empty()) {
        struct stat st {};
        if (::stat(path.constData(), &st) == 0) {
            for (const OpenText& open : *request.openTexts) {
                if (open.device != quint64(st.st_dev) || open.inode != quint64(st.st_ino)) continue;
                r.size = open.text.size();
                r.unsaved = true;
                r.hits = hitsIn(open.text.constData(), open.text.size(), m, budget, r.matches, &stopping);
                return r;
            }
        }
    }
    // Read as Open reads it, under the same rule for what is too large.
    io::TextLoader& file = buffers.loader;
    QString reason;
    if (!file.open(path, reason)) {
        r.size = file.size();
        return file.refused() ? skipped(Outcome::TooLarge) : unreadable(reason);
    }
    r.size = file.size();
    SearchSink sink(buffers.text, stopping);
    const bool read = file.load(sink, reason);
    file.close();
    if (stopped()) return r;   // dropped with the rest
    if (sink.binary()) return skipped(Outcome::Binary);
    if (!read) {
        return file.refused() ? skipped(Outcome::TooLarge) : unreadable(reason);
    }
    const QByteArrayView text = sink.text();
    r.hits = hitsIn(text.data(), text.size(), m, budget, r.matches, &stopping);
    if (m.gaveUp()) r.reason = QCoreApplication::translate("FindInFiles", "The regular expression needed too much work on this file.");
    return r;
}

void Search::State::work() {
    search::Matcher m = matcher;   // its own scratch space
    Buffers buffers;
    // The encoding an ASCII file is taken to have changes only its name, not its text.
    buffers.loader.setAsciiEncoding(io::Encoding::Windows1252);
    buffers.loader.setHashing(false);
    for (;;) {
        std::pair<qint64, QByteArray> job;
        {
            std::unique_lock<std::mutex> lock(queueLock);
            queueReady.wait(lock, [&] { return !queue.empty() || walkEnded || stopped(); });
            if (stopped() || queue.empty()) break;
            job = std::move(queue.front());
            queue.pop_front();
        }
        FileResult r = searchFile(job.second, m, buffers);
        if (m.gaveUp()) {
            std::lock_guard<std::mutex> lock(outLock);
            summary.gaveUp = true;
        }
        ++done;
        deliver(job.first, std::move(r));
    }
    // Whatever stopping left in the queue is dropped.
    std::lock_guard<std::mutex> lock(outLock);
    if (--workersLeft == 0 && !finished) {
        finished = true;
        summary.stopped = stopped();
        if (sink.finished) sink.finished(summary);
    }
}

void Search::State::deliver(qint64 order, FileResult&& r) {
    std::lock_guard<std::mutex> lock(outLock);
    parked.emplace(order, std::move(r));
    for (auto it = parked.find(nextOut); it != parked.end(); it = parked.find(nextOut)) {
        FileResult& out = it->second;
        switch (out.outcome) {
        case Outcome::Searched:
            ++summary.filesSearched;
            summary.bytes += out.size;
            if (out.matches > 0) ++summary.filesMatched;
            summary.matches += out.matches;
            summary.unlisted += out.matches - qint64(out.hits.size());
            break;
        case Outcome::Binary: ++summary.binary; break;
        case Outcome::TooLarge: ++summary.tooLarge; break;
        case Outcome::Unreadable: ++summary.unreadable; break;
        }
        if (sink.file && !stopped()) sink.file(std::move(out));
        parked.erase(it);
        ++nextOut;
    }
}

Search::Search(const Request& request, const search::Matcher& matcher, Sink sink, int threads)
    : state_(std::make_shared<State>()) {
    State& s = *state_;
    s.request = request;
    s.matcher = matcher;
    s.sink = std::move(sink);
    s.filter = NameFilter(request.patterns);
    if (threads <= 0) threads = int(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    s.workersLeft = threads;
    s.threadsLeft = threads + 1;
    // Each thread holds the state; none is ever joined.
    const auto start = [this](void (State::*body)()) {
        Threads& all = findinfiles::threads();
        {
            std::lock_guard<std::mutex> lock(all.lock);
            ++all.running;
            if (!all.waitAtExit && QCoreApplication::instance()) {
                qAddPostRoutine(waitForThreads);
                all.waitAtExit = true;
            }
        }
        const auto end = [&all] {
            std::lock_guard<std::mutex> lock(all.lock);
            if (--all.running == 0) all.none.notify_all();
        };
        try {
            std::thread([state = state_, body, end]() mutable {
                ((*state).*body)();
                state->threadEnded();
                state.reset();   // the last thread frees the state
                end();
            }).detach();
            return true;
        } catch (const std::system_error&) {
            state_->threadEnded();
            end();
            return false;
        }
    };
    if (!start(&State::walkAll)) {   // no files are ever found
        std::lock_guard<std::mutex> lock(s.queueLock);
        s.walkEnded = true;
        s.walking = false;
    }
    for (int i = 0; i < threads; ++i) {
        if (start(&State::work)) continue;
        // The workers that did start finish the search; when none did, it ends here.
        std::lock_guard<std::mutex> lock(s.outLock);
        if (--s.workersLeft == 0 && !s.finished) {
            s.finished = true;
            if (s.sink.finished) s.sink.finished(s.summary);
        }
    }
}

Search::~Search() {
    stop();
    // The owner may be going: nothing is reported to it any more. The threads end on their own.
    std::lock_guard<std::mutex> lock(state_->outLock);
    state_->sink = Sink();
}

void Search::stop() {
    state_->stopping = true;
    std::lock_guard<std::mutex> lock(state_->queueLock);
    state_->queueReady.notify_all();
}

void Search::wait() {
    std::unique_lock<std::mutex> lock(state_->endLock);
    state_->ended.wait(lock, [&] { return state_->threadsLeft == 0; });
}

Progress Search::progress() const {
    return {state_->found.load(), state_->done.load(), state_->walking.load()};
}

bool Search::done() const {
    std::lock_guard<std::mutex> lock(state_->outLock);
    return state_->finished;
}

} // namespace findinfiles
