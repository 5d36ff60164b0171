#pragma once
// Searching a UTF-8 buffer in place for plain text or a regular expression, optionally as a whole
// word. Positions are byte offsets into the buffer throughout; nothing is copied.
//
// Plain text is found by textsearch::Pattern (the rules of Find: byte comparison with case, the
// simple upper-case mapping without). Regular expressions are PCRE2's (Perl syntax) compiled for
// UTF-8 with Unicode properties, JIT-compiled, and matched directly on the buffer; bytes that are
// not well-formed UTF-8 are never part of a match and never stop the search. '^' and '$' match at
// every line start and end (CR LF, LF or CR); '.' matches anything but a line end.
//
// Whole word: a match must be neither preceded nor followed by a word character (a letter, a
// digit or '_', as Unicode classes them). For a regular expression the condition is part of the
// expression, so other alternatives are tried where the first one fails it.
#include "search/TextSearch.h"

#include <QString>

#include <limits>
#include <memory>

namespace search {

using textsearch::Match;

struct Query {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
};

// Why a query cannot be searched for: PCRE2's message and the character offset (0-based, in the
// UTF-16 units of the query's text) where the expression went wrong.
struct QueryError {
    QString message;
    qint64 position = -1;
    // "Invalid regular expression "(ab": missing closing parenthesis at position 3."
    QString text(const QString& pattern) const;
};

// Whether the character is a word character for the whole-word rule.
bool isWordChar(char32_t cp);

class Matcher {
public:
    Matcher();
    ~Matcher();
    // A copy shares the compiled expression and has its own scratch space: one copy per thread.
    Matcher(const Matcher& other);
    Matcher& operator=(const Matcher& other);
    Matcher(Matcher&&) noexcept;
    Matcher& operator=(Matcher&&) noexcept;

    // Prepares the query; false (and the error) when the expression is not valid. An empty text
    // is valid for a regular expression only.
    bool prepare(const Query& query, QueryError* error = nullptr);
    bool ready() const;
    const Query& query() const;

    // No bound on where a match starts.
    static constexpr qint64 kAnywhere = std::numeric_limits<qint64>::max();

    // The first match that starts at or after byte 'from' and before 'startBefore'. The rest of
    // the text before 'from' still counts for look-behind and the whole-word rule, and the text
    // from 'startBefore' on for the match itself, look-ahead and the whole-word rule: a long
    // text searched a stretch at a time gives the matches it gives when searched at once.
    Match findForward(const char* text, qint64 length, qint64 from, qint64 startBefore = kAnywhere) const;
    // The match whose start is nearest before byte 'before' (the match itself may reach beyond).
    Match findBackward(const char* text, qint64 length, qint64 before) const;
    // The match that starts exactly at 'at', if any.
    Match matchAt(const char* text, qint64 length, qint64 at) const;
    // The next match of a replace-all run that continues after 'previous' (a run starts with
    // findForward): after an empty match the next one may not be empty at the same place. Only
    // matches that start before 'startBefore', as findForward().
    Match findNextOf(const char* text, qint64 length, Match previous, qint64 startBefore = kAnywhere) const;

    // Capture groups of the last match found (regular expressions): the byte range of group n,
    // {-1, -1} when it took no part. Group 0 is the whole match.
    int groupCount() const;
    Match group(int n) const;
    // The number of a named group, or -1.
    int groupNumber(const QString& name) const;

    // The last search gave up: the expression needed more work than allowed on this text
    // (catastrophic backtracking). The search returned no match.
    bool gaveUp() const;

private:
    struct Compiled;
    struct Scratch;
    std::shared_ptr<const Compiled> compiled_;
    std::unique_ptr<Scratch> scratch_;
};

} // namespace search
