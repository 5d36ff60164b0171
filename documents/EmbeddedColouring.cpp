#include "documents/EmbeddedColouring.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace embedded {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || (unsigned char)c >= 0x80; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c) || c == '-'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Whether 'word' (lower case) starts at 'at', in any case.
bool startsWithNoCase(QByteArrayView text, qint64 at, const char* word) {
    const qint64 n = qint64(std::strlen(word));
    if (at + n > text.size()) return false;
    for (qint64 i = 0; i < n; ++i)
        if (lower(text[at + i]) != word[i]) return false;
    return true;
}

struct Out {
    qint64 base, from, to;
    std::vector<Span>& spans;
    void add(qint64 a, qint64 b, Kind kind) {
        if (b <= a || base + b <= from || base + a >= to) return;
        spans.push_back({base + a, base + b, kind});
    }
};

// The end of a quoted string that starts at 'at' (its quote), past the closing quote or at the end.
qint64 stringEnd(QByteArrayView s, qint64 at) {
    const char q = s[at];
    qint64 i = at + 1;
    while (i < s.size() && s[i] != q && s[i] != '\n') i += s[i] == '\\' ? 2 : 1;
    return std::min(i + 1, qint64(s.size()));
}

qint64 commentEnd(QByteArrayView s, qint64 at) {   // at: the '/' of "/*"
    for (qint64 i = at + 2; i + 1 < s.size(); ++i)
        if (s[i] == '*' && s[i + 1] == '/') return i + 2;
    return s.size();
}

// A number with its unit or a colour (#fff), from 'at'.
qint64 numberEnd(QByteArrayView s, qint64 at) {
    qint64 i = at + 1;
    while (i < s.size() && (isDigit(s[i]) || s[i] == '.' || isNameChar(s[i]) || s[i] == '%')) ++i;
    return i;
}

constexpr std::array kJsKeywords = {
    "async", "await", "break", "case", "catch", "class", "const", "continue", "debugger", "default", "delete", "do",
    "else", "export", "extends", "false", "finally", "for", "function", "if", "import", "in", "instanceof", "let",
    "new", "null", "of", "return", "static", "super", "switch", "this", "throw", "true", "try", "typeof",
    "undefined", "var", "void", "while", "with", "yield"};

bool isJsKeyword(QByteArrayView word) {
    for (const char* k : kJsKeywords)
        if (word == QByteArrayView(k)) return true;
    return false;
}

} // namespace

void cssSpans(QByteArrayView s, qint64 base, bool declarations, qint64 from, qint64 to, std::vector<Span>& spans) {
    Out out{base, from, to, spans};
    enum class State { Selector, Property, Value };
    // Blocks open: whether each holds rules (an at-rule's block: @media) or declarations.
    constexpr int kDepth = 32;
    std::array<bool, kDepth> holdsRules{};
    int depth = 0;
    State state = declarations ? State::Property : State::Selector;
    bool atRuleBlock = false;   // the '{' ahead opens an at-rule's block of rules
    const qint64 n = s.size();
    for (qint64 i = 0; i < n && base + i < to;) {
        const char c = s[i];
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const qint64 e = commentEnd(s, i);
            out.add(i, e, Kind::Comment);
            i = e;
        } else if (c == '"' || c == '\'') {
            const qint64 e = stringEnd(s, i);
            out.add(i, e, Kind::String);
            i = e;
        } else if (c == '{') {
            const bool rules = atRuleBlock && state == State::Selector;
            if (depth < kDepth) holdsRules[size_t(depth)] = rules;
            ++depth;
            state = rules ? State::Selector : State::Property;
            atRuleBlock = false;
            ++i;
        } else if (c == '}') {
            if (depth > 0) --depth;
            state = depth > 0 && depth <= kDepth && !holdsRules[size_t(depth - 1)] ? State::Property
                    : declarations && depth == 0                                 ? State::Property
                                                                                 : State::Selector;
            ++i;
        } else if (state == State::Selector) {
            if (c == '@') {
                qint64 e = i + 1;
                while (e < n && isNameChar(s[e])) ++e;
                out.add(i, e, Kind::AtRule);
                const QByteArrayView name = s.sliced(i + 1, e - i - 1);
                atRuleBlock = name == "media" || name == "supports" || name == "layer" || name == "container" ||
                              name == "document" || name == "scope" || name == "starting-style";
                i = e;
            } else if (isSpace(c) || c == ',' || c == ';') {
                ++i;
            } else {
                qint64 e = i + 1;
                while (e < n && !isSpace(s[e]) && s[e] != '{' && s[e] != ',' && s[e] != '/' && s[e] != '"' &&
                       s[e] != '\'' && s[e] != '}')
                    ++e;
                out.add(i, e, atRuleBlock ? Kind::Value : Kind::Selector);
                i = e;
            }
        } else if (state == State::Property) {
            if (isNameChar(c)) {
                qint64 e = i + 1;
                while (e < n && isNameChar(s[e])) ++e;
                out.add(i, e, Kind::Property);
                i = e;
            } else if (c == ':') {
                state = State::Value;
                ++i;
            } else {
                ++i;
            }
        } else {   // a value
            if (c == ';') {
                state = State::Property;
                ++i;
            } else if (isDigit(c) || c == '#' || (c == '.' && i + 1 < n && isDigit(s[i + 1])) ||
                       (c == '-' && i + 1 < n && (isDigit(s[i + 1]) || s[i + 1] == '.'))) {
                const qint64 e = numberEnd(s, i);
                out.add(i, e, Kind::Number);
                i = e;
            } else if (c == '!') {
                qint64 e = i + 1;
                while (e < n && isSpace(s[e])) ++e;
                while (e < n && isNameChar(s[e])) ++e;
                out.add(i, e, Kind::Keyword);
                i = e;
            } else if (isNameChar(c)) {
                qint64 e = i + 1;
                while (e < n && isNameChar(s[e])) ++e;
                out.add(i, e, Kind::Value);
                i = e;
            } else {
                ++i;
            }
        }
    }
}

void jsSpans(QByteArrayView s, qint64 base, qint64 from, qint64 to, std::vector<Span>& spans) {
    Out out{base, from, to, spans};
    const qint64 n = s.size();
    for (qint64 i = 0; i < n && base + i < to;) {
        const char c = s[i];
        if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const qint64 e = commentEnd(s, i);
            out.add(i, e, Kind::Comment);
            i = e;
        } else if (c == '/' && i + 1 < n && s[i + 1] == '/') {
            qint64 e = i;
            while (e < n && s[e] != '\n' && s[e] != '\r') ++e;
            out.add(i, e, Kind::Comment);
            i = e;
        } else if (c == '"' || c == '\'' || c == '`') {
            const qint64 e = stringEnd(s, i);
            out.add(i, e, Kind::String);
            i = e;
        } else if (isDigit(c)) {
            const qint64 e = numberEnd(s, i);
            out.add(i, e, Kind::Number);
            i = e;
        } else if (isNameStart(c)) {
            qint64 e = i + 1;
            while (e < n && (isNameStart(s[e]) || isDigit(s[e]))) ++e;
            if (isJsKeyword(s.sliced(i, e - i))) out.add(i, e, Kind::Keyword);
            i = e;
        } else {
            ++i;
        }
    }
}

std::vector<Span> pageSpans(QByteArrayView text, qint64 textStart, qint64 from, qint64 to) {
    std::vector<Span> spans;
    const qint64 n = text.size();
    const qint64 f = std::clamp(from - textStart, qint64(0), n);
    const qint64 t = std::clamp(to - textStart, qint64(0), n);
    // <style> elements that reach into what is shown.
    for (qint64 at = 0; at < t;) {
        const void* lt = std::memchr(text.data() + at, '<', size_t(t - at));
        if (!lt) break;
        at = static_cast<const char*>(lt) - text.data();
        if (!startsWithNoCase(text, at + 1, "style") || at + 6 >= n || !(isSpace(text[at + 6]) || text[at + 6] == '>')) {
            ++at;
            continue;
        }
        const void* gt = std::memchr(text.data() + at, '>', size_t(n - at));
        if (!gt) break;
        const qint64 start = static_cast<const char*>(gt) - text.data() + 1;
        qint64 end = start;
        while (end < n) {
            const void* next = std::memchr(text.data() + end, '<', size_t(n - end));
            if (!next) {
                end = n;
                break;
            }
            end = static_cast<const char*>(next) - text.data();
            if (startsWithNoCase(text, end + 1, "/style")) break;
            ++end;
        }
        if (end > f) cssSpans(text.sliced(start, end - start), textStart + start, false, from, to, spans);
        at = end;
    }
    // style="..." and on...="..." in the tags shown: from the tag that holds the first byte shown.
    qint64 at = f;
    while (at > 0 && text[at - 1] != '<' && f - at < 64 * 1024) --at;
    if (at > 0) --at;
    while (at < t) {
        const void* lt = std::memchr(text.data() + at, '<', size_t(t - at));
        if (!lt) break;
        qint64 i = static_cast<const char*>(lt) - text.data() + 1;
        if (i >= n || !isNameStart(text[i])) {
            at = i;
            continue;
        }
        while (i < n && isNameChar(text[i])) ++i;   // the element's name
        // Its attributes, to its '>'.
        while (i < n && text[i] != '>' && text[i] != '<') {
            if (!isNameChar(text[i])) {
                ++i;
                continue;
            }
            const qint64 nameStart = i;
            while (i < n && (isNameChar(text[i]) || text[i] == ':')) ++i;
            const QByteArrayView name = text.sliced(nameStart, i - nameStart);
            qint64 j = i;
            while (j < n && isSpace(text[j])) ++j;
            if (j >= n || text[j] != '=') continue;
            ++j;
            while (j < n && isSpace(text[j])) ++j;
            if (j >= n || (text[j] != '"' && text[j] != '\'')) {
                i = j;
                continue;
            }
            const char quote = text[j];
            const void* close = std::memchr(text.data() + j + 1, quote, size_t(n - j - 1));
            const qint64 valueEnd = close ? static_cast<const char*>(close) - text.data() : n;
            const QByteArrayView value = text.sliced(j + 1, valueEnd - j - 1);
            const bool isStyle = name.size() == 5 && startsWithNoCase(name, 0, "style");
            const bool isEvent = name.size() > 2 && lower(name[0]) == 'o' && lower(name[1]) == 'n';
            if (isStyle) cssSpans(value, textStart + j + 1, true, from, to, spans);
            else if (isEvent) jsSpans(value, textStart + j + 1, from, to, spans);
            i = std::min(valueEnd + 1, n);
        }
        at = i;
    }
    return spans;
}

} // namespace embedded
