#include "io/DocumentWriter.h"

#include "io/AtomicFile.h"

namespace fileops {

DocumentWriteResult writeDocument(const QString& path, const char* utf8, qint64 length, io::Encoding encoding,
                                  QByteArrayView tail) {
    DocumentWriteResult result;
    // Nothing is written when a character cannot be: the file stays as it was.
    result.unwritable = io::firstUnwritable(utf8, length, encoding);
    if (result.unwritable) {
        result.reason = QStringLiteral("A character cannot be written in %1.").arg(io::encodingName(encoding));
        return result;
    }
    const Producer produce = [utf8, length, encoding, tail](const Sink& sink, QString&) {
        const QByteArrayView mark = io::byteOrderMark(encoding);
        return (mark.isEmpty() || sink(mark.data(), mark.size())) && io::encodeText(utf8, length, encoding, sink) &&
               (tail.isEmpty() || io::encodeText(tail.data(), tail.size(), encoding, sink));
    };
    const WriteResult written = writeAtomically(path, produce, /*allowInPlace=*/true);
    result.ok = written.ok;
    result.reason = written.reason;
    return result;
}

} // namespace fileops
