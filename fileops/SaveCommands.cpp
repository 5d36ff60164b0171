#include "fileops/SaveCommands.h"

#include "documents/DocumentCommands.h"
#include "documents/DocumentFrame.h"
#include "documents/DocumentJournal.h"
#include "documents/DocumentView.h"
#include "documents/FileTypes.h"
#include "documents/Form1.h"
#include "documents/LineEnds.h"
#include "fileops/DiskChanges.h"
#include "io/Charsets.h"
#include "io/DocumentWriter.h"
#include "io/FileStamp.h"
#include "io/RecentFiles.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

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
        return QCoreApplication::translate("SaveCommands", "The byte %1 in line %2, column %3 is not UTF-8 text and cannot be written in %4. "
                              "Nothing was written.")
            .arg(QStringLiteral("%1").arg(uint(at.character), 2, 16, QLatin1Char('0')).toUpper())
            .arg(where.line + 1)
            .arg(where.column + 1)
            .arg(io::encodingName(encoding));
    return QCoreApplication::translate("SaveCommands", "The character %1 in line %2, column %3 cannot be written in %4. "
                          "Nothing was written.")
        .arg(describeChar(at.character))
        .arg(where.line + 1)
        .arg(where.column + 1)
        .arg(encoding == io::Encoding::Windows1252 ? QCoreApplication::translate("SaveCommands", "the Windows-1252 code page")
                                                   : io::encodingName(encoding));
}

// Unicode encodings with a mark or without, UTF-16 of either order, are the same to a declaration.
bool sameForDeclaration(io::Encoding a, io::Encoding b) {
    return a == b || (io::isUtf8(a) && io::isUtf8(b)) || (io::isUtf16(a) && io::isUtf16(b));
}

// A save that makes the page's declaration of its encoding untrue (Save with Encoding, "as UTF-8
// instead") asks whether to change it to the encoding written: Yes changes it in the text, as one
// undoable change; No leaves it. A declaration that was already untrue of the file (read as
// UTF-8 against it, or kept as Windows-1252 byte for byte) is left alone. False for Cancel.
bool matchDeclaration(Form1& form, io::Encoding writing) {
    RichTextBox& rtb = *form.RTB1;
    if (form.fileEncoding() && sameForDeclaration(*form.fileEncoding(), writing)) return true;
    const qint64 n = std::min<qint64>(rtb.byteLength(), 1024);
    const QByteArray head = rtb.bytes(0, n);
    const io::Declaration declared = io::findDeclaration(head);
    if (!declared || sameForDeclaration(declared.encoding, writing)) return true;
    const QByteArray old = head.mid(declared.at, declared.length);
    QByteArray label = io::labelOf(writing);
    if (old == old.toLower()) label = label.toLower();   // the page's own way of writing it
    const tp::MsgResult answer =
        tp::MsgBox(QCoreApplication::translate("SaveCommands", "The page declares its encoding as %1, but it is being saved as %2.\r\n\r\n"
                                  "Change the declaration to %3?")
                       .arg(QString::fromLatin1(old), io::encodingName(writing), QString::fromLatin1(label)),
                   tp::MsgButtons::YesNoCancel, tp::MsgIcon::Question);
    if (answer == tp::MsgResult::Cancel) return false;
    if (answer == tp::MsgResult::Yes) rtb.editInOneStep([&] { rtb.replaceBytes(declared.at, declared.at + declared.length, label); });
    return true;
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
            QDir::toNativeSeparators(dlg.FileName) + QCoreApplication::translate("SaveCommands", " already exists.\r\nDo you want to replace it?"),
            tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation, QString(), tp::MsgResult::No);
        if (answer == tp::MsgResult::Yes) return dlg.FileName;
        if (answer == tp::MsgResult::Cancel) return QString();
    }
}

} // namespace

QByteArray finalLineEnd(const RichTextBox& rtb) {
    if (!DocumentView::preferences().finalLineEnd) return QByteArray();
    const qint64 length = rtb.byteLength();
    if (length > 0) {
        const char last = *rtb.rangePointer(length - 1, 1);
        if (last == '\r' || last == '\n') return QByteArray();
    }
    return lineends::bytes(lineends::enterKind(rtb)).toByteArray();
}

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
        // The dialog starts in the document's folder with its name filled in (Save As of a
        // titled document); an untitled one starts with an empty name.
        dlg.InitDir = documents::documentFolder(&form);
        if (!dlg.InitDir.isEmpty()) dlg.FileName = QFileInfo(form.filePath()).fileName();
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
    io::Encoding encoding = form.encoding();
    if (!matchDeclaration(form, encoding)) return false;
    QByteArray tail;
    const auto write = [&](io::Encoding as) {
        const qint64 length = rtb.byteLength();
        tail = finalLineEnd(rtb);
        WaitCursor wait;
        return io::writeDocument(target, length ? rtb.rangePointer(0, length) : "", length, as, tail);
    };
    io::DocumentWriteResult result = write(encoding);

    const QString fileText = QCoreApplication::translate("SaveCommands", "Can't save file: ") + target + QStringLiteral("\r\n\r\n");
    if (result.unwritable && !io::isUtf8(encoding) && !io::isUtf16(encoding)) {
        // A character the encoding lacks: UTF-8 can hold it, if the user wants that.
        const tp::MsgResult answer =
            tp::MsgBox(fileText + unwritableText(rtb, result.unwritable, encoding) +
                           QCoreApplication::translate("SaveCommands", "\r\n\r\nSave the document as UTF-8 instead? "
                                          "No leaves it open with its changes."),
                       tp::MsgButtons::YesNo, tp::MsgIcon::Question);
        if (answer != tp::MsgResult::Yes) return false;
        if (!matchDeclaration(form, io::Encoding::Utf8)) return false;
        encoding = io::Encoding::Utf8;
        result = write(encoding);
    }
    if (!result.ok) {
        const QString why = result.unwritable ? unwritableText(rtb, result.unwritable, encoding) : result.reason;
        // Whatever the failed save left (the old text or, rarely, the new one, whole) is the
        // window's own doing, not another program's; which of the two is not known.
        form.document().saveFailed(target);
        tp::MsgBox(fileText + why + QCoreApplication::translate("SaveCommands", "\r\n\r\nThe document stays open with its changes."));
        return false;
    }
    form.document().saved(target, encoding, tail, result.hash);
    // Other windows of the same file will know this change for this program's own.
    io::noteOwnWrite(io::FileIdentity::of(target), result.hash);
    io::rememberFile(target);
    return true;
}

} // namespace fileops
