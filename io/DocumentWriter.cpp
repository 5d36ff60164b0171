#include "io/DocumentWriter.h"

#include "io/AtomicFile.h"
#include "io/CodePage.h"

#include <vector>

namespace fileops {

DocumentWriteResult writeDocument(const QString& path, const char* utf8, qint64 length) {
    DocumentWriteResult result;
    // Nothing is written when a character cannot be: the file stays as it was.
    result.unencodableAt = codepage::firstUnencodable(utf8, length);
    if (result.unencodableAt >= 0) {
        result.reason = QStringLiteral("A character cannot be written in the %1 code page.").arg(codepage::kName);
        return result;
    }
    const Producer produce = [utf8, length](const Sink& sink, QString&) {
        constexpr qint64 kChunk = qint64(1) << 20;
        std::vector<char> out(kChunk);
        qint64 pos = 0;
        while (pos < length) {
            qint64 end = std::min(length, pos + kChunk);
            // Never split a character between two pieces.
            while (end < length && end > pos && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
            const qint64 n = codepage::encodeFromUtf8(utf8 + pos, end - pos, out.data());
            if (!sink(out.data(), n)) return false;
            pos = end;
        }
        return sink("\r\n", 2);
    };
    const WriteResult written = writeAtomically(path, produce, /*allowInPlace=*/true);
    result.ok = written.ok;
    result.reason = written.reason;
    return result;
}

} // namespace fileops
