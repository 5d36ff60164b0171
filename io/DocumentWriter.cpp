#include "io/DocumentWriter.h"

#include "io/AtomicFile.h"
#include "io/ContentHash.h"

#include <QCoreApplication>

namespace io {

DocumentWriteResult writeDocument(const QString& path, const char* utf8, qint64 length, io::Encoding encoding,
                                  QByteArrayView tail) {
    DocumentWriteResult result;
    // Nothing is written when a character cannot be: the file stays as it was.
    result.unwritable = io::firstUnwritable(utf8, length, encoding);
    if (result.unwritable) {
        result.reason = QCoreApplication::translate("DocumentWriter", "A character cannot be written in %1.").arg(io::encodingName(encoding));
        return result;
    }
    io::ContentHash hash;
    const Producer produce = [utf8, length, encoding, tail, &hash](const Sink& sink, QString&) {
        hash = {};   // the bytes of this attempt only
        const Sink hashing = [&hash, &sink](const char* data, qint64 n) {
            hash.add(data, n);
            return sink(data, n);
        };
        const QByteArrayView mark = io::byteOrderMark(encoding);
        return (mark.isEmpty() || hashing(mark.data(), mark.size())) && io::encodeText(utf8, length, encoding, hashing) &&
               (tail.isEmpty() || io::encodeText(tail.data(), tail.size(), encoding, hashing));
    };
    const WriteResult written = writeAtomically(path, produce, /*allowInPlace=*/true);
    result.ok = written.ok;
    result.reason = written.reason;
    if (written.ok) result.hash = hash.value();
    return result;
}

} // namespace io
