#pragma once
// Writing a document's text to its file: the UTF-8 text encoded to the code page, followed by
// CR LF, replacing the file whole or not at all.
#include <QString>

namespace fileops {

struct DocumentWriteResult {
    bool ok = false;
    qint64 unencodableAt = -1;   // byte offset of the first character the code page lacks, or -1
    QString reason;              // why the write failed
};

DocumentWriteResult writeDocument(const QString& path, const char* utf8, qint64 length);

} // namespace fileops
