#include "search/Matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QCoreApplication>
#include <QChar>

#include <algorithm>
#include <vector>

namespace search {
namespace {

using uchar = unsigned char;

// Work allowed for one search before it gives up: generous for any sane expression on a large
// document, small enough to stop catastrophic backtracking within a second or so.
constexpr uint32_t kMatchLimit = 50'000'000;
constexpr size_t kJitStackMax = size_t(8) << 20;

// The character that starts at 'at' (well-formed UTF-8 only), its length in 'n'; 0 if none.
char32_t charAt(const uchar* s, qint64 length, qint64 at, int& n) {
    n = 0;
    if (at < 0 || at >= length) return 0;
    const uchar b0 = s[at];
    if (b0 < 0x80) {
        n = 1;
        return b0;
    }
    int need = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 ? 2 : 0;
    if (need == 0 || b0 > 0xF4 || at + need > length) return 0;
    char32_t cp = b0 & (0x7F >> need);
    for (int k = 1; k < need; ++k) {
        if ((s[at + k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (s[at + k] & 0x3F);
    }
    static const char32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[need] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    n = need;
    return cp;
}

bool wordBefore(const uchar* s, qint64 length, qint64 at) {
    // Back over up to three continuation bytes to the character that ends at 'at'.
    for (qint64 lead = at - 1; lead >= 0 && lead >= at - 4; --lead) {
        if ((s[lead] & 0xC0) == 0x80) continue;
        int n = 0;
        const char32_t cp = charAt(s, length, lead, n);
        return n > 0 && lead + n == at && isWordChar(cp);
    }
    return false;
}

bool wordAfter(const uchar* s, qint64 length, qint64 at) {
    int n = 0;
    const char32_t cp = charAt(s, length, at, n);
    return n > 0 && isWordChar(cp);
}

bool wholeWordAt(const char* text, qint64 length, const Match& m) {
    const auto* s = reinterpret_cast<const uchar*>(text);
    return !wordBefore(s, length, m.start) && !wordAfter(s, length, m.end);
}

QString pcreMessage(int code) {
    PCRE2_UCHAR8 buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    return n > 0 ? QString::fromUtf8(reinterpret_cast<const char*>(buffer), n) : QCoreApplication::translate("Matcher", "error %1").arg(code);
}

// Items that must stay at the very start of an expression: (*UTF), (*CRLF), (*LIMIT_MATCH=n) ...
qsizetype leadingVerbsLength(const QByteArray& p) {
    qsizetype at = 0;
    while (p.mid(at, 2) == "(*") {
        qsizetype i = at + 2;
        while (i < p.size() && ((p[i] >= 'A' && p[i] <= 'Z') || (p[i] >= '0' && p[i] <= '9') || p[i] == '_' ||
                                p[i] == '='))
            ++i;
        if (i >= p.size() || p[i] != ')' || i == at + 2) break;
        at = i + 1;
    }
    return at;
}

// Whether an expression holds '^' outside a character class and not escaped.
bool hasLineStartAssertion(const QByteArray& p) {
    bool inClass = false;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const char ch = p[i];
        if (ch == '\\') {
            if (p.mid(i + 1, 1) == "Q") {   // quoted up to \E
                const qsizetype end = p.indexOf("\\E", i + 2);
                if (end < 0) return false;
                i = end + 1;
            } else {
                ++i;
            }
        } else if (inClass) {
            inClass = ch != ']';
        } else if (ch == '[') {
            inClass = true;
            if (p.mid(i + 1, 1) == "^") ++i;
            if (p.mid(i + 1, 1) == "]") ++i;   // a ']' first in a class stands for itself
        } else if (ch == '^') {
            return true;
        }
    }
    return false;
}

} // namespace

bool isWordChar(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') || cp == '_';
    return QChar::isLetterOrNumber(cp);
}

QString QueryError::text(const QString& pattern) const {
    QString t = QCoreApplication::translate("Matcher", "Invalid regular expression \"%1\": %2").arg(pattern, message);
    if (position >= 0) t += QCoreApplication::translate("Matcher", " at position %1").arg(position + 1);
    return t + QLatin1Char('.');
}

struct Matcher::Compiled {
    Query query;
    textsearch::Pattern plain;
    qint64 plainBytes = 0;
    pcre2_code_8* code = nullptr;       // finds matches anywhere
    pcre2_code_8* anchored = nullptr;   // the same, only at the start offset
    bool jit = false;
    bool crOrLf = false;   // the expression names CR or LF itself
    int captures = 0;

    // Where a search may begin: not inside a CR LF pair unless the expression itself names CR or
    // LF (as PCRE2 does when it moves on from one start to the next).
    qint64 startAt(const char* text, qint64 length, qint64 at) const {
        at = textsearch::boundaryAtOrAfter(text, length, at);
        if (!crOrLf && at > 0 && at < length && text[at] == '\n' && text[at - 1] == '\r') ++at;
        return at;
    }
    // Whether a match may begin at a byte: at the start of a well-formed character or at the end,
    // and as above not inside CR LF. (PCRE2's JIT lets an empty match begin on a byte that is not
    // UTF-8, which its interpreter does not; its search for line starts stops inside CR LF.)
    bool mayBegin(const char* text, qint64 length, qint64 at) const {
        int n = 0;
        charAt(reinterpret_cast<const uchar*>(text), length, at, n);
        if (at < length && n == 0) return false;
        return crOrLf || !(at > 0 && at < length && text[at] == '\n' && text[at - 1] == '\r');
    }
    std::vector<std::pair<QString, int>> names;

    ~Compiled() {
        pcre2_code_free_8(code);
        pcre2_code_free_8(anchored);
    }
};

struct Matcher::Scratch {
    pcre2_match_data_8* data = nullptr;
    pcre2_match_context_8* context = nullptr;
    pcre2_jit_stack_8* stack = nullptr;
    Match whole;   // the last match (plain text)
    bool gaveUp = false;

    explicit Scratch(const Compiled* c) {
        if (!c || !c->code) return;
        data = pcre2_match_data_create_from_pattern_8(c->code, nullptr);
        context = pcre2_match_context_create_8(nullptr);
        pcre2_set_match_limit_8(context, kMatchLimit);
        if (c->jit) {
            stack = pcre2_jit_stack_create_8(32 * 1024, kJitStackMax, nullptr);
            pcre2_jit_stack_assign_8(context, nullptr, stack);
        }
    }
    ~Scratch() {
        pcre2_match_data_free_8(data);
        pcre2_match_context_free_8(context);
        pcre2_jit_stack_free_8(stack);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
};

Matcher::Matcher() : scratch_(std::make_unique<Scratch>(nullptr)) {}
Matcher::~Matcher() = default;
Matcher::Matcher(const Matcher& other)
    : compiled_(other.compiled_), scratch_(std::make_unique<Scratch>(compiled_.get())) {}
Matcher& Matcher::operator=(const Matcher& other) {
    if (this != &other) {
        compiled_ = other.compiled_;
        scratch_ = std::make_unique<Scratch>(compiled_.get());
    }
    return *this;
}
Matcher::Matcher(Matcher&&) noexcept = default;
Matcher& Matcher::operator=(Matcher&&) noexcept = default;

bool Matcher::ready() const { return compiled_ != nullptr; }

const Query& Matcher::query() const {
    static const Query none;
    return compiled_ ? compiled_->query : none;
}

bool Matcher::gaveUp() const { return scratch_ && scratch_->gaveUp; }

bool Matcher::prepare(const Query& query, QueryError* error) {
    compiled_.reset();
    scratch_ = std::make_unique<Scratch>(nullptr);
    auto c = std::make_shared<Compiled>();
    c->query = query;
    const QByteArray utf8 = query.text.toUtf8();
    if (!query.regex) {
        if (utf8.isEmpty()) {
            if (error) *error = {QCoreApplication::translate("Matcher", "there is nothing to find"), -1};
            return false;
        }
        c->plain = textsearch::Pattern(utf8, query.matchCase);
        c->plainBytes = utf8.size();
        compiled_ = std::move(c);
        return true;
    }

    pcre2_compile_context_8* cc = pcre2_compile_context_create_8(nullptr);
    pcre2_set_newline_8(cc, PCRE2_NEWLINE_ANYCRLF);
    // No ".*" shortcut: it takes a match that starts after bytes that are not UTF-8 for one that
    // would start at the line's beginning, and misses it (it costs nothing measurable).
    const uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP | PCRE2_MULTILINE |
                             PCRE2_NEVER_BACKSLASH_C | PCRE2_USE_OFFSET_LIMIT | PCRE2_NO_DOTSTAR_ANCHOR |
                             (query.matchCase ? 0u : PCRE2_CASELESS);
    const auto compile = [&](const QByteArray& pattern, uint32_t extra, int* code, PCRE2_SIZE* offset) {
        return pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(pattern.constData()), PCRE2_SIZE(pattern.size()),
                               options | extra, code, offset, cc);
    };
    int code = 0;
    PCRE2_SIZE offset = 0;
    // The expression as typed, for its own errors and positions.
    c->code = compile(utf8, 0, &code, &offset);
    QByteArray effective = utf8;
    if (c->code && query.wholeWord) {
        // Wrapped in the word conditions. "\E" ends a "\Q" left open; "(?#\n(?:)" ends a '#'
        // comment left open in extended mode and is itself a comment otherwise.
        static const QByteArray before = "(?<![\\p{L}\\p{N}_])(?:";
        const qsizetype verbs = leadingVerbsLength(utf8);
        effective = utf8.left(verbs) + before + utf8.mid(verbs) + "\\E(?#\n(?:))(?![\\p{L}\\p{N}_])";
        pcre2_code_free_8(c->code);
        c->code = compile(effective, 0, &code, &offset);
        const PCRE2_SIZE shift = PCRE2_SIZE(verbs + before.size());
        offset = std::min<PCRE2_SIZE>(utf8.size(), offset > shift ? offset - shift : PCRE2_SIZE(verbs));
    }
    const bool lookAround = utf8.contains("(?=") || utf8.contains("(?!") || utf8.contains("(*");
    if (c->code && (hasLineStartAssertion(utf8) || lookAround)) {
        // PCRE2 10.42 takes a first character found through a look-ahead before '^' for one that
        // must follow a line start, and its quick search then misses matches ("(?=a)^a" finds
        // no "a" at the start of a line but the first); a first character found through a
        // look-ahead misleads it after the search's start too ("(?=a)\w*a" from the second
        // character finds no later "a"): such expressions go without that search.
        uint32_t first = 0;
        pcre2_pattern_info_8(c->code, PCRE2_INFO_FIRSTCODETYPE, &first);
        if (first == 1) {
            pcre2_code_free_8(c->code);
            c->code = compile(effective, PCRE2_NO_START_OPTIMIZE, &code, &offset);
        }
    }
    if (c->code) c->anchored = compile(effective, PCRE2_ANCHORED, &code, &offset);
    pcre2_compile_context_free_8(cc);
    if (!c->code || !c->anchored) {
        if (error) *error = {pcreMessage(code), QString::fromUtf8(utf8.left(qsizetype(offset))).size()};
        return false;
    }
    // JIT code where the platform has it and the expression does not forbid it ("(*NO_JIT)").
    const auto jitted = [](pcre2_code_8* code) {
        size_t size = 0;
        return pcre2_jit_compile_8(code, PCRE2_JIT_COMPLETE) == 0 &&
               pcre2_pattern_info_8(code, PCRE2_INFO_JITSIZE, &size) == 0 && size > 0;
    };
    c->jit = jitted(c->code) && jitted(c->anchored);
    uint32_t captures = 0, crOrLf = 0;
    pcre2_pattern_info_8(c->code, PCRE2_INFO_CAPTURECOUNT, &captures);
    pcre2_pattern_info_8(c->code, PCRE2_INFO_HASCRORLF, &crOrLf);
    c->crOrLf = crOrLf != 0;
    c->captures = int(captures);
    uint32_t nameCount = 0, entrySize = 0;
    PCRE2_SPTR8 table = nullptr;
    pcre2_pattern_info_8(c->code, PCRE2_INFO_NAMECOUNT, &nameCount);
    pcre2_pattern_info_8(c->code, PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
    pcre2_pattern_info_8(c->code, PCRE2_INFO_NAMETABLE, &table);
    for (uint32_t i = 0; i < nameCount; ++i) {
        const PCRE2_SPTR8 entry = table + size_t(i) * entrySize;
        c->names.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(entry + 2)), (entry[0] << 8) | entry[1]);
    }
    compiled_ = std::move(c);
    scratch_ = std::make_unique<Scratch>(compiled_.get());
    return true;
}

namespace {

// One PCRE2 run from 'start' on the whole text; -1 for no match, -2 when it gave up.
int runPcre(const pcre2_code_8* code, bool jit, pcre2_match_data_8* data, pcre2_match_context_8* context,
            const char* text, qint64 length, qint64 start, uint32_t options, bool anchored = false) {
    const auto subject = reinterpret_cast<PCRE2_SPTR8>(text);
    const int rc = jit ? pcre2_jit_match_8(code, subject, PCRE2_SIZE(length), PCRE2_SIZE(start), options, data, context)
                       : pcre2_match_8(code, subject, PCRE2_SIZE(length), PCRE2_SIZE(start), options, data, context);
    if (rc >= 0) {
        // PCRE2 10.42's interpreter (not its JIT) goes on to the next stretch of well-formed text
        // after bytes that are not UTF-8, even when the match is anchored.
        return anchored && pcre2_get_ovector_pointer_8(data)[0] != PCRE2_SIZE(start) ? -1 : 0;
    }
    return rc == PCRE2_ERROR_NOMATCH ? -1 : -2;
}

} // namespace

Match Matcher::findForward(const char* text, qint64 length, qint64 from, qint64 startBefore) const {
    Scratch& s = *scratch_;
    s.gaveUp = false;
    if (!compiled_ || from < 0 || from > length) return {};
    startBefore = std::min(startBefore, length + 1);
    if (from >= startBefore) return {};
    const Compiled& c = *compiled_;
    if (!c.code) {
        // A hit that starts before 'startBefore' ends within three times the pattern's bytes of
        // it (see matchAt()): the search looks no further.
        const qint64 cut = std::min(length, startBefore - 1 + c.plainBytes * 3);
        for (qint64 at = from;;) {
            const Match m = c.plain.findForward(text, cut, at);
            if (!m || m.start >= startBefore) return s.whole = {};
            if (!c.query.wholeWord || wholeWordAt(text, length, m)) return s.whole = m;
            at = m.start + 1;
        }
    }
    // PCRE2's offset limit: no match starts past it, but a match may reach as far as it likes.
    const bool bounded = startBefore <= length;
    if (bounded) pcre2_set_offset_limit_8(s.context, PCRE2_SIZE(startBefore - 1));
    Match found;
    for (from = c.startAt(text, length, from); from < startBefore;) {
        const int rc = runPcre(c.code, c.jit, s.data, s.context, text, length, from, 0);
        s.gaveUp = rc == -2;
        if (rc < 0) break;
        const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(s.data);
        if (c.mayBegin(text, length, qint64(v[0]))) {
            found = {qint64(v[0]), qint64(std::max(v[0], v[1]))};
            break;
        }
        from = c.startAt(text, length, qint64(v[0]) + 1);
    }
    if (bounded) pcre2_set_offset_limit_8(s.context, PCRE2_UNSET);
    return found;
}

Match Matcher::matchAt(const char* text, qint64 length, qint64 at) const {
    Scratch& s = *scratch_;
    s.gaveUp = false;
    if (!compiled_ || at < 0 || at > length) return {};
    const Compiled& c = *compiled_;
    if (!c.code) {
        // A character matched without case takes at most three times the bytes of its pattern
        // character, so the hit lies in the text cut there.
        const Match m = c.plain.findForward(text, std::min(length, at + c.plainBytes * 3), at);
        if (m.start != at || (c.query.wholeWord && !wholeWordAt(text, length, m))) return s.whole = {};
        return s.whole = m;
    }
    const int rc = runPcre(c.anchored, c.jit, s.data, s.context, text, length, at, 0, true);
    s.gaveUp = rc == -2;
    if (rc < 0 || !c.mayBegin(text, length, at)) return {};
    const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(s.data);
    return {qint64(v[0]), qint64(std::max(v[0], v[1]))};
}

Match Matcher::findNextOf(const char* text, qint64 length, Match previous, qint64 startBefore) const {
    if (!compiled_ || !previous) return {};
    if (previous.end > previous.start) return findForward(text, length, previous.end, startBefore);
    if (previous.end >= startBefore) return {};
    // After an empty match: a match at the same place that is not empty, else the search goes
    // on from the next character.
    Scratch& s = *scratch_;
    const Compiled& c = *compiled_;
    if (c.code) {
        const int rc = runPcre(c.anchored, c.jit, s.data, s.context, text, length, previous.end,
                               PCRE2_NOTEMPTY_ATSTART, true);
        s.gaveUp = rc == -2;
        if (rc == -2) return {};
        if (rc == 0 && c.mayBegin(text, length, previous.end)) {
            const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(s.data);
            return {qint64(v[0]), qint64(std::max(v[0], v[1]))};
        }
    }
    if (previous.end >= length) return {};
    return findForward(text, length, previous.end + 1, startBefore);
}

Match Matcher::findBackward(const char* text, qint64 length, qint64 before) const {
    Scratch& s = *scratch_;
    s.gaveUp = false;
    before = std::min(before, length);
    if (!compiled_ || before <= 0) return {};
    const Compiled& c = *compiled_;
    if (!c.code) {
        for (qint64 at = before; at > 0;) {
            const Match m = c.plain.findBackward(text, length, at);
            if (!m || !c.query.wholeWord || wholeWordAt(text, length, m)) return s.whole = m;
            at = m.start;
        }
        return s.whole = {};
    }
    // Forward searches over blocks taken from the end backwards, each block growing: every start
    // of a match in the block is visited in turn and the last one wins. Matches may not start
    // past the block (the offset limit), but may reach as far as they like.
    qint64 hi = before;   // matches start below hi
    qint64 block = 64 * 1024;
    Match last;
    while (hi > 0 && !last) {
        const qint64 lo = std::max<qint64>(0, hi - block);
        pcre2_set_offset_limit_8(s.context, PCRE2_SIZE(hi - 1));
        for (qint64 at = c.startAt(text, length, lo); at < hi;) {
            const int rc = runPcre(c.code, c.jit, s.data, s.context, text, length, at, 0);
            if (rc == -2) {
                s.gaveUp = true;
                pcre2_set_offset_limit_8(s.context, PCRE2_UNSET);
                return {};
            }
            if (rc < 0) break;
            const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(s.data);
            if (qint64(v[0]) >= hi) break;
            if (c.mayBegin(text, length, qint64(v[0]))) last = {qint64(v[0]), qint64(std::max(v[0], v[1]))};
            at = c.startAt(text, length, std::max(at, qint64(v[0])) + 1);
        }
        hi = lo;
        block = std::min<qint64>(block * 2, qint64(16) << 20);
    }
    pcre2_set_offset_limit_8(s.context, PCRE2_UNSET);
    if (last) runPcre(c.anchored, c.jit, s.data, s.context, text, length, last.start, 0, true);   // its groups
    return last;
}

int Matcher::groupCount() const { return compiled_ ? compiled_->captures : 0; }

Match Matcher::group(int n) const {
    if (!compiled_ || n < 0 || n > compiled_->captures) return {};
    if (!compiled_->code) return n == 0 ? scratch_->whole : Match{};
    const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(scratch_->data);
    if (v[2 * n] == PCRE2_UNSET) return {};
    return {qint64(v[2 * n]), qint64(std::max(v[2 * n], v[2 * n + 1]))};
}

int Matcher::groupNumber(const QString& name) const {
    if (!compiled_) return -1;
    for (const auto& [n, number] : compiled_->names)
        if (n == name) return number;
    return -1;
}

} // namespace search
