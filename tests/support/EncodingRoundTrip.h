#pragma once
// A file's bytes read in an encoding and written back as Save writes them (without its CR LF):
// the mark the file has, then the text; "unwritable" when the encoding cannot hold the text.
#include "io/Encoding.h"

inline QByteArray roundTrip(const QByteArray& bytes, io::Encoding encoding) {
    const io::Encoding as = io::asMarked(encoding, bytes);
    QByteArray scratch;
    const QByteArrayView text = io::textOf(bytes, as, scratch);
    QByteArray out = io::byteOrderMark(as).toByteArray();
    if (io::firstUnwritable(text.data(), text.size(), as)) return "unwritable";
    io::encodeText(text.data(), text.size(), as, [&out](const char* d, qint64 n) {
        out.append(d, n);
        return true;
    });
    return out;
}
