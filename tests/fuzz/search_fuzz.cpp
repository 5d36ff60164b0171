// The search core on random texts and patterns against a naive search written from the rule:
// Down finds the first occurrence beginning at or after the caret, Up the nearest occurrence
// beginning before it; without case every UTF-16 unit is compared by its simple upper case.
#include "FuzzCheck.h"

#include "search/TextSearch.h"

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
    qint64 start = 0;   // the caret (0-based, in UTF-16 units)
};

// The 0-based offset of the hit, or nullopt for "Cannot find". Ignoring case maps every UTF-16
// unit to its simple upper case, which keeps lengths (a full mapping would turn one "\u00df" into
// "SS" and shift every position after it).
QString upper(const QString& s) {
    QString u = s;
    for (QChar& c : u) c = c.toUpper();
    return u;
}

std::optional<qint64> referenceSearch(const Query& q) {
    const QString pattern = q.matchCase ? q.pattern : upper(q.pattern);
    const QString subject = q.matchCase ? q.text : upper(q.text);
    const auto at = [&](qint64 off) {
        return off + pattern.size() <= subject.size() && QStringView(subject).mid(off, pattern.size()) == pattern;
    };
    if (q.down) {
        for (qint64 off = q.start; off + pattern.size() <= subject.size(); ++off)
            if (at(off)) return off;
        return std::nullopt;
    }
    for (qint64 off = q.start - 1; off >= 0; --off)
        if (at(off)) return off;
    return std::nullopt;
}

// The search core on the UTF-8 bytes, with positions converted to and from UTF-16 units.
std::optional<qint64> ourSearch(const Query& q) {
    const QByteArray text = q.text.toUtf8();
    const QByteArray pattern = q.pattern.toUtf8();
    const qint64 from = q.text.left(q.start).toUtf8().size();
    const textsearch::Pattern prepared(pattern, q.matchCase);
    const textsearch::Match hit = q.down ? prepared.findForward(text.constData(), text.size(), from)
                                         : prepared.findBackward(text.constData(), text.size(), from);
    if (!hit) return std::nullopt;
    const QString before = QString::fromUtf8(text.constData(), hit.start);
    const QString matched = QString::fromUtf8(text.constData() + hit.start, hit.end - hit.start);
    // A hit covers exactly as many UTF-16 units as the pattern.
    if (matched.size() != q.pattern.size()) return -2;
    return before.size();
}

Query decode(const std::uint8_t* data, std::size_t size) {
    Query q;
    if (size < 4) return q;
    q.matchCase = data[0] & 1;
    q.down = data[0] & 2;
    const std::size_t split = data[3] % 16 + 1;
    const std::size_t rest = size - 4;
    const std::size_t patternBytes = std::min(split, rest);
    // A small alphabet makes matches likely; it holds letters whose upper case differs in UTF-8
    // length (dotless i, long s), the Kelvin sign, sharp s, line breaks and NUL.
    static const char16_t kAlphabet[] = {u'a',      u'A',      u'b',      u'\r',     u'\n',     u'\u00e9',
                                         u'\u00c9', u'\u00df', u'i',      u'I',      u'\u0131', u's',
                                         u'S',      u'\u017f', u'\u212a', u'\0'};
    for (std::size_t i = 0; i < rest; ++i) {
        const QChar c(kAlphabet[data[4 + i] % 16]);
        (i < patternBytes ? q.pattern : q.text) += c;
    }
    q.start = (qint64(data[1]) << 8 | data[2]) % (q.text.size() + 1);
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
