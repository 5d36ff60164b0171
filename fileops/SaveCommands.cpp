#include "fileops/SaveCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentJournal.h"
#include "documents/FileTypes.h"
#include "documents/Form1.h"
#include "fileops/DiskChanges.h"
#include "io/DocumentWriter.h"
#include "io/FileStamp.h"
#include "io/RecentFiles.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFileInfo>

namespace fileops {

namespace {
bool untitled(const QString& caption) { return caption.left(8) == QLatin1String("Document"); }

QString describeChar(char32_t ch) {
    const QString code = QStringLiteral("U+%1").arg(uint(ch), 4, 16, QLatin1Char('0')).toUpper();
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || (ch >= 0xD800 && ch < 0xE000)) return code;
    return QStringLiteral("\"") + QString::fromUcs4(&ch, 1) + QStringLiteral("\" (") + code + QLatin1Char(')');
}
// Why the text cannot be written in the encoding, with the place.
QString unwritableText(RichTextBox& rtb, const io::Unwritable& at, io::Encoding encoding) {
    const RichTextBox::LineColumn where = rtb.lineColumnAt(at.offset);
    if (at.notText)
        return QStringLiteral("The byte %1 in line %2, column %3 is not UTF-8 text and cannot be written in %4. "
                              "Nothing was written.")
            .arg(QStringLiteral("%1").arg(uint(at.character), 2, 16, QLatin1Char('0')).toUpper())
            .arg(where.line + 1)
            .arg(where.column + 1)
            .arg(io::encodingName(encoding));
    return QStringLiteral("The character %1 in line %2, column %3 cannot be written in the %4 code page. "
                          "Nothing was written.")
        .arg(describeChar(at.character))
        .arg(where.line + 1)
        .arg(where.column + 1)
        .arg(io::encodingName(encoding));
}

// A name chosen in the Save dialog that would overwrite a file other than the window's own.
bool replacesAnotherFile(const Form1& form, const QString& chosen) {
    const QFileInfo target(chosen);
    if (!target.exists()) return false;
    const QString own = untitled(form.Caption()) ? QString() : form.fileFor(form.Caption());
    return own.isEmpty() || target.canonicalFilePath() != QFileInfo(own).canonicalFilePath();
}

// The Save dialog until a name is chosen that replaces no other file, or the user agrees to
// replace it (No shows the dialog again, Cancel gives up). Empty when cancelled.
QString askSaveName(CommonDialog& dlg, const Form1& form) {
    while (true) {
        try {
            dlg.ShowSave();
        } catch (const CommonDialogError&) {
            dlg.FileName.clear();   // a cancel is never an error
        }
        if (dlg.FileName.isEmpty() || !replacesAnotherFile(form, dlg.FileName)) return dlg.FileName;
        const tp::MsgResult answer = tp::MsgBox(
            QDir::toNativeSeparators(dlg.FileName) + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
            tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation, QString(), tp::MsgResult::No);
        if (answer == tp::MsgResult::Yes) return dlg.FileName;
        if (answer == tp::MsgResult::Cancel) return QString();
    }
}

} // namespace

void mnuFileSave(DocumentFrame& frame) {
    if (Form1* form = frame.ActiveForm()) SaveWindow(frame, *form);
}

bool SaveWindow(DocumentFrame& frame, Form1& form) {
    const QString caption = form.Caption();
    frame.strCurrentFile = untitled(caption) ? QString() : caption;
    return SaveFile(frame, form);
}

void mnuFileSaveAs(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    frame.strCurrentFile.clear();
    SaveFile(frame, *form);
}

bool SaveFile(DocumentFrame& frame, Form1& form) {
    CommonDialog& dlg = frame.CommonDialog1;
    dlg.Filter = filetypes::saveFilter();
    dlg.FileName.clear();
    if (frame.strCurrentFile.isEmpty()) {
        dlg.FileName = askSaveName(dlg, form);
        frame.strCurrentFile = dlg.FileName;
        if (frame.strCurrentFile.isEmpty()) return false;
        form.setCaption(frame.strCurrentFile);
        form.setFile(frame.strCurrentFile, frame.strCurrentFile);
    }
    const QString target = form.fileFor(frame.strCurrentFile);
    // Another program (or another window) changed the window's own file since it was read or
    // written: ask first.
    if (form.diskRecord() && target == form.filePath()) {
        switch (askBeforeOverwrite(target, *form.diskRecord())) {
        case OverwriteAnswer::Write:
            break;
        case OverwriteAnswer::SaveAs:
            frame.strCurrentFile.clear();
            return SaveFile(frame, form);
        case OverwriteAnswer::Cancel:
            return false;
        }
    }

    RichTextBox& rtb = *form.RTB1;
    const qint64 length = rtb.byteLength();
    const char* text = length ? rtb.rangePointer(0, length) : "";
    const io::Encoding encoding = form.encoding();
    WaitCursor wait;
    DocumentWriteResult result = writeDocument(target, text, length, encoding);
    wait.done();

    const QString fileText = QStringLiteral("Can't save file: ") + target + QStringLiteral("\r\n\r\n");
    if (result.unwritable && encoding == io::Encoding::Windows1252) {
        // A character the code page lacks: UTF-8 can hold it, if the user wants that.
        const tp::MsgResult answer =
            tp::MsgBox(fileText + unwritableText(rtb, result.unwritable, encoding) +
                           QStringLiteral("\r\n\r\nSave the document as UTF-8 instead? "
                                          "No leaves it open with its changes."),
                       tp::MsgButtons::YesNo, tp::MsgIcon::Question);
        if (answer != tp::MsgResult::Yes) return false;
        WaitCursor again;
        result = writeDocument(target, length ? rtb.rangePointer(0, length) : "", length, io::Encoding::Utf8);
        again.done();
        if (result.ok) form.setEncoding(io::Encoding::Utf8);
    }
    if (!result.ok) {
        const QString why = result.unwritable ? unwritableText(rtb, result.unwritable, encoding) : result.reason;
        // Whatever the failed save left (the old text or, rarely, the new one, whole) is the
        // window's own doing, not another program's; which of the two is not known.
        if (form.diskRecord() && target == form.filePath()) form.recordDisk();
        tp::MsgBox(fileText + why + QStringLiteral("\r\n\r\nThe document stays open with its changes."));
        return false;
    }
    DocumentTable& table = frame.table();
    if (table.valid(form.slot())) table.DocumentStates[form.slot()].Changed = 0;
    // Saved: the recovery journal goes; the file now holds the text (and the closing CR LF).
    if (DocumentJournal* journal = form.journal()) journal->savedTo(target, io::stampOfPath(target), "\r\n");
    if (target == form.filePath()) form.recordDisk(result.hash);
    // Other windows of the same file will know this change for this program's own.
    io::noteOwnWrite(io::FileIdentity::of(target), result.hash);
    io::rememberFile(target);
    return true;
}

} // namespace fileops
