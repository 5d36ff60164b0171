// Regular expressions, whole words and Replace All on random texts against naive searches:
// - plain text as a whole word: every position in turn, compared in UTF-16 with the simple
//   upper-case mapping, then the characters on either side;
// - regular expressions (with or without whole word): PCRE2 (its JIT, as ours) tried anchored at
//   every position in turn, the word rule checked by hand and by a callout at the match's end, so that
//   other ways of matching are tried where one fails it;
// - Replace All: the matches of the naive searches under the global rule, the replacement put
//   together by hand.
#include "FuzzCheck.h"

#include "search/Matcher.h"
#include "search/Replacement.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QList>
#include <QString>
#include <cstddef>
#include <cstdio>
#include <cstdint>

namespace {

using search::Match;

struct Input {
    QByteArray text;
    QString pattern;
    bool matchCase = false, wholeWord = false, regex = false, down = true;
    qint64 from = 0;
    int replacement = 0;
    qint64 chunk = 1;
};

const char* const kPieces[] = {"a", "A", "b", "_", " ", "\xc3\xa9", "\xc3\x89", "\r\n", "\n", "1", "-", "\xe2\x82\xac"};
const char* const kRawPieces[] = {"\xff", "\x80", "\xc3"};   // not UTF-8 (regular expressions only)
const char* const kTokens[] = {"a", "b", "A", "\xc3\xa9", ".", "\\w", "\\b", "^", "$", "(", ")", "|", "*", "+", "?",
                               "[ab_]", "\\s", " ", "(?:", "a{0,2}", "\\d", "(?=a)", "(?<=b)", "\\R"};
const char* const kReplacements[] = {"", "-", "<$0>", "$1$1", "x$0y"};

Input decode(const std::uint8_t* data, std::size_t size) {
    Input in;
    if (size < 5) return in;
    in.matchCase = data[0] & 1;
    in.wholeWord = data[0] & 2;
    in.regex = data[0] & 4;
    in.down = data[0] & 8;
    in.replacement = (data[0] >> 4) % int(std::size(kReplacements));
    in.chunk = 1 + data[1] % 8;
    const std::size_t patternLength = 1 + data[2] % 8;
    std::size_t i = 4;
    QByteArray pattern;
    for (std::size_t k = 0; k < patternLength && i < size; ++k, ++i)
        pattern += in.regex ? kTokens[data[i] % std::size(kTokens)] : kPieces[data[i] % std::size(kPieces)];
    in.pattern = QString::fromUtf8(pattern);
    for (; i < size; ++i) {
        const std::uint8_t b = data[i];
        in.text += in.regex && b >= 240 ? kRawPieces[b % std::size(kRawPieces)] : kPieces[b % std::size(kPieces)];
    }
    in.from = data[3] % (in.text.size() + 1);
    return in;
}

bool wordChar(char32_t c) { return c == '_' || QChar::isLetterOrNumber(c); }

// The character that the bytes [from, from + n) make, or 0 when they are not one character.
char32_t oneChar(const QByteArray& t, qint64 from, int n) {
    if (from < 0 || from + n > t.size()) return 0;
    const QByteArray c = t.mid(from, n);
    const QString s = QString::fromUtf8(c);
    return s.toUtf8() == c && s.toUcs4().size() == 1 && !s.contains(QChar::ReplacementCharacter) ? s.toUcs4().constFirst()
                                                                                                   : 0;
}
// The character that ends / starts at a byte offset, or 0.
char32_t before(const QByteArray& t, qint64 at) {
    for (int n = 1; n <= 4; ++n)
        if (const char32_t c = oneChar(t, at - n, n)) return c;
    return 0;
}
char32_t after(const QByteArray& t, qint64 at) {
    for (int n = 1; n <= 4; ++n)
        if (const char32_t c = oneChar(t, at, n)) return c;
    return 0;
}

bool wordEdges(const QByteArray& t, qint64 start, qint64 end) {
    return !wordChar(before(t, start)) && !wordChar(after(t, end));
}

// Plain text: the match starting at byte 'at', compared in UTF-16 with the simple upper case.
Match plainAt(const Input& in, qint64 at) {
    if (at > 0 && at < in.text.size() && (static_cast<unsigned char>(in.text[at]) & 0xC0) == 0x80) return {};
    const auto fold = [&](const QString& s) {
        QString u = s;
        if (!in.matchCase)
            for (QChar& c : u) c = c.toUpper();
        return u;
    };
    const QString rest = QString::fromUtf8(in.text.mid(at));
    if (!fold(rest).startsWith(fold(in.pattern))) return {};
    const qint64 end = at + rest.left(in.pattern.size()).toUtf8().size();
    if (in.wholeWord && !wordEdges(in.text, at, end)) return {};
    return {at, end};
}

struct Reference {
    pcre2_code_8* code = nullptr;
    pcre2_match_data_8* data = nullptr;
    pcre2_match_context_8* context = nullptr;
    const QByteArray* text = nullptr;
    bool wholeWord = false;
    bool crOrLf = false;   // the expression names CR or LF

    explicit Reference(const Input& in) : text(&in.text), wholeWord(in.wholeWord) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        pcre2_compile_context_8* cc = pcre2_compile_context_create_8(nullptr);
        pcre2_set_newline_8(cc, PCRE2_NEWLINE_ANYCRLF);
        const auto compile = [&](const QByteArray& p, uint32_t extra = 0) {
            return pcre2_compile_8(reinterpret_cast<PCRE2_SPTR8>(p.constData()), PCRE2_SIZE(p.size()),
                                   PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP | PCRE2_MULTILINE |
                                       PCRE2_NO_AUTO_POSSESS | PCRE2_NO_START_OPTIMIZE | PCRE2_NO_DOTSTAR_ANCHOR |
                                       (in.matchCase ? 0 : PCRE2_CASELESS) | extra,
                                   &error, &offset, cc);
        };
        // Valid as written, then with the callout at its end.
        if (pcre2_code_8* bare = compile(in.pattern.toUtf8())) {
            uint32_t has = 0;
            pcre2_pattern_info_8(bare, PCRE2_INFO_HASCRORLF, &has);
            crOrLf = has != 0;
            pcre2_code_free_8(bare);
            // Anchored when compiled and run by the JIT, as ours: PCRE2's interpreter and its JIT
            // disagree next to bytes that are not UTF-8 (the interpreter takes the start of each
            // well-formed stretch for a line start).
            code = compile("(?:" + in.pattern.toUtf8() + ")(?C1)", PCRE2_ANCHORED);
            if (code) pcre2_jit_compile_8(code, PCRE2_JIT_COMPLETE);
        }
        pcre2_compile_context_free_8(cc);
        if (!code) return;
        data = pcre2_match_data_create_from_pattern_8(code, nullptr);
        context = pcre2_match_context_create_8(nullptr);
        pcre2_set_callout_8(context, &Reference::callout, this);
    }
    ~Reference() {
        pcre2_match_data_free_8(data);
        pcre2_match_context_free_8(context);
        pcre2_code_free_8(code);
    }
    static int callout(pcre2_callout_block_8* b, void* self) {
        const auto* r = static_cast<Reference*>(self);
        return r->wholeWord && wordChar(after(*r->text, qint64(b->current_position))) ? 1 : 0;
    }
    Match at(qint64 p, uint32_t options = 0) {
        if (wholeWord && wordChar(before(*text, p))) return {};
        const int rc = pcre2_match_8(code, reinterpret_cast<PCRE2_SPTR8>(text->constData()), PCRE2_SIZE(text->size()),
                                     PCRE2_SIZE(p), options, data, context);
        const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(data);
        if (rc < 0 || v[0] != PCRE2_SIZE(p)) return {};
        return {qint64(v[0]), qint64(v[1])};
    }
};

QByteArray show(const Match& m) { return QByteArray::number(m.start) + ".." + QByteArray::number(m.end); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input in = decode(data, size);
    if (in.pattern.isEmpty()) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (qEnvironmentVariableIsSet("FUZZ_SHOW"))
        std::fprintf(stderr, "pattern %s  text %s  case %d word %d regex %d down %d from %lld\n", qPrintable(in.pattern),
                     in.text.toHex(' ').constData(), in.matchCase, in.wholeWord, in.regex, in.down, in.from);
    search::Matcher matcher;
    const bool ok = matcher.prepare({in.pattern, in.matchCase, in.wholeWord, in.regex});
    Reference ref(in);
    if (in.regex) fuzz::check(ok == (ref.code != nullptr), "the expression's validity", input);
    if (!ok) return 0;
    const QByteArray& t = in.text;
    const auto expectedAt = [&](qint64 p) { return in.regex ? ref.at(p) : plainAt(in, p); };
    // Where a match may begin: at the start of a well-formed character, but (for an expression
    // that names neither CR nor LF) not between the two bytes of CR LF; or at the end.
    const auto startsAt = [&](qint64 p) {
        if (p >= t.size()) return true;
        bool character = false;
        for (int n = 1; n <= 4 && !character; ++n) character = oneChar(t, p, n) != 0 || (n == 1 && t[p] == '\0');
        if (!character) return false;
        return !(in.regex && !ref.crOrLf && p > 0 && t[p] == '\n' && t[p - 1] == '\r');
    };

    // Find, in the direction asked.
    Match expected;
    if (in.down) {
        for (qint64 p = in.from; p <= t.size() && !expected; ++p)
            if (startsAt(p)) expected = expectedAt(p);
    } else {
        for (qint64 p = in.from - 1; p >= 0 && !expected; --p)
            if (startsAt(p)) expected = expectedAt(p);
    }
    const Match ours = in.down ? matcher.findForward(t.constData(), t.size(), in.from)
                               : matcher.findBackward(t.constData(), t.size(), in.from);
    if (ours != expected) fuzz::fail(in.down ? "find down" : "find up", input, show(ours), show(expected));

    // Replace All over the whole text.
    search::Replacement replacement;
    if (!replacement.prepare(QString::fromLatin1(kReplacements[in.replacement]), matcher)) return 0;
    QByteArray replaced = t;
    qint64 shift = 0;
    for (const search::ReplaceChunk& c :
         search::planReplaceAll(matcher, replacement, t.constData(), t.size(), 0, t.size(), in.chunk).chunks) {
        replaced.replace(c.from + shift, c.to - c.from, c.text);
        shift += c.text.size() - (c.to - c.from);
    }
    // The global rule: after an empty match the next may not be empty at the same place.
    QByteArray want;
    qint64 copied = 0;
    bool afterEmpty = false;
    for (qint64 p = 0; p <= t.size();) {
        Match m;
        for (qint64 q = p; q <= t.size() && !m; ++q) {
            if (!startsAt(q)) continue;
            m = in.regex ? ref.at(q, q == p && afterEmpty ? PCRE2_NOTEMPTY_ATSTART : 0) : expectedAt(q);
        }
        if (!m) break;
        QByteArray with = kReplacements[in.replacement];
        if (in.regex) {
            const PCRE2_SIZE* v = pcre2_get_ovector_pointer_8(ref.data);
            const QByteArray group1 = pcre2_get_ovector_count_8(ref.data) > 1 && v[2] != PCRE2_UNSET
                                          ? t.mid(qint64(v[2]), qint64(v[3] - v[2]))
                                          : QByteArray();
            with.replace("$0", t.mid(m.start, m.end - m.start)).replace("$1", group1);
        }
        want += t.mid(copied, m.start - copied) + with;
        copied = p = m.end;
        afterEmpty = m.start == m.end;
    }
    want += t.mid(copied);
    if (replaced != want) fuzz::fail("replace all", input, replaced, want);
    return 0;
}
