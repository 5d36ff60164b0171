#include "app/Main.h"

#include "app/MDIForm1.h"
#include "io/Settings.h"
#include "app/frmSplash.h"

#include <QApplication>
#include <QPointer>

namespace {
// Not an owner: the frame is deleted as the event loop ends, while the application object still
// exists (widgets destroyed after it crash in the windowing layer).
QPointer<MDIForm1> g_frame;
} // namespace

MDIForm1* mainFrame() { return g_frame.data(); }

void showMainFrame() {
    if (g_frame) return;
    g_frame = new MDIForm1;
    QObject::connect(g_frame.data(), &MDIForm1::ended, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, g_frame.data(), [] { delete g_frame.data(); });
    g_frame->MDIForm_Load();
    g_frame->show();
}

void Main() {
    if (settings::read().splashOn()) {
        frmSplash::showSplash(showMainFrame);   // shows the frame when it closes
        return;
    }
    showMainFrame();
}
