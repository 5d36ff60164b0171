#include "documents/Matching.h"

#include <QByteArray>

#include <cctype>
#include <cstring>

namespace matching {
namespace {

constexpr qint64 kTagReach = 4096;   // how far a tag's '<' may lie before the caret, and its '>' after

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '-' || c == '_' || c == ':' || c == '.';
}

bool escaped(const Span& text, qint64 pos) {
    qint64 backslashes = 0;
    for (qint64 p = pos - 1; text.contains(p) && text.at(p) == '\\'; --p) ++backslashes;
    return backslashes % 2 == 1;
}

Pair quotePair(const Span& text, qint64 pos, qint64 lineStart, qint64 lineEnd) {
    const char quote = text.at(pos);
    const qint64 from = std::max(lineStart, text.offset);
    const qint64 to = std::min(lineEnd, text.offset + text.length);
    int before = 0;
    for (qint64 p = from; p < pos; ++p)
        if (text.at(p) == quote && !escaped(text, p)) ++before;
    const int dir = before % 2 == 0 ? 1 : -1;
    for (qint64 p = pos + dir; p >= from && p < to; p += dir)
        if (text.at(p) == quote && !escaped(text, p)) return {pos, p};
    return {};   // a lone quote (an apostrophe, most likely) is nothing to show
}

Pair bracePair(const Span& text, qint64 pos) {
    static const char open[] = "([{", close[] = ")]}";
    const char ch = text.at(pos);
    const char* o = std::strchr(open, ch);
    const int dir = o ? 1 : -1;
    const char partner = o ? close[o - open] : open[std::strchr(close, ch) - close];
    int depth = 1;
    for (qint64 p = pos + dir; text.contains(p); p += dir) {
        const char c = text.at(p);
        if (c == ch) ++depth;
        else if (c == partner && --depth == 0) return {pos, p};
    }
    return {pos, -1};
}

struct Tag {
    qint64 lt = -1;          // its '<'
    qint64 gt = -1;          // its '>'
    qint64 name = -1, nameLength = 0;
    bool closing = false;    // </name>
    bool selfClosed = false; // <name/>
};

// The tag whose '<' is at 'lt', or one with lt == -1 when none starts there.
Tag tagFrom(const Span& text, qint64 lt) {
    Tag t;
    qint64 p = lt + 1;
    bool closing = false;
    if (text.contains(p) && text.at(p) == '/') {
        closing = true;
        ++p;
    }
    if (!text.contains(p) || !std::isalpha(static_cast<unsigned char>(text.at(p)))) return t;
    const qint64 name = p;
    while (text.contains(p) && isNameChar(text.at(p))) ++p;
    // Its '>', passing over quoted attribute values.
    char quote = 0;
    for (qint64 n = 0; text.contains(p) && n < kTagReach; ++p, ++n) {
        const char c = text.at(p);
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            t.lt = lt;
            t.gt = p;
            t.name = name;
            t.nameLength = 0;
            for (qint64 q = name; isNameChar(text.at(q)); ++q) ++t.nameLength;
            t.closing = closing;
            t.selfClosed = !closing && text.at(p - 1) == '/';
            return t;
        } else if (c == '<') {
            break;
        }
    }
    return t;
}

bool sameName(const Span& text, const Tag& a, const Tag& b) {
    if (a.nameLength != b.nameLength) return false;
    for (qint64 i = 0; i < a.nameLength; ++i)
        if (std::tolower(static_cast<unsigned char>(text.at(a.name + i))) !=
            std::tolower(static_cast<unsigned char>(text.at(b.name + i))))
            return false;
    return true;
}

bool isVoid(const Span& text, const Tag& t) {
    static const char* const kVoid[] = {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame",
                                        "hr", "img", "input", "isindex", "keygen", "link", "meta", "param",
                                        "source", "track", "wbr"};
    QByteArray name;
    for (qint64 i = 0; i < t.nameLength; ++i)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(text.at(t.name + i))));
    for (const char* v : kVoid)
        if (name == v) return true;
    return false;
}

bool startsWith(const Span& text, qint64 pos, const char* s) {
    for (; *s; ++s, ++pos)
        if (!text.contains(pos) || text.at(pos) != *s) return false;
    return true;
}

qint64 closingPartner(const Span& text, const Tag& open) {
    int depth = 1;
    const char* const begin = text.data;
    const char* const end = text.data + text.length;
    for (qint64 p = open.gt + 1; p < text.offset + text.length;) {
        const void* hit = std::memchr(begin + (p - text.offset), '<', static_cast<size_t>(end - begin - (p - text.offset)));
        if (!hit) break;
        p = text.offset + (static_cast<const char*>(hit) - begin);
        if (startsWith(text, p, "<!--")) {
            const QByteArray rest = QByteArray::fromRawData(static_cast<const char*>(hit), end - static_cast<const char*>(hit));
            const qsizetype close = rest.indexOf("-->", 4);
            if (close < 0) break;
            p += close + 3;
            continue;
        }
        const Tag t = tagFrom(text, p);
        if (t.lt >= 0 && sameName(text, t, open)) {
            if (t.closing) {
                if (--depth == 0) return t.name;
            } else if (!t.selfClosed) {
                ++depth;
            }
        }
        ++p;
    }
    return -1;
}

qint64 openingPartner(const Span& text, const Tag& close) {
    int depth = 1;
    for (qint64 p = close.lt - 1; text.contains(p); --p) {
        const char c = text.at(p);
        if (c == '>' && startsWith(text, p - 2, "-->")) {
            // Back over the comment to its start.
            qint64 q = p - 3;
            while (text.contains(q) && !startsWith(text, q, "<!--")) --q;
            if (!text.contains(q)) return -1;
            p = q;
            continue;
        }
        if (c != '<') continue;
        const Tag t = tagFrom(text, p);
        if (t.lt < 0 || !sameName(text, t, close)) continue;
        if (t.closing) ++depth;
        else if (!t.selfClosed && --depth == 0) return t.name;
    }
    return -1;
}

} // namespace

Pair braceAt(const Span& text, qint64 caret, qint64 lineStart, qint64 lineEnd) {
    for (const qint64 pos : {caret - 1, caret}) {
        if (!text.contains(pos)) continue;
        const char c = text.at(pos);
        if (c && std::strchr("()[]{}", c)) return bracePair(text, pos);
        if ((c == '"' || c == '\'') && !escaped(text, pos)) {
            const Pair quotes = quotePair(text, pos, lineStart, lineEnd);
            if (quotes.at >= 0) return quotes;
        }
    }
    return {};
}

TagPair tagAt(const Span& text, qint64 caret) {
    qint64 lt = -1;
    if (text.contains(caret) && text.at(caret) == '<') {
        lt = caret;
    } else {
        qint64 p = caret - 1;
        if (text.contains(p) && text.at(p) == '>') --p;   // just after a tag
        for (qint64 n = 0; text.contains(p) && n < kTagReach; --p, ++n) {
            if (text.at(p) == '<') {
                lt = p;
                break;
            }
            if (text.at(p) == '>') break;
        }
    }
    if (lt < 0) return {};
    const Tag tag = tagFrom(text, lt);
    if (tag.lt < 0 || tag.selfClosed || caret > tag.gt + 1 || isVoid(text, tag)) return {};
    const qint64 partner = tag.closing ? openingPartner(text, tag) : closingPartner(text, tag);
    if (partner < 0) return {};
    return {tag.name, tag.nameLength, partner, tag.nameLength};
}

} // namespace matching
