#pragma once
// Files are single-byte text in Windows-1252. Every one of the 256 byte values has its own
// character (the five bytes Windows-1252 leaves unassigned stand for U+0081, U+008D, U+008F,
// U+0090 and U+009D), so any file, UTF-8 or binary, reads in and writes back byte for byte.
// The edit control keeps its text as UTF-8; decoding and encoding go straight between the two.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace codepage {

inline const QString kName = QStringLiteral("Windows-1252");

// The character a byte stands for.
char16_t toUnicode(std::uint8_t byte);
// The byte for a character, or -1 when the code page has none.
int fromUnicode(char32_t ch);

// Number of UTF-8 bytes the given file bytes decode to.
qint64 utf8Length(const char* data, qint64 length);
// Decodes into out, which must have room for utf8Length() bytes; returns the bytes written.
qint64 decodeToUtf8(const char* data, qint64 length, char* out);
QByteArray decodeToUtf8(QByteArrayView bytes);
QString decode(QByteArrayView bytes);

// Offset (in bytes) of the first UTF-8 character that has no byte in the code page, or -1.
// A malformed sequence counts as such a character.
qint64 firstUnencodable(const char* utf8, qint64 length);
// Encodes UTF-8 that firstUnencodable() accepted; out needs room for 'length' bytes. A byte that
// is not part of a well-formed character is written as itself (the edit control keeps such bytes
// of a UTF-8 file); a character without a byte stops it. Returns the number of bytes written.
qint64 encodeFromUtf8(const char* utf8, qint64 length, char* out);
// Encodes a string; false (and nothing in 'out') when a character has no byte.
bool encode(const QString& text, QByteArray& out);

// The character that starts at a UTF-8 offset (for messages); U+FFFD if malformed.
char32_t charAt(const char* utf8, qint64 length, qint64 offset);

} // namespace codepage
