#pragma once
// UTF-8, the edit control's text encoding: decoding one character and the fast paths over plain
// ASCII that the code page, the search and the edit control share.
#include <QtGlobal>

#include <cstdint>
#include <cstring>

namespace utf8 {

// True for a byte that continues a character (10xxxxxx).
inline bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

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

} // namespace utf8
