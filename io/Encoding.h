#pragma once
// The encodings of document files, how a file's encoding is recognised, and the conversions between
// a file's bytes and the edit control's UTF-8 text.
//
// Recognising, in this order (see detectEncoding()):
//  1. a byte order mark: UTF-8, UTF-16 LE, UTF-16 BE (UTF-16 only when the file's size is even);
//  2. bytes that are all UTF-8, with at least one character of more than one byte: UTF-8 (a
//     character cut off by the end of the file does not count against it);
//  3. a declaration naming UTF-8 in the first 1024 bytes: an HTML <meta charset> or http-equiv
//     content type, the XML declaration's encoding, a CSS @charset: UTF-8 (the page's bytes that
//     are not UTF-8 are then kept as bytes);
//  4. everything else, plain ASCII, binary files and UTF-16 without a mark included: Windows-1252.
//
// Whatever the encoding, a file read in and written back unchanged keeps every byte:
//  - Windows-1252: every byte has its own character (io/CodePage.h).
//  - UTF-8: the bytes go into the control as they are. Bytes that are not UTF-8 stay there as
//    bytes (the control shows them as hex blobs, never as U+FFFD) and are written back as they were.
//  - UTF-16: each code unit becomes its character. A surrogate without its partner is held as the
//    three bytes UTF-8 would give it (which are not UTF-8 themselves) and written back as that
//    code unit. An odd number of bytes cannot be UTF-16: such a file is never taken for it.
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
};

// "Windows-1252", "UTF-8", "UTF-8 with BOM", "UTF-16 LE with BOM", "UTF-16 BE with BOM",
// "UTF-16 LE", "UTF-16 BE".
QString encodingName(Encoding encoding);
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
// Whether the first 1024 bytes declare UTF-8 (rule 3 above).
bool declaresUtf8(QByteArrayView head);
// The decision for bytes checked piece by piece: their mark, whether they declare UTF-8, and the
// check of all of them (rules 2 and 4).
Encoding decideEncoding(std::optional<Encoding> marked, bool declared, const utf8::Checker& check);
// The decision on a whole file's bytes.
Encoding detectEncoding(QByteArrayView bytes);

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
// 'wellFormed', when given, tells whether the text is all UTF-8.
QByteArrayView textOf(QByteArrayView bytes, Encoding encoding, QByteArray& scratch, bool* wellFormed = nullptr);

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
// as itself in Windows-1252 and UTF-8.
Unwritable firstUnwritable(const char* utf8, qint64 length, Encoding encoding);
// Writes the text in the encoding, without a mark, piece by piece through 'sink' (false from it
// stops); only for text that firstUnwritable() accepts.
bool encodeText(const char* utf8, qint64 length, Encoding encoding,
                const std::function<bool(const char* data, qint64 length)>& sink);

} // namespace io
