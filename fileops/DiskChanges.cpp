#include "fileops/DiskChanges.h"

#include "documents/DocumentCommands.h"
#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWindow>
#include <QTimer>

namespace fileops {

namespace {
// Who changed the file, in the words of a question: "The file X has been changed ..." (or deleted).
QString changedBy(const io::DiskCheck& check) {
    if (check.change == io::DiskChange::Deleted) return QCoreApplication::translate("DiskChanges", "has been deleted or moved by another program");
    return check.ownSave ? QCoreApplication::translate("DiskChanges", "has been changed on disk by a save from another window of Tesselpad")
                         : QCoreApplication::translate("DiskChanges", "has been changed by another program");
}
} // namespace

OverwriteAnswer askBeforeOverwrite(const QString& path, io::DiskRecord& recorded) {
    const io::DiskCheck check = io::checkDisk(recorded, path, io::FileIdentity::of(path), /*thorough=*/true);
    if (check.change == io::DiskChange::None) return OverwriteAnswer::Write;
    const QString what = check.change == io::DiskChange::Deleted
                             ? QCoreApplication::translate("DiskChanges", " since it was opened or last saved.\r\n\r\n"
                                              "Do you want to write the text of this window to it again?")
                             : QCoreApplication::translate("DiskChanges", " since it was opened or last saved.\r\n\r\n"
                                              "Do you want to replace it with the text of this window?");
    switch (tp::MsgBox(QCoreApplication::translate("DiskChanges", "The file ") + path + QLatin1Char(' ') + changedBy(check) + what +
                           QCoreApplication::translate("DiskChanges", "\r\n\r\nYes writes the file; No saves the text under another name; "
                                          "Cancel writes nothing."),
                       tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation)) {
    case tp::MsgResult::Yes: return OverwriteAnswer::Write;
    case tp::MsgResult::No: return OverwriteAnswer::SaveAs;
    default: return OverwriteAnswer::Cancel;
    }
}

void checkDiskChange(DocumentFrame& frame, Form1& form) {
    io::DiskRecord* record = form.diskRecord();
    if (!record) return;
    const QString path = form.filePath();
    const io::FileIdentity now = io::FileIdentity::of(path);
    // The user was told of this state already.
    if (form.document().diskTold && now == *form.document().diskTold) return;
    const io::DiskCheck check = io::checkDisk(*record, path, now, /*thorough=*/false);
    if (check.change == io::DiskChange::None) return;
    form.document().diskTold = now;
    if (check.change == io::DiskChange::Deleted) {
        form.markFileGone();
        tp::MsgBox(QCoreApplication::translate("DiskChanges", "The file ") + path + QLatin1Char(' ') + changedBy(check) +
                       QCoreApplication::translate("DiskChanges", ".\r\n\r\nThe text stays in this window; Save writes it to the file again."),
                   tp::MsgButtons::OK, tp::MsgIcon::Exclamation);
        return;
    }
    const bool unsaved = form.isChanged();
    const tp::MsgResult answer =
        tp::MsgBox(QCoreApplication::translate("DiskChanges", "The file ") + path + QLatin1Char(' ') + changedBy(check) +
                       QCoreApplication::translate("DiskChanges", ".\r\n\r\nDo you want to reload it? Yes shows the file as it is now") +
                       (unsaved ? QCoreApplication::translate("DiskChanges", " and discards the changes made in this window") : QString()) +
                       QCoreApplication::translate("DiskChanges", "; No keeps the text of this window."),
                   tp::MsgButtons::YesNo, tp::MsgIcon::Exclamation);
    if (answer == tp::MsgResult::Yes) documents::reloadDocument(frame, form);
}

DiskFollower::DiskFollower(DocumentFrame& frame) : QObject(frame.frameWidget()), frame_(frame) {
    connect(frame.mdiArea(), &QMdiArea::subWindowActivated, this, &DiskFollower::scheduleCheck);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &DiskFollower::scheduleCheck);
    connect(&watcher_, &io::DiskWatcher::changed, this, [this](const QString& path) {
        if (Form1* active = frame_.ActiveForm(); active && active->filePath() == path) scheduleCheck();
    });
    // A write that the file's times may not show: the windows of the file look at its content.
    connect(&watcher_, &io::DiskWatcher::touched, this, [this](const QString& path) {
        for (auto it = files_.cbegin(); it != files_.cend(); ++it)
            if (it.value() == path)
                if (io::DiskRecord* record = it.key()->diskRecord()) record->touched = true;
        if (Form1* active = frame_.ActiveForm(); active && active->filePath() == path) scheduleCheck();
    });
}

void DiskFollower::follow(Form1& form) {
    Form1* key = &form;
    connect(&form, &Form1::fileAssigned, this, [this, key](const QString& path) {
        watcher_.unwatch(files_.value(key));
        files_.insert(key, path);
        watcher_.watch(path);
    });
    // The watch goes on the file just read or written at once: a write to it from then on is seen.
    connect(&form, &Form1::diskRecorded, this, [this, key] { watcher_.refresh(files_.value(key)); });
    connect(&form, &QObject::destroyed, this, [this, key] { watcher_.unwatch(files_.take(key)); });
}

void DiskFollower::scheduleCheck() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        checkActive();
    });
}

void DiskFollower::checkActive() {
    // Not while a dialog, a message or a menu is up, nor while another program is in front: the
    // next activation comes back here.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() ||
        QApplication::activeWindow() != frame_.frameWidget())
        return;
    if (Form1* form = frame_.ActiveForm()) checkDiskChange(frame_, *form);
}

} // namespace fileops
