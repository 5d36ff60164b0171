#pragma once
// The web's encodings beyond Unicode and Windows-1252 (the legacy encodings of the WHATWG Encoding
// Standard that Qt can convert): their names, script groups and labels, and the conversions between
// their bytes and the edit control's UTF-8 text, through Qt's converters (ICU in Debian's Qt).
//
// Byte for byte: bytes are taken in such an encoding only when they come back unchanged from the
// text (decode, encode again, compare); the decoder tells when they would not, and the reader then
// keeps the file's bytes another way (io/TextLoader.h).
//  - Single-byte encodings go through a table of their 256 bytes, made once from Qt's converter: a
//    byte counts only when it decodes to one character that encodes back to that byte.
//  - The others (Japanese, Chinese, Korean) go through Qt's converters piece by piece, which carry
//    a character cut by a piece's end over to the next; every stretch decoded is encoded again and
//    compared with the bytes it came from. Long runs of ASCII between their characters are copied
//    as they are: in these encodings only the first byte after a character can belong to it, so
//    that byte goes through the converter and the rest of the run is plain ASCII (checked once per
//    encoding). ISO-2022-JP, whose escapes change what ASCII bytes mean, goes whole through it.
#include "io/Encoding.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace io {

// The script groups, in menu order, each with its encodings (only those this Qt build converts).
struct EncodingGroup {
    QString name;   // "Unicode", "Western", "Central European", ...
    std::vector<Encoding> encodings;
};
std::vector<EncodingGroup> encodingGroups();

// Whether the encoding is one of those above beyond Unicode and Windows-1252.
bool isCharset(Encoding encoding);
// Its name ("ISO-8859-2", "Windows-1250", "Shift_JIS", ...); nullptr for the others.
const char* charsetName(Encoding encoding);
bool isSingleByte(Encoding encoding);
// Whether Qt converts it in this build (every Unicode encoding and Windows-1252 always).
bool available(Encoding encoding);
// Whether plain ASCII bytes are the same text in it, whatever else the file holds (false for
// ISO-2022-JP, whose escapes are ASCII bytes).
bool asciiCompatible(Encoding encoding);

// The encoding an encoding label names, as the Encoding Standard maps labels ("latin1", "ascii"
// and "iso-8859-1" name Windows-1252, "sjis" Shift_JIS, "utf-16" UTF-16 LE, ...); blanks around
// the label and letter case do not matter. Nothing for an unknown label or an encoding Qt cannot
// convert here.
std::optional<Encoding> encodingForLabel(QByteArrayView label);
// The label a declaration names the encoding with ("windows-1252", "ISO-8859-2", "Shift_JIS",
// "UTF-8", "UTF-16", ...).
QByteArray labelOf(Encoding encoding);

// Decodes a charset's bytes piece by piece into UTF-8, checking that they come back unchanged. One
// decoder serves one reading on one thread; decoders of different threads share nothing mutable.
class CharsetDecoder {
public:
    explicit CharsetDecoder(Encoding encoding);
    ~CharsetDecoder();
    CharsetDecoder(const CharsetDecoder&) = delete;
    CharsetDecoder& operator=(const CharsetDecoder&) = delete;
    // Room 'out' needs for decoding n more bytes.
    static qint64 room(qint64 n) { return 3 * n + 32; }
    // Decodes the next bytes into out; returns the number of bytes written.
    qint64 feed(const char* data, qint64 n, char* out);
    // Everything fed so far comes back byte for byte (a character cut off at the end aside).
    bool exact() const;
    // At the end: everything fed comes back byte for byte, nothing is left over.
    bool finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The first place in the UTF-8 text the charset cannot write (a character it lacks, a byte that is
// not UTF-8, a lone surrogate), if any.
Unwritable firstUnwritableInCharset(const char* utf8, qint64 length, Encoding encoding);
// Writes text that firstUnwritableInCharset() accepted, piece by piece through 'sink'.
bool encodeCharset(const char* utf8, qint64 length, Encoding encoding,
                   const std::function<bool(const char* data, qint64 length)>& sink);

} // namespace io
