#include "edit/Markup.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace markup {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isNameStart(char c, Dialect d) {
    return isLetter(c) || (d == Dialect::Xml && (c == '_' || c == ':' || static_cast<unsigned char>(c) >= 0x80));
}
bool isNameChar(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' || c == '.' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool sameName(QByteArrayView a, QByteArrayView b, Dialect d) {
    if (a.size() != b.size()) return false;
    if (d == Dialect::Xml) return a == b;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

template <size_t N>
bool isOneOf(QByteArrayView name, const QByteArrayView (&names)[N]) {
    for (const QByteArrayView n : names)
        if (sameName(name, n, Dialect::Html)) return true;
    return false;
}

// Elements whose content is text up to their own end tag.
constexpr QByteArrayView kRawText[] = {"script", "style", "textarea", "title"};
constexpr QByteArrayView kVoid[] = {"area", "base", "br", "col", "embed", "hr", "img", "input",
                                    "link", "meta", "source", "track", "wbr", "param", "keygen"};
bool isRawText(QByteArrayView name) { return isOneOf(name, kRawText); }

// Where 'what' starts in s at or after 'from', or -1.
qint64 find(QByteArrayView s, qint64 from, QByteArrayView what) {
    const qint64 n = s.size(), m = what.size();
    while (from + m <= n) {
        const void* hit = std::memchr(s.data() + from, what[0], static_cast<size_t>(n - m - from + 1));
        if (!hit) return -1;
        from = static_cast<const char*>(hit) - s.data();
        if (std::memcmp(s.data() + from, what.data(), static_cast<size_t>(m)) == 0) return from;
        ++from;
    }
    return -1;
}

// Where the end tag "</name" starts at or after 'from' (the name without case), or -1.
qint64 findEndTag(QByteArrayView s, qint64 from, QByteArrayView name) {
    for (qint64 at = find(s, from, "</"); at >= 0; at = find(s, at + 2, "</")) {
        if (at + 2 + name.size() > s.size()) return -1;
        if (sameName(s.sliced(at + 2, name.size()), name, Dialect::Html)) return at;
    }
    return -1;
}

struct Tag {
    QByteArrayView name;
    qint64 from = 0, to = 0;   // '<' to just after '>'
    bool end = false;
    bool selfClosed = false;
};

enum class Where { Text, RawText, StartTag, EndTag, Other };
struct Stop {
    Where where = Where::Text;
    QByteArrayView name;    // of the tag being typed (StartTag)
    bool inQuote = false;   // inside a quoted attribute value
    char lastNonBlank = 0;  // the tag's last character that is not a blank, after its name
};

// Reads the text from the start, telling 'onTag' of every complete tag (it returns false to stop
// the reading), and says where the end of the text stands.
template <typename OnTag>
Stop scan(QByteArrayView s, Dialect d, OnTag&& onTag) {
    const qint64 n = s.size();
    qint64 i = 0;
    QByteArrayView raw;
    while (i < n) {
        if (!raw.isEmpty()) {
            const qint64 at = findEndTag(s, i, raw);
            if (at < 0) return {Where::RawText, raw};
            i = at;
            raw = {};
        }
        const void* lt = std::memchr(s.data() + i, '<', static_cast<size_t>(n - i));
        if (!lt) return {};
        i = static_cast<const char*>(lt) - s.data();
        if (i + 1 >= n) return {};   // a '<' just typed
        const char c = s[i + 1];
        if (c == '!' || c == '?' || c == '%') {
            QByteArrayView until = ">";
            if (c == '?') until = "?>";
            else if (c == '%') until = "%>";
            else if (s.sliced(i).startsWith("<!--")) until = "-->";
            else if (s.sliced(i).startsWith("<![CDATA[")) until = "]]>";
            const qint64 at = find(s, i + 2, until);
            if (at < 0) return {Where::Other, {}};
            i = at + until.size();
            continue;
        }
        const bool end = c == '/';
        const qint64 nameFrom = i + (end ? 2 : 1);
        if (nameFrom >= n) return {end ? Where::EndTag : Where::Text, {}};
        if (!isNameStart(s[nameFrom], d)) {
            ++i;   // a '<' in the text
            continue;
        }
        qint64 j = nameFrom;
        while (j < n && isNameChar(s[j])) ++j;
        const QByteArrayView name = s.sliced(nameFrom, j - nameFrom);
        char quote = 0, last = 0;
        bool afterEquals = false;
        for (; j < n; ++j) {
            const char ch = s[j];
            if (quote) {
                if (ch == quote) {
                    quote = 0;
                    last = ch;
                }
                continue;
            }
            if (ch == '>') break;
            if ((ch == '"' || ch == '\'') && afterEquals) quote = ch;
            if (!isBlank(ch)) {
                afterEquals = ch == '=';
                last = ch;
            }
        }
        if (j >= n) return {end ? Where::EndTag : Where::StartTag, name, quote != 0, last};
        const Tag tag{name, i, j + 1, end, !end && last == '/'};
        if (!onTag(tag)) return {};
        if (d == Dialect::Html && !end && !tag.selfClosed && isRawText(name)) raw = name;
        i = j + 1;
    }
    return {};
}

bool opensElement(const Tag& t, Dialect d) {
    return !t.end && !t.selfClosed && !(d == Dialect::Html && isVoidElement(t.name));
}

// In HTML a start tag closes a sibling of its kind left open: <li> an <li>, <td> a <th>...
bool closesOpen(QByteArrayView name, QByteArrayView open) {
    if (sameName(name, open, Dialect::Html)) {
        constexpr QByteArrayView kSelfClosing[] = {"li", "p", "option", "tr", "dt", "dd", "td", "th"};
        return isOneOf(name, kSelfClosing);
    }
    constexpr QByteArrayView kDefinitions[] = {"dt", "dd"}, kCells[] = {"td", "th"};
    return (isOneOf(name, kDefinitions) && isOneOf(open, kDefinitions)) || (isOneOf(name, kCells) && isOneOf(open, kCells));
}

// An end tag is matched against this many open elements at most, the innermost first: hand-written
// pages nest far less deeply, and a hostile page of unmatched tags costs a bounded time per tag.
constexpr qsizetype kDeepestMatch = 256;
qsizetype lowestMatch(size_t open) { return std::max<qsizetype>(0, qsizetype(open) - kDeepestMatch); }

struct Open {
    QByteArrayView name;
    qint64 from = 0, contentFrom = 0;
};

// Keeps the elements open so far; 'closed' hears of each element closed by its own end tag.
template <typename OnClosed>
struct Nesting {
    Dialect d;
    OnClosed onClosed;
    std::vector<Open> open;

    void take(const Tag& t) {
        if (!t.end) {
            if (!opensElement(t, d)) return;
            if (d == Dialect::Html && !open.empty() && closesOpen(t.name, open.back().name)) open.pop_back();
            open.push_back({t.name, t.from, t.to});
            return;
        }
        for (qsizetype k = qsizetype(open.size()) - 1; k >= lowestMatch(open.size()); --k) {
            if (!sameName(open[k].name, t.name, d)) continue;
            onClosed(open[k], t);
            open.resize(size_t(k));
            return;
        }
    }
};
template <typename OnClosed>
Nesting<OnClosed> nesting(Dialect d, OnClosed onClosed) {
    return {d, std::move(onClosed), {}};
}

// Whether the element named 'name', opened just before 'after', is closed in it before an end tag
// that closes an element opened earlier.
bool closedLater(QByteArrayView after, QByteArrayView name, Dialect d) {
    bool closed = false;
    std::vector<QByteArrayView> open;
    scan(after, d, [&](const Tag& t) {
        if (!t.end) {
            if (opensElement(t, d)) open.push_back(t.name);
            return true;
        }
        for (qsizetype k = qsizetype(open.size()) - 1; k >= lowestMatch(open.size()); --k) {
            if (sameName(open[k], t.name, d)) {
                open.resize(size_t(k));
                return true;
            }
        }
        closed = sameName(t.name, name, d);
        return false;
    });
    return closed;
}

} // namespace

bool isVoidElement(QByteArrayView name) { return isOneOf(name, kVoid); }

QByteArray closingTagAfterGt(QByteArrayView before, QByteArrayView after, Dialect dialect) {
    const Stop stop = scan(before, dialect, [](const Tag&) { return true; });
    if (stop.where != Where::StartTag || stop.inQuote || stop.lastNonBlank == '/') return {};
    if (dialect == Dialect::Html && isVoidElement(stop.name)) return {};
    if (closedLater(after, stop.name, dialect)) return {};
    return "</" + stop.name.toByteArray() + '>';
}

namespace {
// The innermost element open before the '<' that ends 'before', when that '<' is in text.
QByteArrayView openBeforeLt(QByteArrayView before, Dialect dialect) {
    if (!before.endsWith('<')) return {};
    auto n = nesting(dialect, [](const Open&, const Tag&) {});
    const Stop stop = scan(before.chopped(1), dialect, [&](const Tag& t) {
        n.take(t);
        return true;
    });
    if ((stop.where != Where::Text && stop.where != Where::RawText) || n.open.empty()) return {};
    return n.open.back().name;
}
} // namespace

SlashTyped slashTyped(QByteArrayView before, QByteArrayView after, Dialect dialect) {
    if (!after.isEmpty() && (isNameChar(after[0]) || after[0] == '>')) return {};
    const QByteArrayView name = openBeforeLt(before, dialect);
    if (name.isEmpty()) return {};
    // Its end tag may already follow (put there as its start tag was typed).
    if (after.size() >= name.size() + 3 && after.startsWith("</") && after[name.size() + 2] == '>' &&
        sameName(after.sliced(2, name.size()), name, dialect))
        return {{}, name.size() + 3};
    if (closedLater(after, name, dialect)) return {};
    return {name.toByteArray() + '>', 0};
}

bool inText(QByteArrayView before, Dialect dialect) {
    return scan(before, dialect, [](const Tag&) { return true; }).where == Where::Text;
}

At placeAt(QByteArrayView before, Dialect dialect) {
    const Stop stop = scan(before, dialect, [](const Tag&) { return true; });
    switch (stop.where) {
    case Where::Text: return {};
    case Where::RawText: return {Place::RawText, stop.name};
    case Where::Other: return {Place::Other, {}};
    case Where::StartTag:
    case Where::EndTag: {
        const bool start = stop.where == Where::StartTag;
        // The name is a view into 'before', right after "<" or "</"; an end tag may have none yet.
        const qint64 from = stop.name.isEmpty() ? before.lastIndexOf('<') : stop.name.data() - before.data() - (start ? 1 : 2);
        return {start ? Place::StartTag : Place::EndTag, stop.name, from};
    }
    }
    return {};
}

bool betweenTags(QByteArrayView before, QByteArrayView after, Dialect dialect) {
    if (!before.endsWith('>') || !after.startsWith("</")) return false;
    const qint64 lt = before.lastIndexOf('<');
    if (lt < 0 || lt + 1 >= before.size() || !isNameStart(before[lt + 1], dialect)) return false;
    qint64 end = lt + 1;
    while (end < before.size() && isNameChar(before[end])) ++end;
    const QByteArrayView name = before.sliced(lt + 1, end - lt - 1);
    return after.size() >= name.size() + 3 && after[name.size() + 2] == '>' &&
           sameName(after.sliced(2, name.size()), name, dialect);
}

Range enclosingElement(QByteArrayView text, qint64 from, qint64 to, Dialect dialect) {
    Range best;
    const auto consider = [&](qint64 a, qint64 b) {
        if (a > from || b < to || (a == from && b == to)) return;
        if (!best.valid() || b - a < best.to - best.from) best = {a, b};
    };
    auto n = nesting(dialect, [&](const Open& o, const Tag& close) {
        consider(o.contentFrom, close.from);
        consider(o.from, close.to);
    });
    scan(text, dialect, [&](const Tag& t) {
        if (t.from >= to && n.open.empty()) return false;   // nothing later can hold the range
        if (!t.end && !opensElement(t, dialect)) consider(t.from, t.to);
        n.take(t);
        return true;
    });
    return best;
}

char partnerOf(char opening) {
    switch (opening) {
    case '(': return ')';
    case '[': return ']';
    case '{': return '}';
    case '"': return '"';
    case '\'': return '\'';
    default: return 0;
    }
}

Pairing pairingFor(char typed, char before, char after, bool afterWasPaired) {
    const auto word = [](char c) {
        return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
    };
    const bool quote = typed == '"' || typed == '\'';
    if ((quote || typed == ')' || typed == ']' || typed == '}') && after == typed && afterWasPaired)
        return Pairing::TypeOver;
    if (!partnerOf(typed)) return Pairing::Type;
    // Before a word the pair would wrap nothing; after a word a quote is an apostrophe or ends a
    // string.
    if (word(after) || (quote && (word(before) || before == typed))) return Pairing::Type;
    return Pairing::Pair;
}

} // namespace markup
