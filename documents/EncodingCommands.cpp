#include "documents/EncodingCommands.h"

#include "documents/DocumentTable.h"
#include "documents/Form1.h"
#include "documents/EditorSink.h"
#include "io/TextLoader.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>

namespace documents {

bool canReopen(const Form1& form) {
    return !form.filePath().isEmpty() && form.table().valid(form.slot()) && !form.isChanged();
}

bool reopenWithEncoding(Form1& form, io::Encoding encoding) {
    if (!canReopen(form)) return false;
    const QString path = form.filePath();
    const io::Encoding before = form.encoding();
    const QString beforeNote = form.encodingNote();
    RichTextBox& rtb = *form.RTB1;
    // The caret keeps its line (at its start) and the view its first line, as far as the text reaches.
    const long firstLine = rtb.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long caretLine = rtb.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                             rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    documents::Document& document = form.document();
    io::TextLoader file;
    const auto read = [&rtb, &path, &file](io::Encoding as, QString& reason) {
        return file.open(path, reason) && loadInto(rtb, file, reason, as);
    };
    WaitCursor wait;
    QString reason;
    // The window holds the file as it is now, whatever changed on disk before.
    document.readingFile();
    const bool ok = read(encoding, reason);
    QString keptReason;
    // A file that cannot be read so is read back as it was (it was unchanged).
    const bool kept = ok || read(before, keptReason);
    wait.done();
    if (kept) {
        document.loaded(file);
        if (!ok) document.setFileEncoding(file.encoding(), beforeNote);
        rtb.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(caretLine));
        rtb.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    } else {
        form.setChanged(false);
        form.closeWithoutAsking();   // no window may hold part of its file
    }
    if (!ok) tp::MsgBox(QCoreApplication::translate("EncodingCommands", "Can't open file: ") + path + QStringLiteral("\r\n\r\n") + reason);
    return ok;
}

void setSaveEncoding(Form1& form, io::Encoding encoding) {
    if (encoding == form.encoding()) return;
    form.setEncoding(encoding);
    form.RTB1_Change();   // the file the next save writes differs from the one on disk
}

} // namespace documents
