#include "search/TextSearch.h"

#include "platform/Utf8.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace textsearch {
namespace {

using uchar = unsigned char;

// The mapping of every code point, built once: the whole Basic Multilingual Plane as a table,
// plus, for finding the characters that map to a given one, every pair (mapped, original) where
// the two differ, sorted by the mapped one.
struct CaseTables {
    char16_t bmp[0x10000];
    std::vector<std::pair<char32_t, char32_t>> preimages;

    static char32_t simpleUpper(char32_t cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) return cp;
        const char32_t u = QChar::toUpper(cp);
        // A character never changes the number of UTF-16 code units it takes.
        if ((u >= 0x10000) != (cp >= 0x10000) || (u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF) return cp;
        return u;
    }

    CaseTables() {
        for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            const char32_t u = simpleUpper(cp);
            if (cp < 0x10000) bmp[cp] = char16_t(u);
            if (u != cp) preimages.emplace_back(u, cp);
        }
        std::sort(preimages.begin(), preimages.end());
    }
};

const CaseTables& tables() {
    static const CaseTables t;
    return t;
}

inline char32_t upperOf(const CaseTables& t, char32_t cp) {
    return cp < 0x10000 ? char32_t(t.bmp[cp]) : CaseTables::simpleUpper(cp);
}

inline uchar leadByteOf(char32_t cp) {
    if (cp < 0x80) return uchar(cp);
    if (cp < 0x800) return uchar(0xC0 | (cp >> 6));
    if (cp < 0x10000) return uchar(0xE0 | (cp >> 12));
    return uchar(0xF0 | (cp >> 18));
}

// Calls f(position) for every byte of [from, to) that is one of the N bytes in 'set', in
// increasing order, until f returns true; returns that position or -1.
template <int N, class F>
qint64 scanForward(const uchar* text, qint64 from, qint64 to, const uchar* set, const bool* isSet, F&& f) {
    qint64 i = from;
#if defined(__SSE2__)
    __m128i v[N];
    for (int k = 0; k < N; ++k) v[k] = _mm_set1_epi8(char(set[k]));
    while (i + 32 <= to) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 16));
        __m128i ma = _mm_cmpeq_epi8(a, v[0]), mb = _mm_cmpeq_epi8(b, v[0]);
        for (int k = 1; k < N; ++k) {
            ma = _mm_or_si128(ma, _mm_cmpeq_epi8(a, v[k]));
            mb = _mm_or_si128(mb, _mm_cmpeq_epi8(b, v[k]));
        }
        quint32 mask = quint32(_mm_movemask_epi8(ma)) | (quint32(_mm_movemask_epi8(mb)) << 16);
        while (mask) {
            const qint64 pos = i + __builtin_ctz(mask);
            if (f(pos)) return pos;
            mask &= mask - 1;
        }
        i += 32;
    }
#else
    (void)set;
#endif
    for (; i < to; ++i)
        if (isSet[text[i]] && f(i)) return i;
    return -1;
}

// The same from the end: positions of [from, to) in decreasing order.
template <int N, class F>
qint64 scanBackward(const uchar* text, qint64 from, qint64 to, const uchar* set, const bool* isSet, F&& f) {
    qint64 i = to;
#if defined(__SSE2__)
    __m128i v[N];
    for (int k = 0; k < N; ++k) v[k] = _mm_set1_epi8(char(set[k]));
    while (i - 32 >= from) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i - 32));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i - 16));
        __m128i ma = _mm_cmpeq_epi8(a, v[0]), mb = _mm_cmpeq_epi8(b, v[0]);
        for (int k = 1; k < N; ++k) {
            ma = _mm_or_si128(ma, _mm_cmpeq_epi8(a, v[k]));
            mb = _mm_or_si128(mb, _mm_cmpeq_epi8(b, v[k]));
        }
        quint32 mask = quint32(_mm_movemask_epi8(ma)) | (quint32(_mm_movemask_epi8(mb)) << 16);
        while (mask) {
            const int bit = 31 - __builtin_clz(mask);
            const qint64 pos = i - 32 + bit;
            if (f(pos)) return pos;
            mask &= ~(quint32(1) << bit);
        }
        i -= 32;
    }
#else
    (void)set;
#endif
    while (i > from) {
        --i;
        if (isSet[text[i]] && f(i)) return i;
    }
    return -1;
}

// Marks the first bytes of every character that maps to 'u'.
void leadSet(const CaseTables& t, char32_t u, bool* isLead) {
    if (u == 0xFFFFFFFF) return;
    if (upperOf(t, u) == u) isLead[leadByteOf(u)] = true;
    const auto range = std::equal_range(t.preimages.begin(), t.preimages.end(), std::make_pair(u, char32_t(0)),
                                        [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto it = range.first; it != range.second; ++it) isLead[leadByteOf(it->second)] = true;
}

// Calls f(position) for every position p of [from, to) where text[p] is one of the four bytes
// in 'first' and text[p + 1] one of the four in 'second', in increasing order, until f returns
// true; returns that position or -1. Positions the vector part cannot reach are handed to f
// when text[p] is in isFirst.
template <class F>
qint64 scanForwardPairs(const uchar* text, qint64 from, qint64 to, qint64 length, const uchar* first,
                        const uchar* second, const bool* isFirst, F&& f) {
    qint64 i = from;
#if defined(__SSE2__)
    __m128i v0[4], v1[4];
    for (int k = 0; k < 4; ++k) {
        v0[k] = _mm_set1_epi8(char(first[k]));
        v1[k] = _mm_set1_epi8(char(second[k]));
    }
    const auto any = [](__m128i x, const __m128i* v) {
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, v[0]), _mm_cmpeq_epi8(x, v[1])),
                            _mm_or_si128(_mm_cmpeq_epi8(x, v[2]), _mm_cmpeq_epi8(x, v[3])));
    };
    while (i + 33 <= length && i + 32 <= to) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 16));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 1));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 17));
        const __m128i m0 = _mm_and_si128(any(a0, v0), any(b0, v1));
        const __m128i m1 = _mm_and_si128(any(a1, v0), any(b1, v1));
        quint32 mask = quint32(_mm_movemask_epi8(m0)) | (quint32(_mm_movemask_epi8(m1)) << 16);
        while (mask) {
            const qint64 pos = i + __builtin_ctz(mask);
            if (f(pos)) return pos;
            mask &= mask - 1;
        }
        i += 32;
    }
#else
    (void)first;
    (void)second;
    (void)length;
#endif
    for (; i < to; ++i)
        if (isFirst[text[i]] && f(i)) return i;
    return -1;
}

} // namespace

char32_t upper(char32_t cp) {
    if (cp > 0x10FFFF) return cp;
    return upperOf(tables(), cp);
}

Pattern::Pattern(const char* utf8, qint64 length, bool matchCase)
    : bytes_(utf8, length), matchCase_(matchCase) {
    if (matchCase_ || bytes_.isEmpty()) return;
    const CaseTables& t = tables();
    const auto* p = reinterpret_cast<const uchar*>(bytes_.constData());
    for (qint64 i = 0; i < length;) {
        char32_t cp = 0;
        int n = utf8::decode(p + i, length - i, cp);
        if (n == 0) {   // not expected from a QString; such a byte stands for itself
            cp = 0xFFFFFFFF;
            n = 1;
        }
        folded_.push_back(cp == 0xFFFFFFFF ? cp : upperOf(t, cp));
        i += n;
    }
    // Every character that maps to the first one can begin a hit.
    leadSet(t, folded_.front(), isLead_);
    for (int b = 0; b < 256; ++b) {
        if (!isLead_[b]) continue;
        if (leadCount_ < 4) leads_[leadCount_] = uchar(b);
        ++leadCount_;
    }
    if (folded_.size() >= 2 && leadCount_ >= 1 && leadCount_ <= 4 && leads_[leadCount_ - 1] < 0x80) {
        bool isSecond[256] = {};
        leadSet(t, folded_[1], isSecond);
        int n = 0;
        for (int b = 0; b < 256; ++b) {
            if (!isSecond[b]) continue;
            if (n < 4) second_[n] = uchar(b);
            ++n;
        }
        pairScan_ = n >= 1 && n <= 4;
        // Unused places repeat a byte of the set, so a scan can always compare against four.
        for (int k = n; k < 4 && n > 0; ++k) second_[k] = second_[k % n];
    }
}

Match Pattern::matchAt(const char* text, qint64 length, qint64 at) const {
    const CaseTables& t = tables();
    const auto* s = reinterpret_cast<const uchar*>(text);
    qint64 i = at;
    for (char32_t want : folded_) {
        if (i >= length) return {};
        const uchar b = s[i];
        if (b < 0x80) {
            if (char32_t(t.bmp[b]) != want) return {};
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int n = utf8::decode(s + i, length - i, cp);
        if (n == 0 || upperOf(t, cp) != want) return {};
        i += n;
    }
    return {at, i};
}

Match Pattern::findForward(const char* text, qint64 length, qint64 from) const {
    if (bytes_.isEmpty() || from < 0 || from >= length) return {};
    if (matchCase_) {
        const void* hit = memmem(text + from, size_t(length - from), bytes_.constData(), size_t(bytes_.size()));
        if (!hit) return {};
        const qint64 at = static_cast<const char*>(hit) - text;
        return {at, at + bytes_.size()};
    }
    return foldedForward(text, length, from);
}

Match Pattern::findBackward(const char* text, qint64 length, qint64 before) const {
    before = std::min(before, length);
    if (bytes_.isEmpty() || before <= 0) return {};
    return matchCase_ ? exactBackward(text, length, before) : foldedBackward(text, length, before);
}

Match Pattern::foldedForward(const char* text, qint64 length, qint64 from) const {
    const auto* s = reinterpret_cast<const uchar*>(text);
    Match m;
    auto verify = [&](qint64 pos) {
        m = matchAt(text, length, pos);
        return m.found();
    };
    qint64 at = -1;
    if (pairScan_) {
        uchar first[4];
        for (int k = 0; k < 4; ++k) first[k] = leads_[k % leadCount_];
        at = scanForwardPairs(s, from, length, length, first, second_, isLead_, verify);
        return at >= 0 ? m : Match{};
    }
    switch (leadCount_) {
    case 0: return {};
    case 1: {
        // A single possible first byte: the C library's scan is the fastest there is.
        const void* p = s + from;
        while ((p = std::memchr(p, leads_[0], size_t(s + length - static_cast<const uchar*>(p))))) {
            const qint64 pos = static_cast<const uchar*>(p) - s;
            if (verify(pos)) return m;
            p = s + pos + 1;
        }
        return {};
    }
    case 2: at = scanForward<2>(s, from, length, leads_, isLead_, verify); break;
    case 3: at = scanForward<3>(s, from, length, leads_, isLead_, verify); break;
    case 4: at = scanForward<4>(s, from, length, leads_, isLead_, verify); break;
    default:
        for (qint64 i = from; i < length && at < 0; ++i)
            if (isLead_[s[i]] && verify(i)) at = i;
        break;
    }
    return at >= 0 ? m : Match{};
}

Match Pattern::foldedBackward(const char* text, qint64 length, qint64 before) const {
    const auto* s = reinterpret_cast<const uchar*>(text);
    Match m;
    auto verify = [&](qint64 pos) {
        m = matchAt(text, length, pos);
        return m.found();
    };
    qint64 at = -1;
    switch (leadCount_) {
    case 0: return {};
    case 1: {
        qint64 end = before;
        while (end > 0) {
            const void* p = memrchr(s, leads_[0], size_t(end));
            if (!p) return {};
            const qint64 pos = static_cast<const uchar*>(p) - s;
            if (verify(pos)) return m;
            end = pos;
        }
        return {};
    }
    case 2: at = scanBackward<2>(s, 0, before, leads_, isLead_, verify); break;
    case 3: at = scanBackward<3>(s, 0, before, leads_, isLead_, verify); break;
    case 4: at = scanBackward<4>(s, 0, before, leads_, isLead_, verify); break;
    default:
        for (qint64 i = before; i > 0 && at < 0;) {
            --i;
            if (isLead_[s[i]] && verify(i)) at = i;
        }
        break;
    }
    return at >= 0 ? m : Match{};
}

Match Pattern::exactBackward(const char* text, qint64 length, qint64 before) const {
    // The library's forward search over blocks taken from the end backwards, each block growing:
    // the last hit in the nearest block that has one is the answer. Linear in the bytes passed.
    const qint64 m = bytes_.size();
    if (m > length) return {};
    qint64 hi = std::min(before, length - m + 1);   // hits start below hi
    qint64 block = 64 * 1024;
    while (hi > 0) {
        const qint64 lo = std::max<qint64>(0, hi - block);
        const char* base = text + lo;
        const qint64 span = hi - 1 + m - lo;   // every start in [lo, hi) with its whole pattern
        qint64 last = -1;
        for (qint64 q = 0; q + m <= span;) {
            const void* hit = memmem(base + q, size_t(span - q), bytes_.constData(), size_t(m));
            if (!hit) break;
            last = static_cast<const char*>(hit) - base;
            q = last + 1;
        }
        if (last >= 0) return {lo + last, lo + last + m};
        hi = lo;
        block = std::min<qint64>(block * 2, qint64(16) << 20);
    }
    return {};
}

Match find(const char* text, qint64 length, const char* pattern, qint64 patternLength, bool matchCase,
           Direction direction, qint64 from) {
    const Pattern p(pattern, patternLength, matchCase);
    return direction == Direction::Down ? p.findForward(text, length, from) : p.findBackward(text, length, from);
}

qint64 boundaryAtOrAfter(const char* text, qint64 length, qint64 pos) {
    pos = std::clamp<qint64>(pos, 0, length);
    while (pos < length && utf8::isContinuation(static_cast<uchar>(text[pos]))) ++pos;
    return pos;
}

} // namespace textsearch
