#include "documents/DocumentCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/DocumentJournal.h"
#include "documents/FileTypes.h"
#include "documents/Form1.h"
#include "documents/EditorSink.h"
#include "io/TextLoader.h"
#include "io/RecentFiles.h"
#include "platform/FileNames.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <algorithm>

#include <optional>

namespace documents {

Form1* NewDocument(DocumentFrame& frame) {
    const int i = frame.claimSlot();
    if (i == 0) return nullptr;
    Form1* form = frame.loadDocumentWindow(i);
    form->setCaption(QStringLiteral("Document ") + QString::number(i));
    frame.showDocumentWindow(form);
    form->setChanged(false);
    return form;
}

QString documentFolder(const Form1* form) {
    if (!form || form->filePath().isEmpty()) return QString();
    return QFileInfo(form->filePath()).absolutePath();
}

void mnuFileOpen(DocumentFrame& frame) {
    CommonDialog& dlg = frame.CommonDialog1;
    dlg.FileName.clear();
    dlg.InitDir = documentFolder(frame.ActiveForm());
    dlg.Filter = filetypes::openFilter();
    dlg.FilterIndex = 1;
    try {
        dlg.ShowOpen();
    } catch (const CommonDialogError&) {
        // Cancelling is never an error, whatever Print left set on the shared dialog.
        dlg.FileName.clear();
    }
    if (dlg.FileName.isEmpty()) return;
    openFile(frame, dlg.FileName);
}

Form1* openFile(DocumentFrame& frame, const QString& path) {
    frame.strCurrentFile = path;
    return openDocument(frame, path);
}

namespace {

// At most this many files are named in the message about the files of one command line.
constexpr int kNamedFailures = 20;

QString cantOpen(const QString& path, const QString& reason) {
    return QCoreApplication::translate("DocumentCommands", "Can't open file: ") + path +
           (reason.isEmpty() ? QString() : QStringLiteral("\r\n\r\n") + reason);
}

// Reads the file into a new window. When it cannot, nullptr and, unless nothing needs saying (no
// slot was left, which the frame has said), why: an empty reason when the name says enough.
Form1* load(DocumentFrame& frame, const QString& path, std::optional<QString>& problem) {
    io::TextLoader file;
    QString reason;
    if (!file.open(path, reason)) {
        // A file the editor cannot take (rather than one that cannot be opened) says why.
        problem = file.refused() ? reason : QString();
        return nullptr;
    }
    WaitCursor wait;
    const int i = frame.claimSlot();
    if (i == 0) return nullptr;
    Form1* form = frame.loadDocumentWindow(i);
    const QString caption = path.toUpper();
    form->setCaption(caption);
    form->setFile(path, caption);
    documents::Document& document = form->document();
    document.readingFile();
    const bool read = loadInto(*form->RTB1, file, reason);
    file.close();
    if (!read) {
        // No window may stay titled with the file while holding only part of it: a later Save
        // would write that part over the file.
        form->setChanged(false);
        form->closeWithoutAsking();
        problem = reason;
        return nullptr;
    }
    document.loaded(file);
    frame.showDocumentWindow(form);
    io::rememberFile(path);
    return form;
}

} // namespace

Form1* openDocument(DocumentFrame& frame, const QString& path) {
    std::optional<QString> problem;
    Form1* form = load(frame, path, problem);
    if (problem) tp::MsgBox(cantOpen(path, *problem));
    return form;
}

Form1* findOpenWindow(DocumentFrame& frame, const QString& path) {
    const io::FileIdentity file = io::FileIdentity::of(path);
    for (Form1* form : frame.documentWindows()) {
        if (form->filePath().isEmpty()) continue;
        if (form->filePath() == path) return form;
        // The record of the window's file is the file as last read or written: no look at the disk
        // for each window.
        const io::DiskRecord* record = form->diskRecord();
        if (file.exists && record && record->file.exists && record->file.device == file.device &&
            record->file.inode == file.inode)
            return form;
    }
    return nullptr;
}

void bringForward(DocumentFrame& frame, Form1& form) {
    QMdiSubWindow* sub = form.subWindow();
    if (!sub) return;
    if (sub->isMinimized()) sub->showNormal();
    frame.mdiArea()->setActiveSubWindow(sub);
    form.RTB1->setFocus();
}

Form1* untouchedStartWindow(DocumentFrame& frame) {
    for (Form1* form : frame.documentWindows()) {
        if (form->Caption() == QLatin1String("Document") && form->filePath().isEmpty() && !form->isChanged() &&
            form->RTB1->byteLength() == 0)
            return form;
    }
    return nullptr;
}

QList<Form1*> openFiles(DocumentFrame& frame, const QList<QByteArray>& names) {
    QList<Form1*> windows;
    QList<std::pair<QString, QString>> failed;   // the name as shown, and the reason
    const QPointer<Form1> startWindow = untouchedStartWindow(frame);
    for (const QByteArray& name : names) {
        const std::optional<QString> path = tp::exactName(name);
        std::optional<QString> problem;
        Form1* form = nullptr;
        if (path && QDir::isAbsolutePath(*path)) {
            if ((form = findOpenWindow(frame, *path))) {
                bringForward(frame, *form);
            } else {
                frame.strCurrentFile = *path;
                form = load(frame, *path, problem);
                // Nothing to say: the table is full (the frame said so), and the rest cannot open either.
                if (!form && !problem) break;
            }
        } else {
            problem = QString();
        }
        windows << form;
        if (problem) failed.append({path ? *path : tp::shownName(name), *problem});
    }
    // Closed only while still untouched: a message about a file may have let the user type into it.
    const bool opened = std::any_of(windows.begin(), windows.end(), [](Form1* f) { return f != nullptr; });
    if (opened && startWindow && startWindow == untouchedStartWindow(frame) && !windows.contains(startWindow.data()))
        startWindow->closeWithoutAsking();
    if (failed.size() == 1) {
        tp::MsgBox(cantOpen(failed.first().first, failed.first().second));
    } else if (failed.size() > 1) {
        QString text = QCoreApplication::translate("DocumentCommands", "Can't open %1 files:\r\n").arg(failed.size());
        for (const auto& [shown, reason] : failed.mid(0, kNamedFailures))
            text += QStringLiteral("\r\n") + shown + (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
        if (failed.size() > kNamedFailures)
            text += QCoreApplication::translate("DocumentCommands", "\r\n... and %1 more.").arg(failed.size() - kNamedFailures);
        tp::MsgBox(text);
    }
    return windows;
}

bool reloadDocument(DocumentFrame&, Form1& form) {
    const QString path = form.filePath();
    io::TextLoader file;
    QString reason;
    if (!file.open(path, reason)) {
        tp::MsgBox(QCoreApplication::translate("DocumentCommands", "Can't open file: ") + path + QStringLiteral("\r\n\r\n") + reason);
        return false;
    }
    RichTextBox& rtb = *form.RTB1;
    WaitCursor wait;
    QByteArray kept;   // the window's text, put back when the file cannot be read whole
    try {
        kept = rtb.bytes(0, rtb.byteLength());
    } catch (const std::bad_alloc&) {
        wait.done();
        tp::MsgBox(QCoreApplication::translate("DocumentCommands", "Can't open file: ") + path +
                   QCoreApplication::translate("DocumentCommands", "\r\n\r\nThere is not enough free memory to read it while this window holds its text."));
        return false;
    }
    const long firstLine = rtb.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long caretLine = rtb.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                             rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    // The window that keeps its text keeps its record too.
    documents::Document& document = form.document();
    const std::optional<io::DiskRecord> keptRecord = document.readingFile();
    const bool read = loadInto(rtb, file, reason);
    file.close();
    if (!read) {
        rtb.SetTextUtf8(kept);
        document.notLoaded(keptRecord);
        wait.done();
        tp::MsgBox(QCoreApplication::translate("DocumentCommands", "Can't open file: ") + path + QStringLiteral("\r\n\r\n") + reason +
                   QCoreApplication::translate("DocumentCommands", "\r\n\r\nThe window keeps its text."));
        return false;
    }
    // The caret goes to the start of its line and the view stays where it was, as far as the new
    // text reaches.
    rtb.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(caretLine));
    rtb.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    document.loaded(file);
    return true;
}

void mnuFileClose(DocumentFrame& frame) {
    if (!frame.ActiveForm()) return;
    // The active view closes (a further view of a document only that view).
    if (QMdiSubWindow* sub = frame.mdiArea()->currentSubWindow()) sub->close();
}

} // namespace documents
