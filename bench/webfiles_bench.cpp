// The files a web author opens besides pages: opening and typing in JavaScript against the same
// bytes as plain text, and what the fold margin costs (the first visit to the end of a page right
// after opening it, typing at the end) against the margin off; Fold All and Toggle Comment on a
// whole large file. Each figure runs from the request until the program is idle again.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/ToggleComment.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>

namespace {

void idle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void press(QWidget& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&w, &up);
}

// About 'bytes' of script as libraries are written: functions, nested blocks, strings, comments.
QByteArray makeScript(qint64 bytes) {
    QByteArray out;
    out.reserve(bytes + 1024);
    for (int n = 0; out.size() < bytes; ++n) {
        const QByteArray i = QByteArray::number(n);
        out += "/**\n * Part " + i + " of the library.\n */\nfunction part" + i + "( list, options ) {\n"
               "\tvar total = 0, name = \"item-" + i + "\";\n\tfor ( var k = 0; k < list.length; k++ ) {\n"
               "\t\tif ( list[ k ] && typeof list[ k ] === \"object\" ) {\n\t\t\ttotal += list[ k ].size || 0; // sizes\n"
               "\t\t} else {\n\t\t\ttotal += /^\\d+$/.test( list[ k ] ) ? +list[ k ] : 1;\n\t\t}\n\t}\n"
               "\treturn { name: name, total: total, at: `part ${ " + i + " }` };\n}\n\n";
    }
    out.truncate(bytes);
    return out;
}

struct Times {
    double open = 0, end = 0, keys = 0;
};

// Opens the file, goes to its end as the first thing, then types 200 keys there.
Times measure(MDIForm1& frame, const QString& path) {
    Times t;
    Form1* form = nullptr;
    t.open = bench::seconds([&] {
        form = documents::openDocument(frame, path);
        idle();
    });
    if (!form) return t;
    RichTextBox& rtb = *form->RTB1;
    t.end = bench::seconds([&] {
        press(rtb, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents();
        rtb.viewport()->repaint();
    });
    t.keys = bench::seconds([&] {
        for (int i = 0; i < 200; ++i) {
            press(rtb, Qt::Key_A + i % 26, Qt::NoModifier, QString(QChar(u'a' + i % 26)));
            idle();
        }
    });
    form->closeWithoutAsking();
    idle();
    return t;
}

void setFoldMargin(bool on) {
    prefs::Editor p = DocumentView::preferences();
    p.foldMargin = on;
    DocumentView::setPreferences(p);
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    idle();
    const bool keptMargin = DocumentView::preferences().foldMargin;
    const auto file = [&](const QString& name) { return QDir(options.workDir).filePath(name); };
    for (const int mb : {100, 10, 5}) {
        const QByteArray script = makeScript(qint64(mb) << 20);
        const QByteArray page = bench::makeDocument(qint64(mb) << 20);
        const QString js = file(QStringLiteral("lib%1.js").arg(mb)), jsText = file(QStringLiteral("lib%1.txt").arg(mb));
        const QString html = file(QStringLiteral("page%1.html").arg(mb));
        bench::writeFile(js, script);
        bench::writeFile(jsText, script);
        bench::writeFile(html, page);
        setFoldMargin(true);
        const Times plain = measure(frame, jsText);
        const Times ours = measure(frame, js);
        const QString size = QStringLiteral("%1 MB").arg(mb);
        bench::report(QStringLiteral("open %1 .js").arg(size), ours.open, QStringLiteral("same bytes as .txt"), plain.open);
        bench::report(QStringLiteral("Ctrl+End right after opening %1 .js").arg(size), ours.end,
                      QStringLiteral("same bytes as .txt"), plain.end);
        bench::report(QStringLiteral("200 keys at the end of %1 .js").arg(size), ours.keys,
                      QStringLiteral("same bytes as .txt"), plain.keys);
        if (mb <= 10) {
            const Times folding = measure(frame, html);
            setFoldMargin(false);
            const Times bare = measure(frame, html);
            const Times bareJs = measure(frame, js);
            setFoldMargin(true);
            bench::report(QStringLiteral("Ctrl+End right after opening %1 .html, fold margin").arg(size), folding.end,
                          QStringLiteral("margin off"), bare.end);
            bench::report(QStringLiteral("200 keys at the end of %1 .html, fold margin").arg(size), folding.keys,
                          QStringLiteral("margin off"), bare.keys);
            bench::report(QStringLiteral("Ctrl+End right after opening %1 .js, fold margin").arg(size), ours.end,
                          QStringLiteral("margin off"), bareJs.end);
        }
        if (mb == 5) {
            for (const QString& path : {html, js}) {
                Form1* form = documents::openDocument(frame, path);
                idle();
                const double fold = bench::seconds([&] {
                    DocumentView::of(form)->foldAll();
                    idle();
                });
                bench::note(QStringLiteral("Fold All, %1 %2").arg(size, QFileInfo(path).suffix()),
                            QStringLiteral("%1 s").arg(fold, 0, 'f', 3));
                form->RTB1->selectBytes(0, form->RTB1->byteLength());
                const double toggle = bench::seconds([&] {
                    frame.mnuEditToggleComment_Click();
                    idle();
                });
                bench::note(QStringLiteral("Toggle Comment of every line, %1 %2").arg(size, QFileInfo(path).suffix()),
                            QStringLiteral("%1 s").arg(toggle, 0, 'f', 3));
                form->closeWithoutAsking();
                idle();
            }
        }
        for (const QString& path : {js, jsText, html}) QFile::remove(path);
    }
    setFoldMargin(keptMargin);
    QDir::setCurrent(previous);
}

bench::Register reg("webfiles", run);

} // namespace
