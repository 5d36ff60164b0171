#include "io/Charsets.h"

#include "platform/Utf8.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <mutex>

namespace io {
namespace {

enum Group { Unicode, Western, CentralEuropean, Cyrillic, Greek, Turkish, Hebrew, Arabic, Baltic, Vietnamese,
             Japanese, Chinese, Korean, Thai, GroupCount };
constexpr const char* kGroupNames[GroupCount] = {
    QT_TRANSLATE_NOOP("Charsets", "Unicode"),
    QT_TRANSLATE_NOOP("Charsets", "Western"),
    QT_TRANSLATE_NOOP("Charsets", "Central European"),
    QT_TRANSLATE_NOOP("Charsets", "Cyrillic"),
    QT_TRANSLATE_NOOP("Charsets", "Greek"),
    QT_TRANSLATE_NOOP("Charsets", "Turkish"),
    QT_TRANSLATE_NOOP("Charsets", "Hebrew"),
    QT_TRANSLATE_NOOP("Charsets", "Arabic"),
    QT_TRANSLATE_NOOP("Charsets", "Baltic"),
    QT_TRANSLATE_NOOP("Charsets", "Vietnamese"),
    QT_TRANSLATE_NOOP("Charsets", "Japanese"),
    QT_TRANSLATE_NOOP("Charsets", "Chinese"),
    QT_TRANSLATE_NOOP("Charsets", "Korean"),
    QT_TRANSLATE_NOOP("Charsets", "Thai"),};

struct Charset {
    Encoding encoding;
    const char* name;        // shown in menus and the status bar, kept in journals and preferences
    const char* label;       // the Encoding Standard's name, written into declarations
    const char* converter;   // Qt's (ICU's) name for it
    Group group;
    bool singleByte;
};

// In enum order, from Encoding::Iso8859_2 on.
constexpr Charset kCharsets[] = {
    {Encoding::Iso8859_2, "ISO-8859-2", "ISO-8859-2", "ISO-8859-2", CentralEuropean, true},
    {Encoding::Iso8859_3, "ISO-8859-3", "ISO-8859-3", "ISO-8859-3", Western, true},
    {Encoding::Iso8859_4, "ISO-8859-4", "ISO-8859-4", "ISO-8859-4", Baltic, true},
    {Encoding::Iso8859_5, "ISO-8859-5", "ISO-8859-5", "ISO-8859-5", Cyrillic, true},
    {Encoding::Iso8859_6, "ISO-8859-6", "ISO-8859-6", "ISO-8859-6", Arabic, true},
    {Encoding::Iso8859_7, "ISO-8859-7", "ISO-8859-7", "ISO-8859-7", Greek, true},
    {Encoding::Iso8859_8, "ISO-8859-8", "ISO-8859-8", "ISO-8859-8", Hebrew, true},
    {Encoding::Iso8859_8I, "ISO-8859-8-I", "ISO-8859-8-I", "ISO-8859-8", Hebrew, true},
    {Encoding::Iso8859_10, "ISO-8859-10", "ISO-8859-10", "ISO-8859-10", Western, true},
    {Encoding::Iso8859_13, "ISO-8859-13", "ISO-8859-13", "ISO-8859-13", Baltic, true},
    {Encoding::Iso8859_14, "ISO-8859-14", "ISO-8859-14", "ISO-8859-14", Western, true},
    {Encoding::Iso8859_15, "ISO-8859-15", "ISO-8859-15", "ISO-8859-15", Western, true},
    {Encoding::Windows1250, "Windows-1250", "windows-1250", "windows-1250", CentralEuropean, true},
    {Encoding::Windows1251, "Windows-1251", "windows-1251", "windows-1251", Cyrillic, true},
    {Encoding::Windows1253, "Windows-1253", "windows-1253", "windows-1253", Greek, true},
    {Encoding::Windows1254, "Windows-1254", "windows-1254", "windows-1254", Turkish, true},
    {Encoding::Windows1255, "Windows-1255", "windows-1255", "windows-1255", Hebrew, true},
    {Encoding::Windows1256, "Windows-1256", "windows-1256", "windows-1256", Arabic, true},
    {Encoding::Windows1257, "Windows-1257", "windows-1257", "windows-1257", Baltic, true},
    {Encoding::Windows1258, "Windows-1258", "windows-1258", "windows-1258", Vietnamese, true},
    {Encoding::Windows874, "Windows-874", "windows-874", "windows-874", Thai, true},
    {Encoding::Koi8R, "KOI8-R", "KOI8-R", "KOI8-R", Cyrillic, true},
    {Encoding::Koi8U, "KOI8-U", "KOI8-U", "KOI8-U", Cyrillic, true},
    {Encoding::Ibm866, "IBM866", "IBM866", "IBM866", Cyrillic, true},
    {Encoding::Macintosh, "Macintosh", "macintosh", "macintosh", Western, true},
    {Encoding::MacCyrillic, "Mac Cyrillic", "x-mac-cyrillic", "x-mac-cyrillic", Cyrillic, true},
    {Encoding::ShiftJis, "Shift_JIS", "Shift_JIS", "Shift_JIS", Japanese, false},
    {Encoding::EucJp, "EUC-JP", "EUC-JP", "EUC-JP", Japanese, false},
    {Encoding::Iso2022Jp, "ISO-2022-JP", "ISO-2022-JP", "ISO-2022-JP", Japanese, false},
    {Encoding::Gb18030, "GB18030", "gb18030", "GB18030", Chinese, false},
    {Encoding::Gbk, "GBK", "GBK", "GBK", Chinese, false},
    {Encoding::Big5, "Big5", "Big5", "Big5", Chinese, false},
    // The Encoding Standard's EUC-KR is Windows' superset of it (code page 949).
    {Encoding::EucKr, "EUC-KR", "EUC-KR", "windows-949", Korean, false},
};
constexpr int kCharsetCount = int(std::size(kCharsets));
constexpr int kFirst = int(Encoding::Iso8859_2);
static_assert(int(Encoding::EucKr) - kFirst + 1 == kCharsetCount);

const Charset* find(Encoding e) {
    const int i = int(e) - kFirst;
    return i >= 0 && i < kCharsetCount ? &kCharsets[i] : nullptr;
}

// The Encoding Standard's labels of the encodings above, of Windows-1252 and of Unicode.
struct Label {
    const char* label;
    Encoding encoding;
};
constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", Encoding::Utf8}, {"unicode11utf8", Encoding::Utf8}, {"unicode20utf8", Encoding::Utf8},
    {"utf-8", Encoding::Utf8}, {"utf8", Encoding::Utf8}, {"x-unicode20utf8", Encoding::Utf8},
    {"866", Encoding::Ibm866}, {"cp866", Encoding::Ibm866}, {"csibm866", Encoding::Ibm866}, {"ibm866", Encoding::Ibm866},
    {"csisolatin2", Encoding::Iso8859_2}, {"iso-8859-2", Encoding::Iso8859_2}, {"iso-ir-101", Encoding::Iso8859_2},
    {"iso8859-2", Encoding::Iso8859_2}, {"iso88592", Encoding::Iso8859_2}, {"iso_8859-2", Encoding::Iso8859_2},
    {"iso_8859-2:1987", Encoding::Iso8859_2}, {"l2", Encoding::Iso8859_2}, {"latin2", Encoding::Iso8859_2},
    {"csisolatin3", Encoding::Iso8859_3}, {"iso-8859-3", Encoding::Iso8859_3}, {"iso-ir-109", Encoding::Iso8859_3},
    {"iso8859-3", Encoding::Iso8859_3}, {"iso88593", Encoding::Iso8859_3}, {"iso_8859-3", Encoding::Iso8859_3},
    {"iso_8859-3:1988", Encoding::Iso8859_3}, {"l3", Encoding::Iso8859_3}, {"latin3", Encoding::Iso8859_3},
    {"csisolatin4", Encoding::Iso8859_4}, {"iso-8859-4", Encoding::Iso8859_4}, {"iso-ir-110", Encoding::Iso8859_4},
    {"iso8859-4", Encoding::Iso8859_4}, {"iso88594", Encoding::Iso8859_4}, {"iso_8859-4", Encoding::Iso8859_4},
    {"iso_8859-4:1988", Encoding::Iso8859_4}, {"l4", Encoding::Iso8859_4}, {"latin4", Encoding::Iso8859_4},
    {"csisolatincyrillic", Encoding::Iso8859_5}, {"cyrillic", Encoding::Iso8859_5}, {"iso-8859-5", Encoding::Iso8859_5},
    {"iso-ir-144", Encoding::Iso8859_5}, {"iso8859-5", Encoding::Iso8859_5}, {"iso88595", Encoding::Iso8859_5},
    {"iso_8859-5", Encoding::Iso8859_5}, {"iso_8859-5:1988", Encoding::Iso8859_5},
    {"arabic", Encoding::Iso8859_6}, {"asmo-708", Encoding::Iso8859_6}, {"csiso88596e", Encoding::Iso8859_6},
    {"csiso88596i", Encoding::Iso8859_6}, {"csisolatinarabic", Encoding::Iso8859_6}, {"ecma-114", Encoding::Iso8859_6},
    {"iso-8859-6", Encoding::Iso8859_6}, {"iso-8859-6-e", Encoding::Iso8859_6}, {"iso-8859-6-i", Encoding::Iso8859_6},
    {"iso-ir-127", Encoding::Iso8859_6}, {"iso8859-6", Encoding::Iso8859_6}, {"iso88596", Encoding::Iso8859_6},
    {"iso_8859-6", Encoding::Iso8859_6}, {"iso_8859-6:1987", Encoding::Iso8859_6},
    {"csisolatingreek", Encoding::Iso8859_7}, {"ecma-118", Encoding::Iso8859_7}, {"elot_928", Encoding::Iso8859_7},
    {"greek", Encoding::Iso8859_7}, {"greek8", Encoding::Iso8859_7}, {"iso-8859-7", Encoding::Iso8859_7},
    {"iso-ir-126", Encoding::Iso8859_7}, {"iso8859-7", Encoding::Iso8859_7}, {"iso88597", Encoding::Iso8859_7},
    {"iso_8859-7", Encoding::Iso8859_7}, {"iso_8859-7:1987", Encoding::Iso8859_7}, {"sun_eu_greek", Encoding::Iso8859_7},
    {"csiso88598e", Encoding::Iso8859_8}, {"csisolatinhebrew", Encoding::Iso8859_8}, {"hebrew", Encoding::Iso8859_8},
    {"iso-8859-8", Encoding::Iso8859_8}, {"iso-8859-8-e", Encoding::Iso8859_8}, {"iso-ir-138", Encoding::Iso8859_8},
    {"iso8859-8", Encoding::Iso8859_8}, {"iso88598", Encoding::Iso8859_8}, {"iso_8859-8", Encoding::Iso8859_8},
    {"iso_8859-8:1988", Encoding::Iso8859_8}, {"visual", Encoding::Iso8859_8},
    {"csiso88598i", Encoding::Iso8859_8I}, {"iso-8859-8-i", Encoding::Iso8859_8I}, {"logical", Encoding::Iso8859_8I},
    {"csisolatin6", Encoding::Iso8859_10}, {"iso-8859-10", Encoding::Iso8859_10}, {"iso-ir-157", Encoding::Iso8859_10},
    {"iso8859-10", Encoding::Iso8859_10}, {"iso885910", Encoding::Iso8859_10}, {"l6", Encoding::Iso8859_10},
    {"latin6", Encoding::Iso8859_10},
    {"iso-8859-13", Encoding::Iso8859_13}, {"iso8859-13", Encoding::Iso8859_13}, {"iso885913", Encoding::Iso8859_13},
    {"iso-8859-14", Encoding::Iso8859_14}, {"iso8859-14", Encoding::Iso8859_14}, {"iso885914", Encoding::Iso8859_14},
    {"csisolatin9", Encoding::Iso8859_15}, {"iso-8859-15", Encoding::Iso8859_15}, {"iso8859-15", Encoding::Iso8859_15},
    {"iso885915", Encoding::Iso8859_15}, {"iso_8859-15", Encoding::Iso8859_15}, {"l9", Encoding::Iso8859_15},
    {"cskoi8r", Encoding::Koi8R}, {"koi", Encoding::Koi8R}, {"koi8", Encoding::Koi8R}, {"koi8-r", Encoding::Koi8R},
    {"koi8_r", Encoding::Koi8R}, {"koi8-ru", Encoding::Koi8U}, {"koi8-u", Encoding::Koi8U},
    {"csmacintosh", Encoding::Macintosh}, {"mac", Encoding::Macintosh}, {"macintosh", Encoding::Macintosh},
    {"x-mac-roman", Encoding::Macintosh},
    {"dos-874", Encoding::Windows874}, {"iso-8859-11", Encoding::Windows874}, {"iso8859-11", Encoding::Windows874},
    {"iso885911", Encoding::Windows874}, {"tis-620", Encoding::Windows874}, {"windows-874", Encoding::Windows874},
    {"cp1250", Encoding::Windows1250}, {"windows-1250", Encoding::Windows1250}, {"x-cp1250", Encoding::Windows1250},
    {"cp1251", Encoding::Windows1251}, {"windows-1251", Encoding::Windows1251}, {"x-cp1251", Encoding::Windows1251},
    {"ansi_x3.4-1968", Encoding::Windows1252}, {"ascii", Encoding::Windows1252}, {"cp1252", Encoding::Windows1252},
    {"cp819", Encoding::Windows1252}, {"csisolatin1", Encoding::Windows1252}, {"ibm819", Encoding::Windows1252},
    {"iso-8859-1", Encoding::Windows1252}, {"iso-ir-100", Encoding::Windows1252}, {"iso8859-1", Encoding::Windows1252},
    {"iso88591", Encoding::Windows1252}, {"iso_8859-1", Encoding::Windows1252}, {"iso_8859-1:1987", Encoding::Windows1252},
    {"l1", Encoding::Windows1252}, {"latin1", Encoding::Windows1252}, {"us-ascii", Encoding::Windows1252},
    {"windows-1252", Encoding::Windows1252}, {"x-cp1252", Encoding::Windows1252},
    {"cp1253", Encoding::Windows1253}, {"windows-1253", Encoding::Windows1253}, {"x-cp1253", Encoding::Windows1253},
    {"cp1254", Encoding::Windows1254}, {"csisolatin5", Encoding::Windows1254}, {"iso-8859-9", Encoding::Windows1254},
    {"iso-ir-148", Encoding::Windows1254}, {"iso8859-9", Encoding::Windows1254}, {"iso88599", Encoding::Windows1254},
    {"iso_8859-9", Encoding::Windows1254}, {"iso_8859-9:1989", Encoding::Windows1254}, {"l5", Encoding::Windows1254},
    {"latin5", Encoding::Windows1254}, {"windows-1254", Encoding::Windows1254}, {"x-cp1254", Encoding::Windows1254},
    {"cp1255", Encoding::Windows1255}, {"windows-1255", Encoding::Windows1255}, {"x-cp1255", Encoding::Windows1255},
    {"cp1256", Encoding::Windows1256}, {"windows-1256", Encoding::Windows1256}, {"x-cp1256", Encoding::Windows1256},
    {"cp1257", Encoding::Windows1257}, {"windows-1257", Encoding::Windows1257}, {"x-cp1257", Encoding::Windows1257},
    {"cp1258", Encoding::Windows1258}, {"windows-1258", Encoding::Windows1258}, {"x-cp1258", Encoding::Windows1258},
    {"x-mac-cyrillic", Encoding::MacCyrillic}, {"x-mac-ukrainian", Encoding::MacCyrillic},
    {"chinese", Encoding::Gbk}, {"csgb2312", Encoding::Gbk}, {"csiso58gb231280", Encoding::Gbk}, {"gb2312", Encoding::Gbk},
    {"gb_2312", Encoding::Gbk}, {"gb_2312-80", Encoding::Gbk}, {"gbk", Encoding::Gbk}, {"iso-ir-58", Encoding::Gbk},
    {"x-gbk", Encoding::Gbk}, {"gb18030", Encoding::Gb18030},
    {"big5", Encoding::Big5}, {"big5-hkscs", Encoding::Big5}, {"cn-big5", Encoding::Big5}, {"csbig5", Encoding::Big5},
    {"x-x-big5", Encoding::Big5},
    {"cseucpkdfmtjapanese", Encoding::EucJp}, {"euc-jp", Encoding::EucJp}, {"x-euc-jp", Encoding::EucJp},
    {"csiso2022jp", Encoding::Iso2022Jp}, {"iso-2022-jp", Encoding::Iso2022Jp},
    {"csshiftjis", Encoding::ShiftJis}, {"ms932", Encoding::ShiftJis}, {"ms_kanji", Encoding::ShiftJis},
    {"shift-jis", Encoding::ShiftJis}, {"shift_jis", Encoding::ShiftJis}, {"sjis", Encoding::ShiftJis},
    {"windows-31j", Encoding::ShiftJis}, {"x-sjis", Encoding::ShiftJis},
    {"cseuckr", Encoding::EucKr}, {"csksc56011987", Encoding::EucKr}, {"euc-kr", Encoding::EucKr},
    {"iso-ir-149", Encoding::EucKr}, {"korean", Encoding::EucKr}, {"ks_c_5601-1987", Encoding::EucKr},
    {"ks_c_5601-1989", Encoding::EucKr}, {"ksc5601", Encoding::EucKr}, {"ksc_5601", Encoding::EucKr},
    {"windows-949", Encoding::EucKr},
    {"unicodefffe", Encoding::Utf16Be}, {"utf-16be", Encoding::Utf16Be},
    {"csunicode", Encoding::Utf16Le}, {"iso-10646-ucs-2", Encoding::Utf16Le}, {"ucs-2", Encoding::Utf16Le},
    {"unicode", Encoding::Utf16Le}, {"unicodefeff", Encoding::Utf16Le}, {"utf-16", Encoding::Utf16Le},
    {"utf-16le", Encoding::Utf16Le},
};

// ---- What is learnt once per encoding from Qt's converters

struct Utf8Of {
    std::uint8_t len = 0;   // 0: the byte has no character that comes back to it
    char bytes[3] = {};
};

struct Info {
    bool available = false;
    // Single-byte encodings: each byte's character as UTF-8, and each character's byte (-1: none).
    std::array<Utf8Of, 256> utf8{};
    std::vector<std::int16_t> reverse;
    // The others: ASCII bytes the converter reads as another character (IBM's code pages swap the
    // controls 0x1A, 0x1C and 0x7F). Such bytes are kept out of the converter and taken as ASCII,
    // as the Encoding Standard reads them; false 'fast' when other bytes differ.
    std::bitset<128> swapped;
    bool fast = false;
};

void putUtf8(Utf8Of& u, char16_t c) { u.len = std::uint8_t(utf8::encodeBmp(c, u.bytes)); }

// Whether Qt converts it: asked once per encoding (menus list only these, without learning more).
bool converts(const Charset& c) {
    static std::once_flag once[std::size(kCharsets)];
    static bool yes[std::size(kCharsets)];
    const auto i = size_t(&c - kCharsets);
    std::call_once(once[i], [&] { yes[i] = QStringDecoder(c.converter).isValid() && QStringEncoder(c.converter).isValid(); });
    return yes[i];
}

void learn(Info& info, const Charset& c) {
    info.available = converts(c);
    if (!info.available) return;
    // Each byte alone, with converters of its own (a failed conversion leaves its mark on one).
    const auto decodeOne = [&c](char byte, QString& out) {
        QStringDecoder decode(c.converter, QStringConverter::Flag::Stateless);
        out = decode(QByteArrayView(&byte, 1));
        return !decode.hasError();
    };
    const auto encodeOne = [&c](const QString& text, QByteArray& out) {
        QStringEncoder encode(c.converter, QStringConverter::Flag::Stateless);
        out = encode(text);
        return !encode.hasError();
    };
    if (c.singleByte) {
        info.reverse.assign(0x10000, -1);
        for (int b = 0; b < 256; ++b) {
            QString ch;
            QByteArray back;
            // ASCII is ASCII in every one of them (the Encoding Standard's tables; ICU's IBM866
            // swaps three controls).
            if (b < 0x80) ch = QChar(char16_t(b));
            else if (!decodeOne(char(b), ch) || ch.size() != 1 || !encodeOne(ch, back) || back != QByteArray(1, char(b)))
                continue;
            const char16_t u = ch.at(0).unicode();
            if (info.reverse[u] >= 0) continue;
            info.reverse[u] = std::int16_t(b);
            putUtf8(info.utf8[b], u);
        }
        return;
    }
    if (c.encoding == Encoding::Iso2022Jp) return;   // its escapes are ASCII: no ASCII taken as it is
    info.fast = true;
    for (int b = 0; b < 0x80; ++b) {
        QString ch;
        QByteArray back;
        if (decodeOne(char(b), ch) && ch.size() == 1 && ch.at(0).unicode() == b && encodeOne(ch, back) &&
            back == QByteArray(1, char(b)))
            continue;
        info.swapped.set(b);
        // Only bytes that never end a character of these encodings may be taken apart from them.
        if (b != 0x1A && b != 0x1C && b != 0x7F) info.fast = false;
    }
}

// Learnt on first use, once, by whichever thread asks first (Open on the GUI thread, Find in Files
// workers, the journal's threads); read-only from then on, so any thread may read it.
const Info& infoOf(const Charset& c) {
    static std::once_flag once[kCharsetCount];
    static Info infos[kCharsetCount];
    const int i = int(&c - kCharsets);
    std::call_once(once[i], [&] { learn(infos[i], c); });
    return infos[i];
}

} // namespace

// ---- Names and groups

bool isCharset(Encoding e) { return find(e) != nullptr; }
const char* charsetName(Encoding e) {
    const Charset* c = find(e);
    return c ? c->name : nullptr;
}
bool isSingleByte(Encoding e) {
    const Charset* c = find(e);
    return c && c->singleByte;
}
bool available(Encoding e) {
    const Charset* c = find(e);
    return !c || converts(*c);
}
bool asciiCompatible(Encoding e) {
    const Charset* c = find(e);
    if (!c) return !isUtf16(e);
    return c->singleByte || infoOf(*c).fast;
}

std::vector<EncodingGroup> encodingGroups() {
    std::vector<EncodingGroup> groups(GroupCount);
    for (int g = 0; g < GroupCount; ++g) groups[g].name = QCoreApplication::translate("Charsets", kGroupNames[g]);
    groups[Unicode].encodings = {Encoding::Utf8, Encoding::Utf8Bom, Encoding::Utf16LeBom, Encoding::Utf16BeBom};
    groups[Western].encodings = {Encoding::Windows1252};
    // The Windows code page of a script first, then the others in the table's order.
    for (const Charset& c : kCharsets)
        if (QByteArrayView(c.converter).startsWith("windows") && converts(c))
            groups[c.group].encodings.push_back(c.encoding);
    for (const Charset& c : kCharsets)
        if (!QByteArrayView(c.converter).startsWith("windows") && converts(c))
            groups[c.group].encodings.push_back(c.encoding);
    std::erase_if(groups, [](const EncodingGroup& g) { return g.encodings.empty(); });
    return groups;
}

std::optional<Encoding> encodingForLabel(QByteArrayView label) {
    label = label.trimmed();
    for (const Label& l : kLabels)
        if (label.compare(QByteArrayView(l.label), Qt::CaseInsensitive) == 0)
            return available(l.encoding) ? std::optional<Encoding>(l.encoding) : std::nullopt;
    return std::nullopt;
}

QByteArray labelOf(Encoding e) {
    if (const Charset* c = find(e)) return QByteArray(c->label);
    if (isUtf8(e)) return QByteArrayLiteral("UTF-8");
    if (isUtf16(e)) return QByteArrayLiteral("UTF-16");
    return QByteArrayLiteral("windows-1252");
}

// ---- Decoding

// Whether the eight bytes at p hold one of the controls IBM's code pages swap (0x1A, 0x1C, 0x7F).
inline bool swappedIn(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHigh = 0x8080808080808080ULL;
    for (const std::uint64_t b : {0x1AULL, 0x1CULL, 0x7FULL}) {
        const std::uint64_t x = w ^ (kOnes * b);
        if ((x - kOnes) & ~x & kHigh) return true;   // a zero byte: b is there
    }
    return false;
}

struct CharsetDecoder::Impl {
    const Charset& charset;
    const Info& info;
    bool exact = true;
    // Multi-byte: Qt's converters, the bytes given to them that the text has not given back yet,
    // and room for the text between.
    std::optional<QStringDecoder> decoder;
    std::optional<QStringEncoder> encoder;
    QStringEncoder toUtf8{QStringConverter::Utf8};
    QByteArray unmatched;
    std::vector<QChar> units;
    std::vector<char> back;

    Impl(const Charset& c) : charset(c), info(infoOf(c)) {
        if (!info.available) {
            exact = false;
            return;
        }
        if (!c.singleByte) {
            decoder.emplace(c.converter);
            encoder.emplace(c.converter);
        }
    }

    // Through the converter and back: the text into 'o', the check against the bytes.
    void convert(const char* p, qint64 n, char*& o) {
        if (n <= 0) return;
        unmatched.append(p, n);
        units.resize(size_t(decoder->requiredSpace(n)));
        const qsizetype u = decoder->appendToBuffer(units.data(), QByteArrayView(p, n)) - units.data();
        const QStringView text(units.data(), u);
        back.resize(size_t(encoder->requiredSpace(u)));
        const qsizetype m = encoder->appendToBuffer(back.data(), text) - back.data();
        if (decoder->hasError() || encoder->hasError() || m > unmatched.size() ||
            (m > 0 && std::memcmp(back.data(), unmatched.constData(), size_t(m)) != 0))
            exact = false;
        else
            unmatched.remove(0, m);
        o = toUtf8.appendToBuffer(o, text);
    }

    // Bytes taken as ASCII outside the converter: nothing may be waiting in it.
    void ascii(const char* p, qint64 n, char*& o) {
        if (!unmatched.isEmpty()) exact = false;
        std::memcpy(o, p, size_t(n));
        o += n;
    }

    qint64 feedMulti(const char* data, qint64 n, char* out) {
        char* o = out;
        if (!info.fast) {
            convert(data, n, o);
            return o - out;
        }
        // Runs of this many ASCII bytes or more are copied, but for their first byte.
        constexpr qint64 kRun = 16;
        const auto* p = reinterpret_cast<const unsigned char*>(data);
        const bool swaps = info.swapped.any();
        qint64 from = 0;   // what the converter has not been given yet
        qint64 i = 0;
        while (i < n) {
            if (p[i] >= 0x80) {
                ++i;
                continue;
            }
            if (swaps && info.swapped.test(p[i])) {
                convert(data + from, i - from, o);
                ascii(data + i, 1, o);
                from = ++i;
                continue;
            }
            qint64 e = i + 1;
            while (e + 8 <= n && utf8::asciiWord(data + e) && !(swaps && swappedIn(data + e))) e += 8;
            while (e < n && p[e] < 0x80 && !(swaps && info.swapped.test(p[e]))) ++e;
            if (e - i >= kRun) {
                convert(data + from, i + 1 - from, o);   // the first byte may end a character
                ascii(data + i + 1, e - i - 1, o);
                from = e;
            }
            i = e;
        }
        convert(data + from, n - from, o);
        return o - out;
    }

    qint64 feedSingle(const char* data, qint64 n, char* out) {
        char* o = out;
        qint64 i = 0;
        while (i < n) {
            if (i + 8 <= n && utf8::asciiWord(data + i)) {
                std::memcpy(o, data + i, 8);
                o += 8;
                i += 8;
                continue;
            }
            const Utf8Of& u = info.utf8[static_cast<unsigned char>(data[i])];
            if (u.len == 0) {
                exact = false;   // a byte without a character: shown as U+FFFD, never kept
                std::memcpy(o, "\xEF\xBF\xBD", 3);
                o += 3;
            } else {
                o[0] = u.bytes[0];
                if (u.len > 1) o[1] = u.bytes[1];
                if (u.len > 2) o[2] = u.bytes[2];
                o += u.len;
            }
            ++i;
        }
        return o - out;
    }
};

CharsetDecoder::CharsetDecoder(Encoding encoding) {
    const Charset* c = find(encoding);
    d_ = std::make_unique<Impl>(c ? *c : kCharsets[0]);
    if (!c) d_->exact = false;
}

CharsetDecoder::~CharsetDecoder() = default;

qint64 CharsetDecoder::feed(const char* data, qint64 n, char* out) {
    if (n <= 0 || !d_->info.available) return 0;
    return d_->charset.singleByte ? d_->feedSingle(data, n, out) : d_->feedMulti(data, n, out);
}

bool CharsetDecoder::exact() const { return d_->exact; }

bool CharsetDecoder::finish() { return d_->exact && d_->unmatched.isEmpty(); }

// ---- Encoding

namespace {

// Calls 'piece' with stretches of about a megabyte of the UTF-8 text, each ending at a character's
// start (or amid bytes that are not UTF-8), and its offset; stops when it returns false.
template <typename Piece>
bool inPieces(const char* utf8, qint64 length, Piece piece) {
    constexpr qint64 kPiece = qint64(1) << 20;
    for (qint64 pos = 0; pos < length;) {
        qint64 end = std::min(length, pos + kPiece);
        for (int k = 0; k < 3 && end < length && utf8::isContinuation(static_cast<unsigned char>(utf8[end])); ++k) --end;
        if (!piece(utf8 + pos, end - pos, pos)) return false;
        pos = end;
    }
    return true;
}

// Whether Qt's converter writes every character of the text (a fresh one: the text is a part).
bool encodable(const Charset& c, QStringView text) {
    QStringEncoder encode(c.converter);
    QByteArray out(encode.requiredSpace(text.size()), Qt::Uninitialized);
    encode.appendToBuffer(out.data(), text);
    return !encode.hasError();
}

// Writes well-formed UTF-8 text of a multi-byte encoding into 'out': ASCII as itself where the
// encoding reads it so (as the decoder takes it), the rest through Qt's converter. Returns where
// the first stretch starts that the converter could not write (its text in 'failed'), or -1.
qint64 encodeMulti(const Info& info, QStringDecoder& fromUtf8, QStringEncoder& encoder,
                   const char* utf8, qint64 n, std::vector<char>& out, QString& failed) {
    out.clear();
    std::vector<QChar> units;
    for (qint64 i = 0; i < n;) {
        qint64 j = n;
        if (info.fast) {
            j = i;
            while (j < n && static_cast<unsigned char>(utf8[j]) < 0x80) ++j;
            out.insert(out.end(), utf8 + i, utf8 + j);
            i = j;
            while (j < n && static_cast<unsigned char>(utf8[j]) >= 0x80) ++j;
            if (i == j) continue;
        }
        units.resize(size_t(fromUtf8.requiredSpace(j - i)));
        const QStringView text(units.data(), fromUtf8.appendToBuffer(units.data(), QByteArrayView(utf8 + i, j - i)) - units.data());
        const size_t at = out.size();
        out.resize(at + size_t(encoder.requiredSpace(text.size())));
        out.resize(size_t(encoder.appendToBuffer(out.data() + at, text) - out.data()));
        if (encoder.hasError()) {
            failed = text.toString();
            return i;
        }
        i = j;
    }
    return -1;
}

} // namespace

Unwritable firstUnwritableInCharset(const char* utf8, qint64 length, Encoding encoding) {
    const Charset* c = find(encoding);
    if (!c || !infoOf(*c).available) return {0, length ? char32_t(static_cast<unsigned char>(utf8[0])) : 0, false};
    const Info& info = infoOf(*c);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    Unwritable found;
    QStringDecoder fromUtf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QStringEncoder encoder(c->converter);
    std::vector<char> out;
    inPieces(utf8, length, [&](const char* piece, qint64 n, qint64 at) {
        // Bytes that are not UTF-8 (and lone surrogates, held as such bytes) cannot be written.
        qint64 stop = n;
        if (!QByteArrayView(piece, n).isValidUtf8()) {
            for (qint64 i = 0; i < n;) {
                char32_t value;
                const int len = utf8::decode(p + at + i, n - i, value);
                if (len == 0) {
                    stop = i;
                    break;
                }
                i += len;
            }
        }
        if (c->singleByte) {
            for (qint64 i = 0; i < stop;) {
                if (i + 8 <= stop && utf8::asciiWord(piece + i)) {
                    i += 8;
                    continue;
                }
                char32_t value;
                const int len = utf8::decode(p + at + i, stop - i, value);
                if (value > 0xFFFF || info.reverse[value] < 0) {
                    found = {at + i, value, false};
                    return false;
                }
                i += len;
            }
        } else {
            QString text;
            const qint64 failedAt = encodeMulti(info, fromUtf8, encoder, piece, stop, out, text);
            if (failedAt >= 0) {
                // The shortest start of the stretch that cannot be written ends at the character.
                qsizetype lo = 0, hi = text.size();   // [0, lo) writable; [0, hi) not
                while (hi - lo > 1) {
                    qsizetype mid = lo + (hi - lo) / 2;
                    if (text[mid - 1].isHighSurrogate()) ++mid;
                    if (mid >= hi) break;
                    if (encodable(*c, QStringView(text).first(mid))) lo = mid;
                    else hi = mid;
                }
                const QChar first = text[lo];
                const char32_t value = first.isHighSurrogate() && lo + 1 < text.size()
                                           ? QChar::surrogateToUcs4(first, text[lo + 1])
                                           : char32_t(first.unicode());
                found = {at + failedAt + QStringView(text).first(lo).toUtf8().size(), value, false};
                return false;
            }
        }
        if (stop < n) {
            found = {at + stop, p[at + stop], true};
            return false;
        }
        return true;
    });
    return found;
}

bool encodeCharset(const char* utf8, qint64 length, Encoding encoding,
                   const std::function<bool(const char*, qint64)>& sink) {
    const Charset* c = find(encoding);
    if (!c) return false;
    const Info& info = infoOf(*c);
    std::vector<char> out;
    if (c->singleByte) {
        const auto* p = reinterpret_cast<const unsigned char*>(utf8);
        return inPieces(utf8, length, [&](const char* piece, qint64 n, qint64 at) {
            out.resize(size_t(n));
            char* o = out.data();
            for (qint64 i = 0; i < n;) {
                if (i + 8 <= n && utf8::asciiWord(piece + i)) {
                    std::memcpy(o, piece + i, 8);
                    o += 8;
                    i += 8;
                    continue;
                }
                char32_t value = 0;
                const int len = utf8::decode(p + at + i, n - i, value);
                if (len == 0 || value > 0xFFFF || info.reverse[value] < 0) return false;   // never after a check
                *o++ = char(info.reverse[value]);
                i += len;
            }
            return sink(out.data(), o - out.data());
        });
    }
    QStringDecoder fromUtf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QStringEncoder encoder(c->converter);
    QString failed;
    return inPieces(utf8, length, [&](const char* piece, qint64 n, qint64) {
        return encodeMulti(info, fromUtf8, encoder, piece, n, out, failed) < 0 && sink(out.data(), qint64(out.size()));
    });
}

} // namespace io
