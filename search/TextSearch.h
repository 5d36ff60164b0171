#pragma once
// Finding text in a UTF-8 buffer in place: no copy of the text, byte offsets throughout.
//
// Matching with case compares the bytes. Matching without case maps every character of the
// pattern and of the text by the same simple upper-case mapping (one character to one character,
// never changing the number of UTF-16 code units it takes), so a hit covers exactly as many
// UTF-16 code units as the pattern. Bytes that are not well-formed UTF-8 never match.
#include <QByteArray>
#include <QtGlobal>

#include <vector>

namespace textsearch {

// A hit: the byte range [start, end) of the text. start < 0 means none.
struct Match {
    qint64 start = -1;
    qint64 end = -1;
    bool found() const { return start >= 0; }
    explicit operator bool() const { return found(); }
    friend bool operator==(const Match&, const Match&) = default;
};

enum class Direction { Down, Up };

// The simple upper-case mapping used without case: every code point maps to one code point that
// takes the same number of UTF-16 code units.
char32_t upper(char32_t cp);

// A pattern prepared once and used for any number of searches.
class Pattern {
public:
    Pattern() = default;
    // 'utf8' must be well-formed UTF-8 (as any QString gives).
    Pattern(const char* utf8, qint64 length, bool matchCase);
    Pattern(const QByteArray& utf8, bool matchCase) : Pattern(utf8.constData(), utf8.size(), matchCase) {}

    // First hit that starts at or after byte 'from'.
    Match findForward(const char* text, qint64 length, qint64 from) const;
    // Nearest hit that starts before byte 'before' (the hit itself may reach beyond it).
    Match findBackward(const char* text, qint64 length, qint64 before) const;

private:
    // The hit starting at byte 'at', if any (without case).
    Match matchAt(const char* text, qint64 length, qint64 at) const;
    Match foldedForward(const char* text, qint64 length, qint64 from) const;
    Match foldedBackward(const char* text, qint64 length, qint64 before) const;
    Match exactBackward(const char* text, qint64 length, qint64 before) const;

    QByteArray bytes_;
    bool matchCase_ = true;
    std::vector<char32_t> folded_;   // the pattern's characters, mapped
    // The bytes that can begin a character mapping to folded_[0]: listed when there are few.
    unsigned char leads_[4] = {};
    int leadCount_ = 0;
    bool isLead_[256] = {};
    // When every first character is one byte: the bytes that can begin the second one. A scan
    // then looks for both at once.
    unsigned char second_[4] = {};
    bool pairScan_ = false;
};

// One search, for callers that search once: 'from' is the byte to search from (Down: hits
// starting at or after it; Up: hits starting before it).
Match find(const char* text, qint64 length, const char* pattern, qint64 patternLength, bool matchCase,
           Direction direction, qint64 from);

// Byte offset of the character boundary at or after 'pos' (skips UTF-8 continuation bytes).
qint64 boundaryAtOrAfter(const char* text, qint64 length, qint64 pos);

} // namespace textsearch
