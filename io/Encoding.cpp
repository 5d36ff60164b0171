#include "io/Encoding.h"

#include "io/Charsets.h"
#include "io/CodePage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QCoreApplication>

namespace io {
namespace {

struct Named {
    Encoding encoding;
    const char* name;
};
constexpr Named kNames[] = {
    {Encoding::Windows1252, "Windows-1252"},      {Encoding::Utf8, "UTF-8"},
    {Encoding::Utf8Bom, QT_TRANSLATE_NOOP("Encoding", "UTF-8 with BOM")},        {Encoding::Utf16LeBom, QT_TRANSLATE_NOOP("Encoding", "UTF-16 LE with BOM")},
    {Encoding::Utf16BeBom, QT_TRANSLATE_NOOP("Encoding", "UTF-16 BE with BOM")}, {Encoding::Utf16Le, "UTF-16 LE"},
    {Encoding::Utf16Be, "UTF-16 BE"},
};

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kLeMark[] = "\xFF\xFE";
constexpr char kBeMark[] = "\xFE\xFF";

bool startsWith(QByteArrayView bytes, QByteArrayView prefix) { return bytes.startsWith(prefix); }

bool bigEndian(Encoding e) { return e == Encoding::Utf16BeBom || e == Encoding::Utf16Be; }

// ---- Declarations

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The value after 'name' at 'at' in 'text' (lower case): blanks, '=' (unless 'needEquals' is
// false), blanks, an optional quote, then up to a quote, a blank, ';', '>' or '?'. Its offset in
// 'at' when it is found.
QByteArrayView valueAfter(QByteArrayView text, qsizetype& at, bool needEquals) {
    qsizetype i = at;
    const qsizetype n = text.size();
    while (i < n && isSpace(text[i])) ++i;
    if (needEquals) {
        if (i >= n || text[i] != '=') return {};
        ++i;
        while (i < n && isSpace(text[i])) ++i;
    }
    if (i < n && (text[i] == '"' || text[i] == '\'')) ++i;
    const qsizetype start = i;
    while (i < n && !isSpace(text[i]) && text[i] != '"' && text[i] != '\'' && text[i] != ';' && text[i] != '>' &&
           text[i] != '?' && text[i] != '/')
        ++i;
    at = start;
    return text.sliced(start, i - start);
}

// A declaration whose label starts at 'at', if the label is known.
Declaration declarationAt(qsizetype at, QByteArrayView label) {
    Declaration d;
    const std::optional<Encoding> e = encodingForLabel(label);
    if (!e || label.isEmpty()) return d;
    d.at = at;
    d.length = label.size();
    d.encoding = *e;
    return d;
}

// ISO-2022-JP's escapes and shifts: ESC, SO, SI.
bool hasEscapes(QByteArrayView bytes) {
    for (const char c : {'\x1B', '\x0E', '\x0F'})
        if (bytes.contains(c)) return true;
    return false;
}

// ---- The control's text, unit by unit

enum class Unit { Char, Surrogate, Byte };

// One unit of the control's text at p: a well-formed character, a surrogate held as three bytes,
// or a byte that is not UTF-8. Its length; its value in 'value'.
inline int unitAt(const unsigned char* p, qint64 avail, Unit& kind, char32_t& value) {
    const int len = utf8::decode(p, avail, value);
    if (len > 0) {
        kind = Unit::Char;
        return len;
    }
    if (p[0] == 0xED && avail >= 3 && p[1] >= 0xA0 && p[1] <= 0xBF && utf8::isContinuation(p[2])) {
        kind = Unit::Surrogate;
        value = 0xD000 | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    kind = Unit::Byte;
    value = p[0];
    return 1;
}

// Output gathered in pieces of about a megabyte (less for a short text: 'length' input bytes give at
// most twice as many).
class Pieces {
public:
    Pieces(const std::function<bool(const char*, qint64)>& sink, qint64 length)
        : sink_(sink), buf_(std::min(kSize, 2 * length) + kRoom) {}
    char* room() { return buf_.data() + used_; }
    bool advance(qint64 n) {
        used_ += n;
        return used_ + kRoom <= qint64(buf_.size()) || flush();
    }
    bool flush() {
        const qint64 n = used_;
        used_ = 0;
        return n == 0 || sink_(buf_.data(), n);
    }

private:
    static constexpr qint64 kSize = qint64(1) << 20;
    static constexpr qint64 kRoom = 16;   // the most one step writes, and more
    const std::function<bool(const char*, qint64)>& sink_;
    std::vector<char> buf_;
    qint64 used_ = 0;
};

inline void putUnit(char* o, char16_t u, bool big) {
    o[big ? 0 : 1] = char(u >> 8);
    o[big ? 1 : 0] = char(u & 0xFF);
}

} // namespace

QString encodingName(Encoding encoding) {
    for (const Named& n : kNames)
        if (n.encoding == encoding) return QString::fromLatin1(n.name);
    if (const char* name = charsetName(encoding)) return QString::fromLatin1(name);
    return QString::fromLatin1(kNames[0].name);
}

QString shownEncodingName(Encoding encoding) {
    return QCoreApplication::translate("Encoding", encodingName(encoding).toLatin1().constData());
}

std::optional<Encoding> encodingFromName(QStringView name) {
    for (const Named& n : kNames)
        if (name == QLatin1String(n.name)) return n.encoding;
    for (int e = int(Encoding::Iso8859_2); e <= int(Encoding::EucKr); ++e)
        if (name == QLatin1String(charsetName(Encoding(e)))) return available(Encoding(e)) ? std::optional(Encoding(e)) : std::nullopt;
    return std::nullopt;
}

QByteArrayView byteOrderMark(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8Bom: return QByteArrayView(kUtf8Mark, 3);
    case Encoding::Utf16LeBom: return QByteArrayView(kLeMark, 2);
    case Encoding::Utf16BeBom: return QByteArrayView(kBeMark, 2);
    default: return {};
    }
}

bool isUtf8(Encoding e) { return e == Encoding::Utf8 || e == Encoding::Utf8Bom; }
bool isUtf16(Encoding e) {
    return e == Encoding::Utf16LeBom || e == Encoding::Utf16BeBom || e == Encoding::Utf16Le || e == Encoding::Utf16Be;
}

Encoding asMarked(Encoding family, QByteArrayView head) {
    if (isUtf8(family)) return startsWith(head, kUtf8Mark) ? Encoding::Utf8Bom : Encoding::Utf8;
    if (isUtf16(family)) {
        if (bigEndian(family)) return startsWith(head, kBeMark) ? Encoding::Utf16BeBom : Encoding::Utf16Be;
        return startsWith(head, kLeMark) ? Encoding::Utf16LeBom : Encoding::Utf16Le;
    }
    return family;
}

std::optional<Encoding> markedEncoding(QByteArrayView head, qint64 size) {
    if (startsWith(head, kUtf8Mark)) return Encoding::Utf8Bom;
    if (size % 2 == 0) {
        if (startsWith(head, kLeMark)) return Encoding::Utf16LeBom;
        if (startsWith(head, kBeMark)) return Encoding::Utf16BeBom;
    }
    return std::nullopt;
}

Declaration findDeclaration(QByteArrayView head) {
    const QByteArray text = head.first(std::min<qsizetype>(head.size(), 1024)).toByteArray().toLower();
    const QByteArrayView t(text);
    // <?xml version="1.0" encoding="UTF-8"?> opens the file.
    if (t.startsWith("<?xml")) {
        const qsizetype end = t.indexOf("?>");
        if (end < 0) return {};
        const QByteArrayView decl = t.first(end);
        qsizetype at = decl.indexOf("encoding");
        if (at < 0) return {};
        at += 8;
        const QByteArrayView label = valueAfter(decl, at, true);
        return declarationAt(at, label);
    }
    // @charset "UTF-8"; opens a style sheet.
    if (t.startsWith("@charset \"")) {
        qsizetype at = 10;
        const QByteArrayView label = valueAfter(t, at, false);
        if (!t.sliced(at + label.size()).startsWith("\";")) return {};
        return declarationAt(at, label);
    }
    // <meta charset="utf-8"> or <meta http-equiv="Content-Type" content="text/html; charset=utf-8">,
    // outside comments; a tag must end within the bytes looked at.
    for (qsizetype i = t.indexOf('<'); i >= 0; i = t.indexOf('<', i + 1)) {
        if (t.sliced(i).startsWith("<!--")) {
            const qsizetype end = t.indexOf("-->", i + 4);
            if (end < 0) break;
            i = end + 2;
            continue;
        }
        if (!t.sliced(i).startsWith("<meta") || i + 5 >= t.size() || !(isSpace(t[i + 5]) || t[i + 5] == '/'))
            continue;
        const qsizetype close = t.indexOf('>', i);
        if (close < 0) break;
        const QByteArrayView tag = t.sliced(i, close - i);
        qsizetype at = tag.indexOf("charset");
        if (at < 0) continue;
        at += 7;
        const QByteArrayView label = valueAfter(tag, at, true);
        if (const Declaration d = declarationAt(i + at, label)) return d;
    }
    return {};
}

std::optional<Encoding> declaredEncoding(QByteArrayView head) {
    const Declaration d = findDeclaration(head);
    if (!d) return std::nullopt;
    if (isUtf16(d.encoding)) return Encoding::Utf8;
    return d.encoding;
}

bool declaresUtf8(QByteArrayView head) { return declaredEncoding(head) == Encoding::Utf8; }

Encoding asciiFileEncoding(Encoding preferred, bool escapes) {
    if (isUtf8(preferred) || isUtf16(preferred)) return Encoding::Utf8;
    if (!asciiCompatible(preferred) && escapes) return Encoding::Windows1252;
    return preferred;
}

Encoding decideEncoding(std::optional<Encoding> marked, bool declared, const utf8::Checker& check) {
    if (marked) return *marked;
    if (declared || (check.valid() && check.multibyte())) return Encoding::Utf8;
    return Encoding::Windows1252;
}

QByteArrayView readText(QByteArrayView bytes, QByteArray& scratch, Recognised& how, Encoding forAscii,
                        bool* wellFormed) {
    how = {};
    const auto as = [&](Encoding e) {
        how.encoding = e;
        return textOf(bytes, e, scratch, wellFormed);
    };
    if (const std::optional<Encoding> marked = markedEncoding(bytes, bytes.size())) return as(*marked);
    const std::optional<Encoding> declared = declaredEncoding(bytes);
    if (declared == Encoding::Utf8) return as(Encoding::Utf8);
    utf8::Checker check;
    // ISO-2022-JP is all ASCII bytes: the check would take it for plain ASCII.
    if (!declared || asciiCompatible(*declared)) {
        check.feed(bytes.data(), bytes.size());
        if (check.valid() && check.multibyte()) return as(Encoding::Utf8);
        if (check.valid() && !check.cutOff())   // plain ASCII
            return as(declared ? *declared : asciiFileEncoding(forAscii, hasEscapes(bytes)));
    }
    if (declared && isCharset(*declared)) {
        bool exact = false;
        const QByteArrayView text = textOf(bytes, *declared, scratch, wellFormed, &exact);
        if (exact) {
            how.encoding = *declared;
            return text;
        }
        how.notExact = declared;
    }
    return as(Encoding::Windows1252);
}

Encoding detectEncoding(QByteArrayView bytes, Encoding forAscii) {
    QByteArray scratch;
    Recognised how;
    readText(bytes, scratch, how, forAscii);
    return how.encoding;
}

QString notExactNote(Encoding declared) {
    return QCoreApplication::translate("Encoding", "%1 declared; not exact, shown as %2").arg(encodingName(declared), encodingName(Encoding::Windows1252));
}

qint64 Utf16Decoder::feed(const char* data, qint64 n, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    char* o = out;
    qint64 i = 0;
    const auto put = [&](char16_t u) {
        if (high_) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                const char32_t cp = 0x10000 + ((char32_t(high_) - 0xD800) << 10) + (u - 0xDC00);
                *o++ = char(0xF0 | (cp >> 18));
                *o++ = char(0x80 | ((cp >> 12) & 0x3F));
                *o++ = char(0x80 | ((cp >> 6) & 0x3F));
                *o++ = char(0x80 | (cp & 0x3F));
                high_ = 0;
                return;
            }
            o += finish(o);   // the waiting one had no partner
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            high_ = u;
        } else if (u < 0x80) {
            *o++ = char(u);
        } else if (u < 0x800) {
            *o++ = char(0xC0 | (u >> 6));
            *o++ = char(0x80 | (u & 0x3F));
        } else {   // a lone low surrogate too: three bytes, as UTF-8 would write its value
            if (u >= 0xDC00 && u <= 0xDFFF) unpaired_ = true;
            *o++ = char(0xE0 | (u >> 12));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
        }
    };
    const auto unit = [this](unsigned char a, unsigned char b) {
        return bigEndian_ ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    };
    if (hasOdd_ && n > 0) {
        put(unit(odd_, p[0]));
        hasOdd_ = false;
        i = 1;
    }
    for (; i + 2 <= n; i += 2) put(unit(p[i], p[i + 1]));
    if (i < n) {
        hasOdd_ = true;
        odd_ = p[i];
    }
    return o - out;
}

qint64 Utf16Decoder::finish(char* out) {
    if (!high_) return 0;
    unpaired_ = true;
    out[0] = char(0xE0 | (high_ >> 12));
    out[1] = char(0x80 | ((high_ >> 6) & 0x3F));
    out[2] = char(0x80 | (high_ & 0x3F));
    high_ = 0;
    return 3;
}

QByteArrayView textOf(QByteArrayView bytes, Encoding encoding, QByteArray& scratch, bool* wellFormed, bool* exact) {
    if (exact) *exact = true;
    if (isCharset(encoding)) {
        CharsetDecoder decoder(encoding);
        scratch.resize(CharsetDecoder::room(bytes.size()));
        scratch.resize(decoder.feed(bytes.data(), bytes.size(), scratch.data()));
        const bool same = decoder.finish();
        if (exact) *exact = same;
        if (wellFormed) *wellFormed = true;
        return QByteArrayView(scratch);
    }
    const QByteArrayView mark = byteOrderMark(asMarked(encoding, bytes));
    const QByteArrayView body = bytes.sliced(mark.size());
    if (isUtf8(encoding)) {
        if (wellFormed) {
            utf8::Checker check;
            *wellFormed = check.feed(body.data(), body.size()) && !check.cutOff();
        }
        return body;
    }
    if (isUtf16(encoding)) {
        Utf16Decoder decoder(bigEndian(encoding));
        scratch.resize(Utf16Decoder::room(body.size()));
        qint64 n = decoder.feed(body.data(), body.size(), scratch.data());
        n += decoder.finish(scratch.data() + n);
        scratch.resize(n);
        if (wellFormed) *wellFormed = !decoder.unpaired();
        return QByteArrayView(scratch);
    }
    scratch = codepage::decodeToUtf8(bytes);
    if (wellFormed) *wellFormed = true;
    return QByteArrayView(scratch);
}

Unwritable firstUnwritable(const char* utf8, qint64 length, Encoding encoding) {
    if (isCharset(encoding)) return firstUnwritableInCharset(utf8, length, encoding);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    Unit kind;
    char32_t value;
    if (encoding == Encoding::Windows1252) {
        qint64 i = 0;
        while (i < length) {
            const qint64 at = codepage::firstUnencodable(utf8 + i, length - i);
            if (at < 0) break;
            i += at;
            const int len = unitAt(p + i, length - i, kind, value);
            if (kind != Unit::Byte) return {i, value, false};
            i += len;   // a byte that is not UTF-8 is written as itself
        }
    } else if (isUtf16(encoding)) {
        for (qint64 i = 0; i < length;) {
            if (i + 8 <= length && utf8::asciiWord(utf8 + i)) {
                i += 8;
                continue;
            }
            const int len = unitAt(p + i, length - i, kind, value);
            if (kind == Unit::Byte) return {i, value, true};
            i += len;
        }
    }
    return {};
}

bool encodeText(const char* utf8, qint64 length, Encoding encoding,
                const std::function<bool(const char*, qint64)>& sink) {
    if (isCharset(encoding)) return encodeCharset(utf8, length, encoding, sink);
    if (isUtf8(encoding)) {
        constexpr qint64 kPiece = qint64(1) << 20;
        for (qint64 i = 0; i < length; i += kPiece)
            if (!sink(utf8 + i, std::min(kPiece, length - i))) return false;
        return true;
    }
    if (encoding == Encoding::Windows1252) {
        // A megabyte at a time, cut before a character's start (or amid stray bytes).
        constexpr qint64 kPiece = qint64(1) << 20;
        std::vector<char> out(size_t(std::min(kPiece, length)));
        for (qint64 pos = 0; pos < length;) {
            qint64 end = std::min(length, pos + kPiece);
            for (int k = 0; k < 3 && end < length && utf8::isContinuation(static_cast<unsigned char>(utf8[end])); ++k)
                --end;
            if (!sink(out.data(), codepage::encodeFromUtf8(utf8 + pos, end - pos, out.data()))) return false;
            pos = end;
        }
        return true;
    }
    Pieces out(sink, length);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    // UTF-16.
    const bool big = bigEndian(encoding);
    Unit kind;
    char32_t value;
    for (qint64 i = 0; i < length;) {
        char* o = out.room();
        qint64 written;
        i += unitAt(p + i, length - i, kind, value);
        if (value >= 0x10000) {
            putUnit(o, char16_t(0xD800 + ((value - 0x10000) >> 10)), big);
            putUnit(o + 2, char16_t(0xDC00 + ((value - 0x10000) & 0x3FF)), big);
            written = 4;
        } else {
            putUnit(o, char16_t(value), big);
            written = 2;
        }
        if (!out.advance(written)) return false;
    }
    return out.flush();
}

} // namespace io
