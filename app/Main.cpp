#include "app/Main.h"

#include "app/Activation.h"
#include "app/MDIForm1.h"
#include "io/Settings.h"
#include "app/frmSplash.h"
#include "documents/Recovery.h"

#include "documents/DocumentCommands.h"
#include "fileops/Session.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <utility>

namespace {
// Not an owner: the frame is deleted as the event loop ends, while the application object still
// exists (widgets destroyed after it crash in the windowing layer).
QPointer<MDIForm1> g_frame;
QList<QByteArray> g_waitingFiles;   // for the frame, once it is shown and no dialog is up
bool g_sessionWaiting = false;      // the last session, too, before those files

void openWaitingFiles() {
    if (!g_frame || (g_waitingFiles.isEmpty() && !g_sessionWaiting)) return;
    if (QApplication::activeModalWidget()) {
        // After the dialog: the files must not open behind it, nor their messages stack on it.
        QTimer::singleShot(250, g_frame.data(), openWaitingFiles);
        return;
    }
    if (std::exchange(g_sessionWaiting, false)) fileops::reopenLastSession(*g_frame, /*atStart=*/true);
    // Those that cannot be opened are reported together, in one message.
    if (!g_waitingFiles.isEmpty()) documents::openFiles(*g_frame, std::exchange(g_waitingFiles, {}));
}
} // namespace

MDIForm1* mainFrame() { return g_frame.data(); }

void showMainFrame() {
    if (g_frame) return;
    g_frame = new MDIForm1;
    QObject::connect(g_frame.data(), &MDIForm1::ended, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, g_frame.data(), [] { delete g_frame.data(); });
    g_frame->MDIForm_Load();
    g_frame->show();
    // Once the frame is up: unsaved work left by a run that ended without cleaning up (the files
    // handed over wait until that offer is answered).
    QMetaObject::invokeMethod(
        g_frame.data(), [] { recovery::offerAtStart(*g_frame); }, Qt::QueuedConnection);
    if (!g_waitingFiles.isEmpty() || g_sessionWaiting) QTimer::singleShot(0, g_frame.data(), openWaitingFiles);
}

void openFiles(const QList<QByteArray>& files, bool raise, const QByteArray& activationToken) {
    g_waitingFiles += files;
    if (!g_frame) return;   // the splash screen is up: the frame opens them once it is shown
    if (raise) activation::bringToFront(*g_frame, activationToken);
    QTimer::singleShot(0, g_frame.data(), openWaitingFiles);
}

void reopenSessionAtStart() {
    if (!fileops::reopensAtStart()) return;
    g_sessionWaiting = true;
    if (g_frame) QTimer::singleShot(0, g_frame.data(), openWaitingFiles);
}

void Main() {
    if (settings::read().splashOn()) {
        frmSplash::showSplash(showMainFrame);   // shows the frame when it closes
        return;
    }
    showMainFrame();
}
