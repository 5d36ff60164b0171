#include "app/Main.h"

#include "app/MDIForm1.h"
#include "io/Settings.h"
#include "app/frmSplash.h"

#include <QApplication>
#include <memory>

namespace {
std::unique_ptr<MDIForm1> g_frame;
} // namespace

MDIForm1* mainFrame() { return g_frame.get(); }

void showMainFrame() {
    if (g_frame) return;
    g_frame = std::make_unique<MDIForm1>();
    QObject::connect(g_frame.get(), &MDIForm1::ended, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
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
