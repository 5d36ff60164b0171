#pragma once
// The text that replaces a match, and Replace All over a UTF-8 buffer.
//
// With plain text the replacement is taken literally. With a regular expression it may refer to
// the match: $0 or $& the whole match, $1 ... $99 or \1 ... \9 a group, ${name} or ${12} a group
// by name or number, $$ a dollar sign; \n, \r and \t a line feed, a carriage return and a tab,
// \\ a backslash. Any other character, a backslash or dollar sign before it included, stands for
// itself. A group that took no part in the match gives nothing.
#include "search/Matcher.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace search {

class Replacement {
public:
    Replacement() = default;
    // Parses the replacement for the prepared matcher; false (and a message) when it refers to a
    // group that the expression does not have.
    bool prepare(const QString& text, const Matcher& matcher, QString* error = nullptr);

    // Appends the replacement of the matcher's last match in 'text' to 'out'.
    void appendTo(QByteArray& out, const char* text, const Matcher& matcher) const;
    // The same as a new array.
    QByteArray of(const char* text, const Matcher& matcher) const;

private:
    struct Piece {
        QByteArray literal;   // used when group < 0
        int group = -1;
    };
    std::vector<Piece> pieces_;
};

// One stretch of the original text and what replaces it. Stretches come in order, do not
// overlap, and each holds whole matches and the text between them.
struct ReplaceChunk {
    qint64 from = 0;
    qint64 to = 0;
    QByteArray text;
};

// Replace All: every match that lies wholly in [from, to) of the text, left to right, the way a
// global substitution does (after an empty match the next may not be empty at the same place),
// found on the original text and turned into stretches of new text of about 'chunkBytes' each.
// The caller puts the stretches in, in order, shifting each by the growth of those before it,
// and frees each once it is in (the text they were found in changes with the first).
struct ReplacePlan {
    std::vector<ReplaceChunk> chunks;
    qint64 count = 0;          // matches replaced
    qint64 growth = 0;         // bytes the text grows by (negative: shrinks)
    bool gaveUp = false;       // the expression needed more work than allowed: nothing to put in
};

ReplacePlan planReplaceAll(const Matcher& matcher, const Replacement& replacement, const char* text, qint64 length,
                           qint64 from, qint64 to, qint64 chunkBytes = qint64(1) << 20);

} // namespace search
