#pragma once
// The encodings of document files, how a file's encoding is recognised, and the conversions between
// a file's bytes and the edit control's UTF-8 text.
//
// Recognising, in this order (see recognise()):
//  1. a byte order mark: UTF-8, UTF-16 LE, UTF-16 BE (UTF-16 only when the file's size is even);
//  2. a declaration naming UTF-8 in the first 1024 bytes (an HTML <meta charset> or http-equiv
//     content type, the XML declaration's encoding, a CSS @charset; see findDeclaration()): UTF-8
//     (the page's bytes that are not UTF-8 are then kept as bytes);
//  3. bytes that are all UTF-8, with at least one character of more than one byte: UTF-8 (a
//     character cut off by the end of the file does not count against it);
//  4. a declaration naming another encoding (io/Charsets.h): that encoding, when the bytes come
//     back from its text unchanged; else Windows-1252, and the reader says why;
//  5. plain ASCII without a declaration: the encoding of new documents, as far as it reads ASCII
//     as ASCII without a mark (see asciiFileEncoding());
//  6. everything else, binary files and UTF-16 without a mark included: Windows-1252.
//
// Whatever the encoding, a file read in and written back unchanged keeps every byte:
//  - Windows-1252: every byte has its own character (io/CodePage.h).
//  - UTF-8: the bytes go into the control as they are. Bytes that are not UTF-8 stay there as
//    bytes (the control shows them as hex blobs, never as U+FFFD) and are written back as they were.
//  - UTF-16: each code unit becomes its character. A surrogate without its partner is held as the
//    three bytes UTF-8 would give it (which are not UTF-8 themselves) and written back as that
//    code unit. An odd number of bytes cannot be UTF-16: such a file is never taken for it.
//  - The other encodings: only bytes that come back unchanged are read in them (io/Charsets.h).
// The byte order mark is not part of the text; it is written back when the encoding has one.
#include "platform/Utf8.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <optional>

namespace io {

enum class Encoding : std::uint8_t {
    Windows1252,
    Utf8,         // without a byte order mark
    Utf8Bom,
    Utf16LeBom,
    Utf16BeBom,
    Utf16Le,      // without a mark: never recognised, only chosen
    Utf16Be,
    // The web's other encodings (io/Charsets.h).
    Iso8859_2, Iso8859_3, Iso8859_4, Iso8859_5, Iso8859_6, Iso8859_7, Iso8859_8, Iso8859_8I, Iso8859_10,
    Iso8859_13, Iso8859_14, Iso8859_15, Windows1250, Windows1251, Windows1253, Windows1254, Windows1255,
    Windows1256, Windows1257, Windows1258, Windows874, Koi8R, Koi8U, Ibm866, Macintosh, MacCyrillic,
    ShiftJis, EucJp, Iso2022Jp, Gb18030, Gbk, Big5, EucKr,
};

// "Windows-1252", "UTF-8", "UTF-8 with BOM", "UTF-16 LE with BOM", "UTF-16 BE with BOM",
// "UTF-16 LE", "UTF-16 BE", "ISO-8859-2", "Shift_JIS", ...
QString encodingName(Encoding encoding);
// The name in the user's language ("UTF-8 mit BOM"), for menus and the status bar; journals and
// preferences keep encodingName().
QString shownEncodingName(Encoding encoding);
// The encoding that encodingName() calls 'name', or nothing.
std::optional<Encoding> encodingFromName(QStringView name);

// The mark the encoding writes ahead of the text; empty for those without one.
QByteArrayView byteOrderMark(Encoding encoding);
bool isUtf8(Encoding encoding);
bool isUtf16(Encoding encoding);
// The encoding of 'family' (UTF-8, UTF-16 LE or BE, with or without a mark alike) with the mark
// or without it, as the file's first bytes have it: how a file is read in a chosen encoding.
Encoding asMarked(Encoding family, QByteArrayView head);

// ---- Recognising

// What a file's first bytes decide: a byte order mark (UTF-16 only when the file's 'size' is
// even), or nothing.
std::optional<Encoding> markedEncoding(QByteArrayView head, qint64 size);

// A declaration of the encoding in the first 1024 bytes: the XML declaration's encoding or a CSS
// @charset opening the file, else the first <meta> with a charset (in a charset attribute or an
// http-equiv content type) outside comments. A declaration must be whole within those bytes and
// name a known label (io/Charsets.h); others are passed over.
struct Declaration {
    qsizetype at = -1;    // where its label starts, -1 for none
    qsizetype length = 0;
    Encoding encoding = Encoding::Windows1252;   // what the label names
    explicit operator bool() const { return at >= 0; }
};
Declaration findDeclaration(QByteArrayView head);
// The encoding a file's first bytes declare, as a reader takes it: a UTF-16 label in bytes that
// are readable as ASCII means UTF-8, as browsers take it.
std::optional<Encoding> declaredEncoding(QByteArrayView head);
// Whether the first 1024 bytes declare UTF-8 (rule 2 above).
bool declaresUtf8(QByteArrayView head);

// The encoding a file of plain ASCII without a declaration opens in, for the encoding of new
// documents 'preferred': itself where it reads ASCII without a mark; UTF-8 for the Unicode
// encodings with marks or UTF-16 (an ASCII file has no mark, and UTF-16 would read it wrongly);
// Windows-1252 for ISO-2022-JP when the bytes hold its escapes (ESC, SO, SI).
Encoding asciiFileEncoding(Encoding preferred, bool escapes);

// The decision for bytes checked piece by piece: their mark, what they declare, and the check of
// all of them (rules 2, 3 and 6; rules 4 and 5 are the reader's).
Encoding decideEncoding(std::optional<Encoding> marked, bool declared, const utf8::Checker& check);

// How a whole file's bytes are read: the encoding, and the encoding they declare when it could not
// be used (they would not come back unchanged from its text).
struct Recognised {
    Encoding encoding = Encoding::Windows1252;
    std::optional<Encoding> notExact;
};
// The text Open shows for a whole file's bytes (rules 1 to 6; 'forAscii' is the encoding of new
// documents): a view into 'bytes' where nothing changes, else the decoded text in 'scratch'.
// 'wellFormed', when given, tells whether the text is all UTF-8.
QByteArrayView readText(QByteArrayView bytes, QByteArray& scratch, Recognised& how,
                        Encoding forAscii = Encoding::Windows1252, bool* wellFormed = nullptr);
// The decision on a whole file's bytes.
Encoding detectEncoding(QByteArrayView bytes, Encoding forAscii = Encoding::Windows1252);
// "ISO-2022-JP declared; not exact, shown as Windows-1252": why a file is not shown in the encoding
// it declares.
QString notExactNote(Encoding declared);

// ---- Reading

// Decodes UTF-16 piece by piece into UTF-8; a piece may end inside a code unit or a pair.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
    // Room 'out' needs for decoding n more bytes.
    static qint64 room(qint64 n) { return n / 2 * 3 + 8; }
    // Decodes the next bytes into out; returns the number of bytes written.
    qint64 feed(const char* data, qint64 n, char* out);
    // At the end: writes a surrogate still waiting for its partner; returns the bytes written.
    qint64 finish(char* out);
    // A byte is left over: the bytes were odd in number.
    bool oddByte() const { return hasOdd_; }
    // A surrogate without its partner was decoded (the text is then not all UTF-8).
    bool unpaired() const { return unpaired_; }

private:
    bool bigEndian_;
    bool hasOdd_ = false;
    bool unpaired_ = false;
    unsigned char odd_ = 0;
    char16_t high_ = 0;   // a high surrogate waiting for the next unit, or 0
};

// The edit control's text for a whole file's bytes read in an encoding: a view into 'bytes'
// where nothing changes (UTF-8, its mark left out), else the decoded text in 'scratch'. An odd
// last byte of UTF-16 is left out (detectEncoding() never gives UTF-16 for such bytes).
// 'wellFormed', when given, tells whether the text is all UTF-8; 'exact', whether the bytes come
// back unchanged from it (false only for the encodings of io/Charsets.h).
QByteArrayView textOf(QByteArrayView bytes, Encoding encoding, QByteArray& scratch, bool* wellFormed = nullptr,
                      bool* exact = nullptr);

// ---- Writing

// The first place in the control's text that the encoding cannot write, if any.
struct Unwritable {
    qint64 offset = -1;         // byte offset in the text, -1 when everything can be written
    char32_t character = 0;     // the character there
    bool notText = false;       // it is a byte that is not UTF-8 (UTF-16 cannot hold it)
    explicit operator bool() const { return offset >= 0; }
};
// Windows-1252 cannot hold characters outside its table nor a lone surrogate; UTF-16 cannot hold
// bytes that are not UTF-8; UTF-8 writes everything as it is. A byte that is not UTF-8 is written
// as itself in Windows-1252 and UTF-8; the other encodings hold neither it nor characters they lack.
Unwritable firstUnwritable(const char* utf8, qint64 length, Encoding encoding);
// Writes the text in the encoding, without a mark, piece by piece through 'sink' (false from it
// stops); only for text that firstUnwritable() accepts.
bool encodeText(const char* utf8, qint64 length, Encoding encoding,
                const std::function<bool(const char* data, qint64 length)>& sink);

} // namespace io
