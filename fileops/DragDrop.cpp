#include "fileops/DragDrop.h"

#include "documents/DocumentCommands.h"
#include "io/DocumentFile.h"
#include "io/CodePage.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <cstring>

namespace fileops {

void frameDropFile(DocumentFrame& frame, const QString& strFilename) { documents::openDocument(frame, strFilename); }

void documentDropFile(RichTextBox& txtDragDrop, const QString& strFilename) {
    QString text;
    {
        documents::DocumentFile file;
        QString reason;
        QByteArray bytes;
        WaitCursor wait;
        const bool read = file.open(strFilename, reason) && file.readAll(bytes, reason);
        file.close();
        if (read) {
            QByteArray joined = joinDroppedLines(bytes);
            bytes = QByteArray();
            text = codepage::decode(joined);
        }
        wait.done();
        if (!read) {
            // Nothing of a file that could not be read whole goes into the document.
            tp::MsgBox(QStringLiteral("Can't open file: ") + strFilename + QStringLiteral("\r\n\r\n") + reason);
            return;
        }
    }
    txtDragDrop.SetSelStart(txtDragDrop.TextLength());
    txtDragDrop.SetSelLength(0);
    txtDragDrop.SetSelText(text);
}

// Works on the file's bytes: CR and LF are the same single bytes in the code page and in ASCII,
// so the result is file bytes as well, to be decoded by the caller.
QByteArray joinDroppedLines(QByteArrayView bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const void* cr = std::memchr(p + i, '\r', static_cast<size_t>(n - i));
        const qsizetype end = cr ? static_cast<const char*>(cr) - p : n;
        if (!out.isEmpty()) out.append("\r\n", 2);
        out.append(p + i, end - i);
        if (!cr) break;
        i = end + 1;
        if (i < n && p[i] == '\n') ++i;   // CR LF is one line end
    }
    return out;
}

} // namespace fileops
