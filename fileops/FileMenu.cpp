#include "fileops/FileMenu.h"

#include "documents/DocumentCommands.h"
#include "documents/DocumentFrame.h"
#include "io/RecentFiles.h"
#include "platform/Modal.h"

#include <QCoreApplication>
#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>

namespace fileops {

void mnuFile(DocumentFrame& frame) {
    frame.setItemsEnabled({"mnuFileClose", "mnuFileSave", "mnuFileSaveAs", "mnuFilePrint"},
                          frame.ActiveForm() != nullptr);
}

void showRecentFiles(DocumentFrame& frame) {
    QMenu* file = frame.menu("mnuFile");
    QAction* below = frame.item("mnuFileBar3");
    if (!file || !below) return;
    for (QAction* a : file->actions())
        if (a->objectName().startsWith(QLatin1String("mnuFileRecent"))) delete a;
    const QStringList files = io::recentFiles();
    if (files.isEmpty()) return;
    file->insertSeparator(below)->setObjectName(QStringLiteral("mnuFileRecentBar"));
    // A long path loses its middle, keeping the file's name; the whole path is the tip.
    const QFontMetrics metrics(file->font());
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        // A line break in a name shows as its symbol, keeping the item on one line.
        const QString oneLine =
            QString(path).replace(QLatin1Char('\n'), QChar(0x2424)).replace(QLatin1Char('\r'), QChar(0x240D));
        const QString shown = metrics.elidedText(oneLine, Qt::ElideMiddle, metrics.averageCharWidth() * 60);
        auto* a = new QAction(QStringLiteral("&%1 ").arg(i + 1) + QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")), file);
        a->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        a->setToolTip(path);
        a->setStatusTip(path);
        QObject::connect(a, &QAction::triggered, file, [&frame, path] { openRecentFile(frame, path); });
        file->insertAction(below, a);
    }
    file->setToolTipsVisible(true);
}

void openRecentFile(DocumentFrame& frame, const QString& path) {
    // A file open already comes forward rather than into a second window.
    if (Form1* open = documents::findOpenWindow(frame, path)) {
        documents::bringForward(frame, *open);
        return;
    }
    if (!QFileInfo::exists(path)) {
        io::forgetFile(path);
        tp::MsgBox(QCoreApplication::translate("FileMenu", "Can't open file: ") + path +
                   QCoreApplication::translate("FileMenu", "\r\n\r\nIt is no longer there, and has been taken off the list of recent files."));
        return;
    }
    documents::openFile(frame, path);
}

} // namespace fileops
