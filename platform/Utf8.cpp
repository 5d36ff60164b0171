#include "platform/Utf8.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace utf8 {
namespace {

// The first byte at or after i that is not ASCII, or n.
inline qint64 skipAscii(const unsigned char* p, qint64 i, qint64 n) {
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const int mask = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)));
        if (mask) return i + __builtin_ctz(static_cast<unsigned>(mask));
    }
#else
    for (; i + 8 <= n; i += 8)
        if (!asciiWord(reinterpret_cast<const char*>(p + i))) break;
#endif
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

} // namespace

qint64 utf16Units(const char* text, qint64 n) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    // Every byte counts one, but a continuation byte (10xxxxxx) none and the first byte of a
    // four-byte character (11110xxx) two.
    qint64 continuations = 0, fourByteLeads = 0;
    qint64 i = 0;
#if defined(__SSE2__)
    const __m128i contBits = _mm_set1_epi8(char(0xC0)), contValue = _mm_set1_epi8(char(0x80));
    const __m128i lead4 = _mm_set1_epi8(char(0xF0)), zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        // Byte-wide counters, summed before any of them can pass 255.
        __m128i cont = zero, four = zero;
        const qint64 rounds = std::min<qint64>((n - i) / 16, 255);
        for (qint64 r = 0; r < rounds; ++r, i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            cont = _mm_sub_epi8(cont, _mm_cmpeq_epi8(_mm_and_si128(x, contBits), contValue));
            four = _mm_sub_epi8(four, _mm_cmpeq_epi8(_mm_max_epu8(x, lead4), x));
        }
        const __m128i c = _mm_sad_epu8(cont, zero), f = _mm_sad_epu8(four, zero);
        continuations += _mm_cvtsi128_si64(c) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(c, c));
        fourByteLeads += _mm_cvtsi128_si64(f) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(f, f));
    }
#endif
    for (; i < n; ++i) {
        continuations += isContinuation(p[i]);
        fourByteLeads += p[i] >= 0xF0;
    }
    return n - continuations + fourByteLeads;
}

qint64 utf16UnitsStepping(const char* text, qint64 avail, qint64 n, qint64& end) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    qint64 units = 0, i = 0;
    while (i < n) {
        const qint64 ascii = skipAscii(p, i, n);
        units += ascii - i;
        i = ascii;
        if (i >= n) break;
        int u;
        i += step(p + i, avail - i, u);
        units += u;
    }
    end = i;
    return units;
}

bool Checker::feed(const char* text, qint64 n) {
    if (bad_) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    qint64 i = 0;
    if (carried_ > 0) {
        // Finish the character the last piece ended in.
        unsigned char buf[4];
        std::memcpy(buf, carry_, carried_);
        const int take = static_cast<int>(std::min<qint64>(4 - carried_, n));
        std::memcpy(buf + carried_, p, take);
        const int len = sequenceLength(buf, carried_ + take);
        if (len == 0) {
            bad_ = true;
            return false;
        }
        if (len < 0) {   // still not whole: the piece was short
            std::memcpy(carry_ + carried_, p, take);
            carried_ += take;
            return true;
        }
        i = len - carried_;
        carried_ = 0;
        multibyte_ = true;
    }
    while (i < n) {
        i = skipAscii(p, i, n);
        if (i >= n) break;
        const int len = sequenceLength(p + i, n - i);
        if (len == 0) {
            bad_ = true;
            return false;
        }
        if (len < 0) {
            carried_ = static_cast<int>(n - i);
            std::memcpy(carry_, p + i, carried_);
            return true;
        }
        multibyte_ = true;
        i += len;
    }
    return true;
}

} // namespace utf8
