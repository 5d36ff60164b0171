#pragma once
// Writing a document's text to its file: the control's UTF-8 text in the document's encoding
// (io/Encoding.h), after its byte order mark if it has one and followed by the line end the save
// adds (if any), replacing the file whole or not at all.
#include "io/Encoding.h"

#include <QString>

#include <optional>

namespace io {

struct DocumentWriteResult {
    bool ok = false;
    io::Unwritable unwritable;   // the first place the encoding cannot write; nothing was written
    QString reason;              // why the write failed
    std::optional<quint64> hash; // of the bytes written (io/ContentHash.h), once written
};

// 'tail' is the line end added after the text, as UTF-8 ("\r\n", "\n", "\r" or nothing).
DocumentWriteResult writeDocument(const QString& path, const char* utf8, qint64 length,
                                  io::Encoding encoding = io::Encoding::Windows1252, QByteArrayView tail = "\r\n");

} // namespace io
