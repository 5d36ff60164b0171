// How fast the view answers: the first visit to the end of a coloured page right after opening it,
// pages whose lines are megabytes long (minified pages and bundles), and typing with matching and
// automatic indentation on against off.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// Everything the program does before it waits for the next input: pending events, painting (an
// update asked for while events are handled is painted in the next round).
void idle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void press(RichTextBox& rtb, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&rtb, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&rtb, &up);
}

// 'bytes' of the generated page with its line ends taken out every 'lineBytes' bytes: lines of
// about that length.
QByteArray longLines(qint64 bytes, qint64 lineBytes) {
    QByteArray doc = bench::makeDocument(bytes);
    doc.replace("\r\n", " ");
    for (qint64 at = lineBytes; at + 2 < doc.size(); at += lineBytes) {
        doc[at] = '\r';
        doc[at + 1] = '\n';
    }
    return doc;
}

struct LongTimes {
    double open = 0, end = 0, home = 0, key = 0;
};

LongTimes measureLong(MDIForm1& frame, const QString& path) {
    LongTimes t;
    Form1* form = nullptr;
    t.open = bench::seconds([&] {
        form = documents::openDocument(frame, path);
        idle();
    });
    if (!form) return t;
    RichTextBox& rtb = *form->RTB1;
    t.end = bench::seconds([&] {
        press(rtb, Qt::Key_End, Qt::ControlModifier);
        idle();
    });
    constexpr int kKeys = 20;
    t.key = bench::seconds([&] {
        for (int i = 0; i < kKeys; ++i) {
            press(rtb, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            idle();
        }
    }) / kKeys;
    t.home = bench::seconds([&] {
        press(rtb, Qt::Key_Home, Qt::ControlModifier);
        idle();
    });
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    return t;
}

void runLongLines(const bench::Options& options, MDIForm1& frame) {
    const qint64 total = qint64(options.sizesMb.empty() ? 100 : options.sizesMb.back()) << 20;
    const QString longPath = QDir(options.workDir).filePath(QStringLiteral("bundle.txt"));
    const QString shortPath = QDir(options.workDir).filePath(QStringLiteral("page.txt"));
    writeFile(longPath, longLines(total, qint64(1) << 20));
    writeFile(shortPath, bench::makeDocument(total));
    const LongTimes ordinary = measureLong(frame, shortPath);
    const LongTimes lng = measureLong(frame, longPath);
    const QString size = QStringLiteral("%1 MB").arg(total >> 20);
    bench::report(QStringLiteral("open %1 of 1 MB lines").arg(size), lng.open, QStringLiteral("ordinary lines"), ordinary.open);
    bench::report(QStringLiteral("Ctrl+End, 1 MB lines"), lng.end, QStringLiteral("ordinary lines"), ordinary.end);
    bench::report(QStringLiteral("key at the end of a 1 MB line (mean of 20)"), lng.key, QStringLiteral("ordinary lines"), ordinary.key);
    bench::report(QStringLiteral("Ctrl+Home, 1 MB lines"), lng.home, QStringLiteral("ordinary lines"), ordinary.home);
    QFile::remove(longPath);
    QFile::remove(shortPath);
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);   // the settings file is looked for here
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    runLongLines(options, frame);
    QDir::setCurrent(previous);
}

bench::Register reg("view", run);

} // namespace
