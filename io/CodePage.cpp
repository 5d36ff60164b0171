#include "io/CodePage.h"

#include "platform/Utf8.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codepage {
namespace {

constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct Utf8Of {
    std::uint8_t len;
    char bytes[3];
};

struct Tables {
    std::array<Utf8Of, 256> utf8{};
    std::array<std::int16_t, 0x10000> reverse{};
    Tables() {
        reverse.fill(-1);
        for (int b = 0; b < 256; ++b) {
            const char16_t c = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b);
            reverse[c] = static_cast<std::int16_t>(b);
            Utf8Of& u = utf8[b];
            u.len = std::uint8_t(utf8::encodeBmp(c, u.bytes));
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

} // namespace

char16_t toUnicode(std::uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte);
}

int fromUnicode(char32_t ch) {
    if (ch > 0xFFFF) return -1;
    return tables().reverse[ch];
}

qint64 utf8Length(const char* data, qint64 length) {
    const Tables& t = tables();
    qint64 total = 0;
    qint64 i = 0;
    while (i < length) {
        if (i + 8 <= length && utf8::asciiWord(data + i)) {
            i += 8;
            total += 8;
            continue;
        }
        total += t.utf8[static_cast<unsigned char>(data[i])].len;
        ++i;
    }
    return total;
}

qint64 decodeToUtf8(const char* data, qint64 length, char* out) {
    const Tables& t = tables();
    char* o = out;
    qint64 i = 0;
    // Every byte takes at least one byte of the room: at any point the room left is at least
    // the bytes left, which lets a run of sixteen or a character's three go in whole.
    while (i < length) {
#if defined(__SSE2__)
        if (i + 16 <= length) {
            // Sixteen bytes copied at once; the ASCII ones at their head are kept.
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
            const unsigned high = unsigned(_mm_movemask_epi8(v));
            const int ascii = high ? __builtin_ctz(high) : 16;
            i += ascii;
            o += ascii;
            if (ascii == 16) continue;
        }
#else
        if (i + 8 <= length && utf8::asciiWord(data + i)) {
            std::memcpy(o, data + i, 8);
            o += 8;
            i += 8;
            continue;
        }
#endif
        const Utf8Of& u = t.utf8[static_cast<unsigned char>(data[i++])];
        if (length - i >= 2) {
            std::memcpy(o, u.bytes, 3);
        } else {
            o[0] = u.bytes[0];
            if (u.len > 1) o[1] = u.bytes[1];
            if (u.len > 2) o[2] = u.bytes[2];
        }
        o += u.len;
    }
    return o - out;
}

QByteArray decodeToUtf8(QByteArrayView bytes) {
    QByteArray out;
    out.resize(utf8Length(bytes.data(), bytes.size()));
    decodeToUtf8(bytes.data(), bytes.size(), out.data());
    return out;
}

QString decode(QByteArrayView bytes) {
    QString s(bytes.size(), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(s.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) o[i] = toUnicode(static_cast<unsigned char>(bytes[i]));
    return s;
}

qint64 firstUnencodable(const char* utf8, qint64 length) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    qint64 i = 0;
    while (i < length) {
        if (i + 8 <= length && utf8::asciiWord(utf8 + i)) {
            i += 8;
            continue;
        }
        char32_t cp;
        const int n = utf8::decode(p + i, length - i, cp);
        if (n == 0 || cp > 0xFFFF || t.reverse[cp] < 0) return i;
        i += n;
    }
    return -1;
}

qint64 encodeFromUtf8(const char* utf8, qint64 length, char* out) {
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    char* o = out;
    qint64 i = 0;
    while (i < length) {
        if (i + 8 <= length && utf8::asciiWord(utf8 + i)) {
            std::memcpy(o, utf8 + i, 8);
            o += 8;
            i += 8;
            continue;
        }
        char32_t cp;
        const int n = utf8::decode(p + i, length - i, cp);
        if (n == 0) {
            *o++ = static_cast<char>(p[i++]);
            continue;
        }
        if (cp > 0xFFFF || t.reverse[cp] < 0) break;   // never reached after a check
        *o++ = static_cast<char>(t.reverse[cp]);
        i += n;
    }
    return o - out;
}

bool encode(const QString& text, QByteArray& out) {
    const Tables& t = tables();
    QByteArray result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = t.reverse[text.at(i).unicode()];
        if (b < 0 || text.at(i).isSurrogate()) return false;
        result[i] = static_cast<char>(b);
    }
    out = result;
    return true;
}

char32_t charAt(const char* utf8, qint64 length, qint64 offset) {
    if (offset < 0 || offset >= length) return 0xFFFD;
    char32_t cp;
    const int n = utf8::decode(reinterpret_cast<const unsigned char*>(utf8) + offset, length - offset, cp);
    return n ? cp : 0xFFFD;
}

} // namespace codepage
