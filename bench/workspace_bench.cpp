// Many documents: going from one to the next with Ctrl+Tab among 200 pages of 50 KB, as windows
// and as tabs, each switch until the frame has drawn it (best and slowest of 200 switches).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>

#include <algorithm>

namespace {

QAction* keyAction(MDIForm1& frame, const QKeySequence& key) {
    for (QAction* a : frame.actions())
        if (a->shortcut() == key) return a;
    return nullptr;
}

void switching(MDIForm1& frame, const QString& mode, double open) {
    QAction* next = keyAction(frame, QKeySequence(QStringLiteral("Ctrl+Tab")));
    if (!next) return bench::note(QStringLiteral("Ctrl+Tab"), QStringLiteral("no such key"));
    QCoreApplication::processEvents();
    double slowest = 0, total = 0, best = 1e9;
    const int n = 200;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        next->trigger();
        QCoreApplication::processEvents();   // drawn
        const double s = t.nsecsElapsed() / 1e9;
        slowest = std::max(slowest, s);
        best = std::min(best, s);
        total += s;
    }
    bench::report(QStringLiteral("Ctrl+Tab among 200 x 50 KB, %1, mean (best %2 ms, slowest %3 ms)")
                      .arg(mode)
                      .arg(best * 1000, 0, 'f', 1)
                      .arg(slowest * 1000, 0, 'f', 1),
                  total / n, QStringLiteral("one open of 50 KB"), open);
}

const bench::Register reg("workspace", [](const bench::Options& options) {
    const QString dir = options.workDir + QStringLiteral("/workspace");
    QDir().mkpath(dir);
    const QByteArray page = bench::makeDocument(50 * 1024);
    QList<QByteArray> names;
    for (int i = 0; i < 200; ++i) {
        const QString path = dir + QStringLiteral("/page%1.htm").arg(i, 3, 10, QLatin1Char('0'));
        bench::writeFile(path, page);
        names << QFile::encodeName(path);
    }
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.resize(1280, 900);
    frame.show();
    QElapsedTimer t;
    t.start();
    documents::openFiles(frame, names);
    const double all = t.nsecsElapsed() / 1e9;
    bench::note(QStringLiteral("200 x 50 KB from one command line"), QStringLiteral("%1 s").arg(all, 0, 'f', 2));
    const double open = all / 200;
    if (frame.mdiArea()->viewMode() == QMdiArea::TabbedView) frame.mnuWindowCascade_Click();
    switching(frame, QStringLiteral("windows"), open);
    frame.mnuViewTabbed_Click();
    switching(frame, QStringLiteral("tabs"), open);
    frame.mnuViewTabbed_Click();   // the user's choice as it was
    for (Form1* f : frame.documentWindows()) f->closeWithoutAsking();
    QCoreApplication::processEvents();
});

} // namespace
