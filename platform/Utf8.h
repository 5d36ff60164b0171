#pragma once
// UTF-8, the edit control's text encoding: decoding one character, the fast paths over plain
// ASCII that the code page, the search and the edit control share, checking bytes for UTF-8 piece
// by piece, and counting UTF-16 code units (the positions of the control's Text()).
#include <QtGlobal>

#include <cstdint>
#include <cstring>

namespace utf8 {

// The longest character, in bytes.
constexpr int kMaxLength = 4;

// True for a byte that continues a character (10xxxxxx).
inline bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Writes the UTF-8 of a character of the Basic Multilingual Plane (a lone surrogate as its three
// bytes) to 'out'; returns how many bytes, 1 to 3.
inline int encodeBmp(char16_t c, char* out) {
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    out[0] = char(0xE0 | (c >> 12));
    out[1] = char(0x80 | ((c >> 6) & 0x3F));
    out[2] = char(0x80 | (c & 0x3F));
    return 3;
}

// True when the eight bytes at p are all ASCII.
inline bool asciiWord(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return (w & 0x8080808080808080ULL) == 0;
}

// True when every byte of [p, p + n) is ASCII.
inline bool isAscii(const char* p, qint64 n) {
    qint64 i = 0;
    for (; i + 8 <= n; i += 8)
        if (!asciiWord(p + i)) return false;
    for (; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) & 0x80) return false;
    return true;
}

// Decodes the well-formed character at p ('avail' bytes left) into cp and returns its length;
// 0 when the bytes there are not well-formed UTF-8 (overlong forms, surrogates and code points
// beyond U+10FFFF included).
inline int decode(const unsigned char* p, qint64 avail, char32_t& cp) {
    const unsigned char b0 = p[0];
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    if (b0 < 0xC2) return 0;
    if (b0 < 0xE0) {
        if (avail < 2 || !isContinuation(p[1])) return 0;
        cp = (char32_t(b0 & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (b0 < 0xF0) {
        if (avail < 3) return 0;
        const unsigned char b1 = p[1], b2 = p[2];
        if (!isContinuation(b1) || !isContinuation(b2)) return 0;
        if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 >= 0xA0)) return 0;   // overlong, surrogate
        cp = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (b2 & 0x3F);
        return 3;
    }
    if (b0 < 0xF5) {
        if (avail < 4) return 0;
        const unsigned char b1 = p[1], b2 = p[2], b3 = p[3];
        if (!isContinuation(b1) || !isContinuation(b2) || !isContinuation(b3)) return 0;
        if ((b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 >= 0x90)) return 0;   // overlong, too big
        cp = (char32_t(b0 & 0x07) << 18) | (char32_t(b1 & 0x3F) << 12) | (char32_t(b2 & 0x3F) << 6) | (b3 & 0x3F);
        return 4;
    }
    return 0;
}

// The length of the well-formed character that the 'avail' bytes at p begin (1 to 4); 0 when they
// can never begin one; -1 when they are the well-formed start of a character cut off by 'avail'.
inline int sequenceLength(const unsigned char* p, qint64 avail) {
    const unsigned char b0 = p[0];
    if (b0 < 0x80) return 1;
    int len;
    unsigned char lo = 0x80, hi = 0xBF;   // the second byte's range
    if (b0 < 0xC2) return 0;
    if (b0 < 0xE0) len = 2;
    else if (b0 < 0xF0) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;          // overlong
        else if (b0 == 0xED) hi = 0x9F;     // surrogates
    } else if (b0 < 0xF5) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;          // overlong
        else if (b0 == 0xF4) hi = 0x8F;     // beyond U+10FFFF
    } else {
        return 0;
    }
    for (int i = 1; i < len; ++i) {
        if (i >= avail) return -1;
        const unsigned char b = p[i];
        if (i == 1 ? (b < lo || b > hi) : !isContinuation(b)) return 0;
    }
    return len;
}

// In well-formed UTF-8: the length of the character that byte b begins, and in 'width' the UTF-16
// code units it takes (a byte that continues a character: length 1, width 0).
inline int leadLength(unsigned char b, int& width) {
    width = 1;
    if (b < 0x80) return 1;
    if (b < 0xC0) {
        width = 0;
        return 1;
    }
    if (b < 0xE0) return 2;
    if (b < 0xF0) return 3;
    width = 2;
    return 4;
}

// One step over bytes that may not all be UTF-8: a well-formed character, or else one byte. Its
// length, and in 'units' the UTF-16 code units it takes (a byte that is not UTF-8 takes one, as the
// edit control counts it).
inline int step(const unsigned char* p, qint64 avail, int& units) {
    const int len = sequenceLength(p, avail);
    if (len <= 0) {
        units = 1;
        return 1;
    }
    units = len == 4 ? 2 : 1;
    return len;
}

// UTF-16 code units of well-formed UTF-8: one per character, two for a character beyond U+FFFF.
// Counted byte by byte (a character counts where its first byte is), so the counts of the parts of
// a range add up to the count of the whole wherever it is split.
qint64 utf16Units(const char* p, qint64 n);

// UTF-16 code units of bytes that may hold some that are not UTF-8, stepping from p (see step());
// 'avail' >= n bytes may be read. Counts the steps that begin before n; 'end' is where the last one
// ends (n, or up to 3 bytes beyond).
qint64 utf16UnitsStepping(const char* p, qint64 avail, qint64 n, qint64& end);

// Checks that bytes are UTF-8, fed piece by piece (a character may be split between pieces).
class Checker {
public:
    // Feeds the next bytes; false once bytes were seen that are not UTF-8 (and from then on).
    bool feed(const char* p, qint64 n);
    // Nothing but UTF-8 so far.
    bool valid() const { return !bad_; }
    // The bytes fed so far end inside a character (its well-formed start).
    bool cutOff() const { return !bad_ && carried_ > 0; }
    // A character of more than one byte was seen.
    bool multibyte() const { return multibyte_; }

private:
    unsigned char carry_[4] = {};
    int carried_ = 0;
    bool bad_ = false;
    bool multibyte_ = false;
};

} // namespace utf8
