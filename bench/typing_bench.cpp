// Typing with the typing aids (closing tags, pairs, abbreviations, completion lists) on against off, at the end of a
// 5 MB page: each key runs until the program is idle again.
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

void idle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void press(QWidget& w, int key, const QString& text) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &up);
}

void setAids(bool on) {
    prefs::Editor p = DocumentView::preferences();
    p.closeTags = p.pairBrackets = p.abbreviationsOnTab = p.completeAsYouType = on;
    DocumentView::setPreferences(p);
}

// Seconds for 200 keys of markup at the end of the file (best of three rounds): on each line a tag
// closed, quotes and brackets paired and typed over, and its end tag typed over.
double type200(MDIForm1& frame, const QString& path, bool aids) {
    setAids(aids);
    Form1* form = documents::openDocument(frame, path);
    if (!form) return 0;
    RichTextBox& rtb = *form->RTB1;
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&rtb, &end);
    idle();
    for (int i = 0; i < 100000 && rtb.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < rtb.byteLength(); ++i)
        QCoreApplication::processEvents();
    const QString keys = QStringLiteral("<p class=\"a\">(x) y</\r");
    const double s = bench::seconds(
        [&] {
        for (int i = 0; i < 200; ++i) {
            const QChar c = keys[i % keys.size()];
            press(rtb, c == QLatin1Char('\r') ? int(Qt::Key_Return) : int(Qt::Key_unknown), QString(c));
            idle();
        }
        },
        3);
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    setAids(true);
    return s;
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);   // the settings file is looked for here
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    const QByteArray doc = bench::makeDocument(qint64(5) << 20);
    const QString html = QDir(options.workDir).filePath(QStringLiteral("page5.html"));
    const QString text = QDir(options.workDir).filePath(QStringLiteral("page5.txt"));
    bench::writeFile(html, doc);
    bench::writeFile(text, doc);
    type200(frame, html, true);   // warms up: the first run pays for the fonts and layouts
    const double off = type200(frame, html, false);
    const double on = type200(frame, html, true);
    const double txt = type200(frame, text, true);
    bench::report(QStringLiteral("200 keys at the end of 5 MB .html, typing aids on"), on, QStringLiteral("aids off"), off);
    bench::report(QStringLiteral("200 keys at the end of 5 MB .html, typing aids on"), on, QStringLiteral("same bytes as .txt"), txt);
    QFile::remove(html);
    QFile::remove(text);
    QDir::setCurrent(previous);
}

bench::Register reg("typing", run);

} // namespace
