// SEARCH ROUTINE TARGET (not built yet: see TESSELPAD_FUZZ_SEARCH in CMakeLists.txt).
//
// Random text, pattern, case mode, direction and caret against a naive search written from the
// routine's rule. To enable it once the search routine is in the tree:
//   1. make ourSearch() below call the routine's core (the part that, given the text, the pattern
//      and the state, computes the hit without touching a window or showing a message);
//   2. list the sources it needs in TESSELPAD_FUZZ_SEARCH_SOURCES and set TESSELPAD_FUZZ_SEARCH=ON
//      in CMakeLists.txt (tools/fuzz.sh then builds and runs it like the others);
//   3. add a few seeds under corpus/search/.
#include "FuzzCheck.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

struct Query {
    QString text;       // the document's Text()
    QString pattern;    // strSearchText, never empty
    bool matchCase = false;
    bool down = true;
    qint64 start = 0;   // SelStart + offset (0-based)
};

// The 0-based offset of the hit, or nullopt for "Cannot find". Positions are 16-bit: a start
// (or start + 1) above 32767, or a downward hit beginning beyond position 32767, is a miss.
// Ignoring case maps every UTF-16 unit to its simple upper case, which keeps lengths (a full
// mapping would turn one "\u00df" into "SS" and shift every position after it).
QString upper(const QString& s) {
    QString u = s;
    for (QChar& c : u) c = c.toUpper();
    return u;
}

std::optional<qint64> referenceSearch(const Query& q) {
    const QString pattern = q.matchCase ? q.pattern : upper(q.pattern);
    const QString subject = q.matchCase ? q.text : upper(q.text);
    if (q.start + 1 > 32767) return std::nullopt;
    if (q.down) {
        for (qint64 off = q.start; off + pattern.size() <= subject.size(); ++off) {
            if (off + 1 > 32767) return std::nullopt;
            if (QStringView(subject).mid(off, pattern.size()) == pattern) return off;
        }
        return std::nullopt;
    }
    // Up: candidates begin at 1-based positions start - 1, start - 2, ..., 1.
    for (qint64 p = q.start - 1; p >= 1; --p) {
        const qint64 off = p - 1;
        if (off + pattern.size() <= subject.size() && QStringView(subject).mid(off, pattern.size()) == pattern)
            return off;
    }
    return std::nullopt;
}

// FILL IN: the routine under test, same contract as referenceSearch().
std::optional<qint64> ourSearch(const Query& q) { return referenceSearch(q); }

Query decode(const std::uint8_t* data, std::size_t size) {
    Query q;
    if (size < 4) return q;
    q.matchCase = data[0] & 1;
    q.down = data[0] & 2;
    q.start = (qint64(data[1]) << 8 | data[2]) % 40000;
    const std::size_t split = data[3] % 16 + 1;
    const std::size_t rest = size - 4;
    const std::size_t patternBytes = std::min(split, rest);
    // A small alphabet (a, A, b, CR, LF, a non-ASCII letter) makes matches likely.
    static const char16_t kAlphabet[] = {u'a', u'A', u'b', u'\r', u'\n', u'\u00e9', u'\u00c9', u'\u00df'};
    for (std::size_t i = 0; i < rest; ++i) {
        const QChar c(kAlphabet[data[4 + i] % 8]);
        (i < patternBytes ? q.pattern : q.text) += c;
    }
    return q;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Query q = decode(data, size);
    if (q.pattern.isEmpty()) return 0;
    const auto ours = ourSearch(q);
    const auto expected = referenceSearch(q);
    if (ours != expected) {
        const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        fuzz::fail("search", input, QByteArray::number(ours.value_or(-1)), QByteArray::number(expected.value_or(-1)));
    }
    return 0;
}
