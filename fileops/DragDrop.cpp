#include "fileops/DragDrop.h"

#include "documents/DocumentCommands.h"
#include "io/TextLoader.h"
#include "io/Encoding.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <cstring>

#include <QCoreApplication>

namespace fileops {

void frameDropFile(DocumentFrame& frame, const QString& strFilename) { documents::openDocument(frame, strFilename); }

void documentDropFile(RichTextBox& txtDragDrop, const QString& strFilename) {
    QByteArray text;
    bool wellFormed = true;
    {
        io::TextLoader file;
        io::TextBuffer read;
        QString reason;
        WaitCursor wait;
        // Read as Open would read the file; its lines joined in the control's text.
        file.setAsciiEncoding(io::Encoding::Windows1252);
        const bool ok = file.open(strFilename, reason) && file.load(read, reason);
        file.close();
        if (ok) {
            text = joinDroppedLines(read.text);
            wellFormed = read.wellFormed;
        }
        wait.done();
        if (!ok) {
            // Nothing of a file that could not be read whole goes into the document.
            tp::MsgBox(QCoreApplication::translate("DragDrop", "Can't open file: ") + strFilename + QStringLiteral("\r\n\r\n") + reason);
            return;
        }
    }
    const qint64 end = txtDragDrop.byteLength();
    txtDragDrop.selectBytes(end, end);
    txtDragDrop.SetSelUtf8(text);
    if (!wellFormed) txtDragDrop.markMalformed();
}

// Works on the control's UTF-8 text: CR and LF are single bytes there, never part of another
// character.
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
