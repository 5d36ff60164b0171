#include "search/FindInFiles.h"

#include "io/DocumentFile.h"
#include "io/CodePage.h"
#include "io/Encoding.h"
#include "platform/System.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace findinfiles {
namespace {

using search::Match;

// The number of bytes before the first one that is not ASCII.
qint64 asciiPrefix(const char* p, qint64 n) {
    qint64 i = 0;
    for (; i + 32 <= n; i += 32) {
        quint64 w[4];
        std::memcpy(w, p + i, 32);
        if ((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) break;
    }
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

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

// UTF-16 units of well-formed UTF-8.
qint64 utf16Units(const char* p, qint64 n) {
    qint64 units = 0;
    for (qint64 i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        units += (b & 0xC0) != 0x80;
        units += b >= 0xF0;
    }
    return units;
}

qint64 lineEndAt(const char* text, qint64 length, qint64 from) {
    for (qint64 i = from; i < length; ++i)
        if (text[i] == '\n' || text[i] == '\r') return i;
    return length;
}

// Back to the start of the character that holds 'pos'.
qint64 boundaryAtOrBefore(const char* text, qint64 pos) {
    while (pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) --pos;
    return pos;
}

constexpr qint64 kShownLine = 400;     // lines up to this many bytes are shown whole
constexpr qint64 kShownBefore = 80;    // else this much before the match
constexpr qint64 kShownAfter = 240;    // and this much after its start

// Windows-1252 in one pass: the ASCII start ('ascii' bytes) stays where it is, the rest is decoded
// into room for the longest result (three bytes for every byte), sixteen ASCII bytes at a time.
QByteArrayView windows1252Text(QByteArrayView bytes, qint64 ascii, QByteArray& scratch) {
    const char* in = bytes.data();
    const qint64 n = bytes.size();
    static const auto table = [] {
        std::array<std::array<char, 4>, 128> t{};   // the UTF-8 of bytes 0x80-0xFF; [3]: length
        for (int b = 0x80; b < 0x100; ++b) {
            const QByteArray u = QString(QChar(codepage::toUnicode(std::uint8_t(b)))).toUtf8();
            std::memcpy(t[b - 0x80].data(), u.constData(), size_t(u.size()));
            t[b - 0x80][3] = char(u.size());
        }
        return t;
    }();
    scratch.resize(ascii + (n - ascii) * 3 + 16);
    char* out = scratch.data();
    std::memcpy(out, in, size_t(ascii));
    qint64 i = ascii, o = ascii;
    while (i < n) {
#if defined(__SSE2__)
        if (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), v);
            const unsigned high = unsigned(_mm_movemask_epi8(v));
            const int k = high ? __builtin_ctz(high) : 16;   // ASCII bytes copied as they are
            i += k;
            o += k;
            if (k == 16) continue;
        }
#endif
        const auto b = static_cast<unsigned char>(in[i++]);
        if (b < 0x80) {
            out[o++] = char(b);
            continue;
        }
        const auto& u = table[b - 0x80];
        std::memcpy(out + o, u.data(), 3);
        o += u[3];
    }
    scratch.resize(o);
    return QByteArrayView(scratch);
}

} // namespace

QByteArrayView fileText(QByteArrayView bytes, QByteArray& scratch) {
    // Plain ASCII is the same text in every encoding a file is recognised in, but for ISO-2022-JP's
    // escapes.
    const qint64 ascii = asciiPrefix(bytes.data(), bytes.size());
    if (ascii == bytes.size() && !bytes.contains('\x1B')) return bytes;
    if (!io::declaredEncoding(bytes) && !io::markedEncoding(bytes, bytes.size())) {
        // UTF-8 is read as its bytes, the rest as Windows-1252 (rules 3 and 6 of io/Encoding.h).
        utf8::Checker check;
        check.feed(bytes.data(), bytes.size());
        if (check.valid() && (check.multibyte() || !check.cutOff())) return bytes;
        return windows1252Text(bytes, ascii, scratch);
    }
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
    if (folder.trimmed().isEmpty()) return QStringLiteral("Choose a folder to search in.");
    const QByteArray name = QFile::encodeName(folder);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return QStringLiteral("The folder \"%1\" cannot be searched: %2").arg(folder, tp::errnoText(errno));
    if (!S_ISDIR(st.st_mode)) return QStringLiteral("\"%1\" is not a folder.").arg(folder);
    DIR* d = ::opendir(name.constData());
    if (!d) return QStringLiteral("The folder \"%1\" cannot be read: %2").arg(folder, tp::errnoText(errno));
    ::closedir(d);
    return QString();
}

std::vector<Hit> hitsIn(const char* text, qint64 length, const search::Matcher& matcher, qint64 limit,
                        qint64& matches, const std::atomic<bool>* stop) {
    std::vector<Hit> hits;
    matches = 0;
    qint64 line = 1, lineStart = 0, counted = 0;   // lines counted up to 'counted'
    qint64 columnByte = 0, column = 0;             // the column at byte columnByte of the line
    qint64 lineEnd = -1;                           // end of the line at lineStart, once known
    for (Match m = matcher.findForward(text, length, 0); m; m = matcher.findNextOf(text, length, m)) {
        ++matches;
        if ((matches & 1023) == 0 && stop && stop->load(std::memory_order_relaxed)) break;
        if (qint64(hits.size()) >= limit) continue;
        const qint64 before = lineStart;
        line += countLineEnds(text, length, counted, m.start, lineStart);
        counted = m.start;
        if (lineStart != before || lineEnd < 0) {
            columnByte = lineStart;
            column = 0;
            lineEnd = lineEndAt(text, length, lineStart);
        }
        column += utf16Units(text + columnByte, m.start - columnByte);
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
        const QString lead = from > lineStart ? QStringLiteral("\u2026") : QString();
        h.lineText = lead + QString::fromUtf8(text + from, to - from) + (to < lineEnd ? QStringLiteral("\u2026") : QString());
        h.markFrom = int(lead.size() + utf16Units(text + from, m.start - from));
        h.markLength = int(utf16Units(text + m.start, std::min(m.end, to) - m.start));
        hits.push_back(std::move(h));
    }
    return hits;
}

// ------------------------------------------------------------------------------------------
// The search: one thread walks the folder, the workers read and search the files it finds.

struct Search::State {
    Request request;
    search::Matcher matcher;
    Sink sink;
    NameFilter filter;

    std::atomic<bool> stopping{false};
    std::atomic<qint64> found{0}, done{0};
    std::atomic<bool> walking{true};
    std::atomic<qint64> listed{0};

    std::mutex queueLock;
    std::condition_variable queueReady;
    std::deque<std::pair<qint64, QByteArray>> queue;   // (order, path)
    bool walkEnded = false;

    // Results go out in the order of the walk.
    std::mutex outLock;
    std::map<qint64, FileResult> parked;
    qint64 nextOut = 0;
    Summary summary;
    int workersLeft = 0;
    bool finished = false;

    std::vector<std::thread> threads;

    void walk(const QByteArray& dir, qint64& order, bool top);
    void walkAll();
    void work();
    void deliver(qint64 order, FileResult&& r);
    FileResult searchFile(const QByteArray& path, search::Matcher& m, std::vector<char>& buffer, QByteArray& scratch);
};

void Search::State::walk(const QByteArray& dir, qint64& order, bool top) {
    if (stopping.load()) return;
    DIR* d = ::opendir(dir.constData());
    if (!d) {
        if (!top) {
            FileResult r;
            r.path = QFile::decodeName(dir);
            r.outcome = Outcome::Unreadable;
            r.reason = tp::errnoText(errno);
            ++found;
            ++done;
            deliver(order++, std::move(r));
        }
        return;
    }
    std::vector<QByteArray> files, folders;
    while (dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            struct stat st {};
            // A link to a file is searched; a link to a folder is not followed.
            const int rc = type == DT_LNK ? ::fstatat(::dirfd(d), name, &st, 0)
                                          : ::fstatat(::dirfd(d), name, &st, AT_SYMLINK_NOFOLLOW);
            if (rc != 0) continue;
            type = S_ISREG(st.st_mode) ? DT_REG : (S_ISDIR(st.st_mode) && e->d_type != DT_LNK) ? DT_DIR : DT_UNKNOWN;
        }
        if (type == DT_REG && filter.matches(name)) files.emplace_back(name);
        else if (type == DT_DIR && request.subfolders) folders.emplace_back(name);
    }
    ::closedir(d);
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

FileResult Search::State::searchFile(const QByteArray& path, search::Matcher& m, std::vector<char>& buffer,
                                     QByteArray& scratch) {
    FileResult r;
    r.path = QFile::decodeName(path);
    const auto unreadable = [&](int err) {
        r.outcome = Outcome::Unreadable;
        r.reason = tp::errnoText(err);
        return std::move(r);
    };
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return unreadable(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return unreadable(err);
    }
    if (!S_ISREG(st.st_mode)) {   // replaced by something else since the walk saw it
        ::close(fd);
        r.outcome = Outcome::Unreadable;
        r.reason = QStringLiteral("It is not a regular file.");
        return r;
    }
    // The limits Open applies.
    const qint64 size = st.st_size;
    r.size = size;
    if (size > documents::kMaxFileBytes ||
        (size > (qint64(64) << 20) && [&] {
            const qint64 free = documents::availableMemory();
            return free >= 0 && size * 3 > free;
        }())) {
        ::close(fd);
        r.outcome = Outcome::TooLarge;
        return r;
    }
    if (qint64(buffer.size()) < size + 1) buffer.resize(size_t(size + 1));
    qint64 got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer.data() + got, size_t(size - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            return unreadable(err);
        }
        if (n == 0) break;
        got += n;
    }
    ::close(fd);
    const std::optional<io::Encoding> marked = io::markedEncoding(QByteArrayView(buffer.data(), got), got);
    if (!(marked && io::isUtf16(*marked)) && std::memchr(buffer.data(), 0, size_t(std::min<qint64>(got, 8000)))) {
        r.outcome = Outcome::Binary;
        return r;
    }
    const QByteArrayView text = fileText(QByteArrayView(buffer.data(), got), scratch);
    // Lines are measured as Open measures them: a UTF-16 file in its decoded text (a line end's
    // byte in the file may be half of another character), others in the file's bytes.
    const QByteArrayView measured = marked && io::isUtf16(*marked) ? text : QByteArrayView(buffer.data(), got);
    const qint64 length = measured.size();
    if (length > documents::kMaxLineChars) {
        qint64 lastEnd = 0, longest = 0, at = 0;
        for (qint64 i = 0; i < length && longest <= documents::kMaxLineChars; i = at) {
            at = std::min(length, i + documents::kMaxLineChars);
            const qint64 previous = lastEnd;
            countLineEnds(measured.data(), length, i, at, lastEnd);
            longest = std::max(longest, lastEnd == previous ? at - previous : at - lastEnd);
        }
        if (longest > documents::kMaxLineChars) {
            r.outcome = Outcome::TooLarge;
            return r;
        }
    }
    const qint64 room = std::max<qint64>(0, kListLimit - listed.load());
    r.hits = hitsIn(text.data(), text.size(), m, room, r.matches, &stopping);
    listed += qint64(r.hits.size());
    if (m.gaveUp()) r.reason = QStringLiteral("The regular expression needed too much work on this file.");
    return r;
}

void Search::State::work() {
    search::Matcher m = matcher;   // its own scratch space
    std::vector<char> buffer;
    QByteArray scratch;
    for (;;) {
        std::pair<qint64, QByteArray> job;
        {
            std::unique_lock<std::mutex> lock(queueLock);
            queueReady.wait(lock, [&] { return !queue.empty() || walkEnded || stopping.load(); });
            if (stopping.load() || queue.empty()) break;
            job = std::move(queue.front());
            queue.pop_front();
        }
        FileResult r = searchFile(job.second, m, buffer, scratch);
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
        summary.stopped = stopping.load();
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
        if (sink.file && !stopping.load()) sink.file(std::move(out));
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
    s.threads.emplace_back([&s] { s.walkAll(); });
    for (int i = 0; i < threads; ++i) s.threads.emplace_back([&s] { s.work(); });
}

Search::~Search() {
    stop();
    wait();
}

void Search::stop() {
    state_->stopping = true;
    std::lock_guard<std::mutex> lock(state_->queueLock);
    state_->queueReady.notify_all();
}

void Search::wait() {
    for (std::thread& t : state_->threads)
        if (t.joinable()) t.join();
}

Progress Search::progress() const {
    return {state_->found.load(), state_->done.load(), state_->walking.load()};
}

bool Search::done() const {
    std::lock_guard<std::mutex> lock(state_->outLock);
    return state_->finished;
}

} // namespace findinfiles
