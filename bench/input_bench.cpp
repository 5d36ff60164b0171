// Input first: keys typed at the end of a page right after it opens, and Ctrl+End on a freshly
// opened page, against the same bytes as a plain-text file. The colouring of a page must never make
// a key or a paint wait for more than a slice of it.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QThread>

#include <ctime>

namespace {

using Sci = QsciScintillaBase;
using Clock = std::chrono::steady_clock;

double since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs the events until the program has had nothing to do for 'quiet' seconds (or 'limit' passed):
// returns when the last event that took more than a millisecond ended, from t0.
double untilIdle(Clock::time_point t0, double quiet = 0.5, double limit = 20) {
    QAbstractEventDispatcher* events = QAbstractEventDispatcher::instance();
    double lastBusy = since(t0);
    for (;;) {
        const auto a = Clock::now();
        QCoreApplication::sendPostedEvents();
        const bool any = events->processEvents(QEventLoop::AllEvents);
        if (any && since(a) > 0.001) lastBusy = since(t0);
        const double now = since(t0);
        if (now - lastBusy > quiet || now > limit) return lastBusy;
        if (!any) QThread::usleep(500);
    }
}

void press(QWidget& w, int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&w, &up);
}

Form1* open(MDIForm1& frame, const QString& path) {
    Form1* form = documents::openDocument(frame, path);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return form;
}

void close(Form1* form) {
    if (!form) return;
    form->closeWithoutAsking();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Seconds for 200 keys typed at the end right after the file opens, each key followed by what the
// program does before the next (painting and the background work of one turn).
double typeAfterOpen(MDIForm1& frame, const QString& path) {
    Form1* form = open(frame, path);
    if (!form) return 0;
    RichTextBox& rtb = *form->RTB1;
    const auto t0 = Clock::now();
    press(rtb, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::processEvents();
    for (int i = 0; i < 200; ++i) {
        press(rtb, Qt::Key_A + i % 26, Qt::NoModifier, QString(QChar(u'a' + i % 26)));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    const double s = since(t0);
    close(form);
    return s;
}

struct CtrlEnd {
    double shown = 0;   // the key and the paint of the end
    double idle = 0;    // until the program has nothing more to do
    double cpu = 0;     // processor time over that
    bool coloured = false;
};

CtrlEnd ctrlEnd(MDIForm1& frame, const QString& path) {
    CtrlEnd r;
    Form1* form = open(frame, path);
    if (!form) return r;
    RichTextBox& rtb = *form->RTB1;
    untilIdle(Clock::now(), 0.3);
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    press(rtb, Qt::Key_End, Qt::ControlModifier);
    rtb.repaint();
    r.shown = since(t0);
    // The end is coloured when the text of the last screen line holds a style besides the default.
    const qint64 end = rtb.byteLength();
    const long line = rtb.SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end));
    for (long l = line; l > line - 10 && l >= 0 && !r.coloured; --l) {
        const long a = rtb.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(l));
        const long b = rtb.SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(l));
        for (long p = a; p < b && !r.coloured; ++p)
            r.coloured = rtb.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(p)) != 0;
    }
    r.idle = untilIdle(t0);
    r.cpu = cpuSeconds() - cpu0;
    close(form);
    return r;
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);   // the settings file is looked for here
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    const auto pathOf = [&](int mb, const char* ext) {
        return QDir(options.workDir).filePath(QStringLiteral("input%1.%2").arg(mb).arg(QLatin1String(ext)));
    };
    for (const int mb : {5, 10, 18}) {
        const QByteArray doc = bench::makeDocument(qint64(mb) << 20);
        bench::writeFile(pathOf(mb, "html"), doc);
        bench::writeFile(pathOf(mb, "txt"), doc);
    }
    typeAfterOpen(frame, pathOf(5, "txt"));   // warms up the fonts and layouts
    for (const int mb : {5, 18}) {
        const double txt = typeAfterOpen(frame, pathOf(mb, "txt"));
        const double html = typeAfterOpen(frame, pathOf(mb, "html"));
        bench::report(QStringLiteral("200 keys at the end after open, %1 MB .html").arg(mb), html,
                      QStringLiteral("same bytes as .txt"), txt);
    }
    const CtrlEnd txt = ctrlEnd(frame, pathOf(10, "txt"));
    const CtrlEnd html = ctrlEnd(frame, pathOf(10, "html"));
    bench::report(QStringLiteral("Ctrl+End after open, 10 MB .html, shown"), html.shown, QStringLiteral("same bytes as .txt"),
                  txt.shown);
    bench::report(QStringLiteral("Ctrl+End after open, 10 MB .html, idle"), html.idle, QStringLiteral("same bytes as .txt"),
                  txt.idle);
    bench::report(QStringLiteral("Ctrl+End after open, 10 MB .html, CPU"), html.cpu, QStringLiteral("same bytes as .txt"),
                  txt.cpu);
    bench::note(QStringLiteral("the end coloured at once, 10 MB .html"), html.coloured ? QStringLiteral("yes") : QStringLiteral("no"));
    for (const int mb : {5, 10, 18}) {
        QFile::remove(pathOf(mb, "html"));
        QFile::remove(pathOf(mb, "txt"));
    }
    QDir::setCurrent(previous);
}

bench::Register reg("input", run);

} // namespace
