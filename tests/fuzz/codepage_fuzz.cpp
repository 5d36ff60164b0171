// The Windows-1252 code page: any bytes decode and encode back to themselves (through UTF-8 and
// through QString), and on arbitrary bytes taken as UTF-8 the encoder's checks agree with a naive
// decoder written from the UTF-8 definition and the code page's table.
#include "io/CodePage.h"
#include "FuzzCheck.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>

namespace {

// Windows-1252's bytes 0x80 to 0x9F; the five it leaves unassigned stand for themselves.
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t charOf(unsigned b) { return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char32_t(b); }

// The byte for a character, from the table read backwards once, or -1.
int byteOf(char32_t c) {
    static const std::map<char32_t, int> bytes = [] {
        std::map<char32_t, int> m;
        for (unsigned b = 0; b < 256; ++b) m[charOf(b)] = int(b);
        return m;
    }();
    const auto it = bytes.find(c);
    return it == bytes.end() ? -1 : it->second;
}

// One UTF-8 character by the book (shortest form only, no surrogates, at most U+10FFFF);
// 0 when the bytes at p are not a whole, well-formed character.
int naiveDecode(const unsigned char* p, qint64 left, char32_t& cp) {
    int len;
    if (p[0] < 0x80) { cp = p[0]; return 1; }
    if ((p[0] & 0xE0) == 0xC0) { len = 2; cp = p[0] & 0x1F; }
    else if ((p[0] & 0xF0) == 0xE0) { len = 3; cp = p[0] & 0x0F; }
    else if ((p[0] & 0xF8) == 0xF0) { len = 4; cp = p[0] & 0x07; }
    else return 0;
    if (left < len) return 0;
    for (int k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

QByteArray num(qint64 v) { return QByteArray::number(v); }

void roundTrip(const QByteArray& bytes) {
    const QByteArray utf8 = codepage::decodeToUtf8(bytes);
    if (utf8.size() != codepage::utf8Length(bytes.constData(), bytes.size()))
        fuzz::fail("utf8Length", bytes, num(codepage::utf8Length(bytes.constData(), bytes.size())), num(utf8.size()));
    // Decoding agrees with the table, character by character.
    QString expected;
    for (unsigned char b : bytes) {
        const char32_t c = charOf(b);
        expected += QString::fromUcs4(&c, 1);
    }
    if (QString::fromUtf8(utf8) != expected) fuzz::fail("decodeToUtf8", bytes, utf8, expected.toUtf8());
    if (codepage::decode(bytes) != expected) fuzz::fail("decode", bytes, codepage::decode(bytes).toUtf8(), expected.toUtf8());

    const qint64 bad = codepage::firstUnencodable(utf8.constData(), utf8.size());
    if (bad != -1) fuzz::fail("decoded text is encodable", bytes, num(bad), "-1");
    QByteArray back(utf8.size(), '\0');
    back.resize(codepage::encodeFromUtf8(utf8.constData(), utf8.size(), back.data()));
    if (back != bytes) fuzz::fail("round trip through UTF-8", bytes, back, bytes);
    QByteArray viaString;
    if (!codepage::encode(expected, viaString) || viaString != bytes)
        fuzz::fail("round trip through QString", bytes, viaString, bytes);
}

void arbitraryUtf8(const QByteArray& in) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.constData());
    const qint64 n = in.size();
    // The naive verdict: the offset of the first character that is malformed or has no byte.
    qint64 expectedBad = -1;
    QByteArray expectedOut;
    for (qint64 i = 0; i < n;) {
        char32_t cp = 0;
        const int len = naiveDecode(p + i, n - i, cp);
        const int b = len ? byteOf(cp) : -1;
        if (b < 0) {
            expectedBad = i;
            break;
        }
        expectedOut.append(char(b));
        i += len;
    }
    const qint64 bad = codepage::firstUnencodable(in.constData(), n);
    if (bad != expectedBad) fuzz::fail("firstUnencodable", in, num(bad), num(expectedBad));

    // The encoder on the part that passed gives the naive bytes.
    const qint64 good = bad < 0 ? n : bad;
    QByteArray out(good, '\0');
    out.resize(codepage::encodeFromUtf8(in.constData(), good, out.data()));
    if (out != expectedOut) fuzz::fail("encodeFromUtf8", in, out, expectedOut);
    // On the whole input it must stop short without writing past its room.
    QByteArray whole(n, '\0');
    const qint64 written = codepage::encodeFromUtf8(in.constData(), n, whole.data());
    fuzz::check(written >= 0 && written <= n, "encodeFromUtf8 stays within its room", in);

    // The character named in a message.
    if (bad >= 0) {
        char32_t cp = 0;
        const int len = naiveDecode(p + bad, n - bad, cp);
        const char32_t expectedChar = len ? cp : 0xFFFD;
        if (codepage::charAt(in.constData(), n, bad) != expectedChar)
            fuzz::fail("charAt", in, num(codepage::charAt(in.constData(), n, bad)), num(expectedChar));
    }
    fuzz::check(codepage::charAt(in.constData(), n, n) == 0xFFFD && codepage::charAt(in.constData(), n, -1) == 0xFFFD,
                "charAt outside the text", in);

    // A QString holding lone surrogates or characters beyond the code page is refused whole.
    const QString s = QString::fromUtf8(in);
    QByteArray enc("untouched");
    const bool ok = codepage::encode(s, enc);
    if (ok) {
        if (codepage::decode(enc) != s) fuzz::fail("encode agrees with decode", in, enc, s.toUtf8());
    } else if (enc != "untouched") {
        fuzz::fail("a refused encode leaves its output alone", in, enc, "untouched");
    }
    for (QChar c : s) {
        const int b = codepage::fromUnicode(c.unicode());
        if (b != byteOf(c.unicode())) fuzz::fail("fromUnicode", in, num(b), num(byteOf(c.unicode())));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    roundTrip(input);
    arbitraryUtf8(input);
    return 0;
}
