// How fast the view answers: the first visit to the end of a coloured page right after opening it,
// typing with matching and automatic indentation on against off, and pages whose lines are
// megabytes long (minified pages and bundles). Each figure runs from the request until the program
// is idle again (events handled, the window painted).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

namespace {

// Everything the program does before it waits for the next input: pending events, painting (an
// update asked for while events are handled is painted in the next round).
void idle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Until the window shows the result of what was asked: pending events handled and the window
// painted, without the colouring that goes on in the background afterwards.
void shown(RichTextBox& rtb) {
    QCoreApplication::sendPostedEvents();
    rtb.viewport()->repaint();
}

// Until the background colouring of the whole text is done.
void coloured(RichTextBox& rtb) {
    for (int i = 0; i < 100000 && rtb.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < rtb.byteLength(); ++i)
        QCoreApplication::processEvents();
}

void press(QWidget& rtb, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
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
    QFont font;   // of the window measured
    QSize size;
};

// The same moves and keys in a window.
void moveAndType(QWidget& rtb, LongTimes& t) {
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
}

LongTimes measureLong(MDIForm1& frame, const QString& path) {
    LongTimes t;
    Form1* form = nullptr;
    t.open = bench::seconds([&] {
        form = documents::openDocument(frame, path);
        idle();
    });
    if (!form) return t;
    t.font = form->RTB1->font();
    t.size = form->RTB1->size();
    moveAndType(*form->RTB1, t);
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    return t;
}

// The edit control's own floor: a bare QsciScintilla of the same size and font, no lexer, given the
// same bytes with the same look-alike pieces of two characters in place before it is shown (without them it measures
// every megabyte line about a second long).
LongTimes measureBareControl(const QByteArray& bytes, const LongTimes& like) {
    LongTimes t;
    QsciScintilla bare;
    bare.setFont(like.font);
    bare.resize(like.size);
    for (int m = 0; m < 3; ++m) bare.setMarginWidth(m, 0);
    for (unsigned long s : {0UL, 1UL}) {
        bare.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, s, like.font.family().toLatin1().constData());
        bare.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZE, s, like.font.pointSize());
    }
    bare.SendScintilla(QsciScintillaBase::SCI_SETPOSITIONCACHE, 1 << 16);
    bare.SendScintilla(QsciScintillaBase::SCI_SETLAYOUTCACHE, QsciScintillaBase::SC_CACHE_PAGE);
    t.open = bench::seconds([&] {
        bare.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
        std::vector<char> styles(static_cast<size_t>(bytes.size()));
        for (size_t i = 0; i < styles.size(); ++i) styles[i] = static_cast<char>((i >> 1) & 1);
        bare.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL, 0L);
        bare.SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(styles.size()), styles.data());
        bare.show();
        idle();
    });
    bare.setFocus();
    moveAndType(bare, t);
    return t;
}

void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

// measureLong(), and in 'peak' the growth of the peak resident memory while it ran.
LongTimes measureLongWithMemory(MDIForm1& frame, const QString& path, qint64& peak) {
    idle();
    resetPeak();
    const qint64 before = bench::residentBytes();
    const LongTimes t = measureLong(frame, path);
    peak = bench::peakResidentBytes() - before;
    return t;
}

void runLongLines(const bench::Options& options, MDIForm1& frame) {
    const qint64 total = qint64(options.sizesMb.empty() ? 100 : options.sizesMb.back()) << 20;
    const QString longPath = QDir(options.workDir).filePath(QStringLiteral("bundle.txt"));
    const QString shortPath = QDir(options.workDir).filePath(QStringLiteral("page.txt"));
    bench::writeFile(longPath, longLines(total, qint64(1) << 20));
    bench::writeFile(shortPath, bench::makeDocument(total));
    qint64 ordinaryPeak = 0, longPeak = 0;
    const LongTimes ordinary = measureLongWithMemory(frame, shortPath, ordinaryPeak);
    const LongTimes lng = measureLongWithMemory(frame, longPath, longPeak);
    const QByteArray bundle = longLines(total, qint64(1) << 20);
    const LongTimes bare = measureBareControl(bundle, lng);
    const QString size = QStringLiteral("%1 MB").arg(total >> 20);
    bench::report(QStringLiteral("open %1 of 1 MB lines").arg(size), lng.open, QStringLiteral("ordinary lines"), ordinary.open);
    bench::report(QStringLiteral("Ctrl+End, 1 MB lines"), lng.end, QStringLiteral("ordinary lines"), ordinary.end);
    bench::report(QStringLiteral("key at the end of a 1 MB line (mean of 20)"), lng.key, QStringLiteral("ordinary lines"), ordinary.key);
    bench::report(QStringLiteral("Ctrl+Home, 1 MB lines"), lng.home, QStringLiteral("ordinary lines"), ordinary.home);
    bench::report(QStringLiteral("open, 1 MB lines"), lng.open, QStringLiteral("bare edit control"), bare.open);
    bench::report(QStringLiteral("Ctrl+End, 1 MB lines"), lng.end, QStringLiteral("bare edit control"), bare.end);
    bench::report(QStringLiteral("key at the end of a 1 MB line"), lng.key, QStringLiteral("bare edit control"), bare.key);
    bench::report(QStringLiteral("Ctrl+Home, 1 MB lines"), lng.home, QStringLiteral("bare edit control"), bare.home);
    const double mb = 1 << 20;
    bench::report(QStringLiteral("peak memory growth, %1 of 1 MB lines (MB)").arg(size), longPeak / mb,
                  QStringLiteral("ordinary lines"), ordinaryPeak / mb);
    QFile::remove(longPath);
    QFile::remove(shortPath);
}

// ---- A minified bundle: one line of about 5 MB, coloured as a page, a script, a style sheet.

// Debian's minified jQuery and Bootstrap, a page of them repeated to 5 MB on one line without a
// line end (generated script where they are not installed).
QByteArray bundleBytes() {
    const struct {
        const char* path;
        const char* tag;
    } parts[] = {{"/usr/share/javascript/bootstrap5/css/bootstrap.min.css", "style"},
                 {"/usr/share/javascript/jquery/jquery.min.js", "script"},
                 {"/usr/share/javascript/bootstrap5/js/bootstrap.bundle.min.js", "script"}};
    QByteArray unit;
    for (const auto& part : parts) {
        QFile f(QLatin1String(part.path));
        if (!f.open(QIODevice::ReadOnly)) continue;
        QByteArray bytes = f.readAll();
        bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
        unit += '<' + QByteArray(part.tag) + '>' + bytes + "</" + part.tag + '>';
    }
    if (unit.isEmpty()) {
        for (int i = 0; i < 4000; ++i)
            unit += QStringLiteral("function f%1(a,b){return a.x%2(b)||{k:\"%1\"}};").arg(i).arg(i % 97).toLatin1();
        unit = "<script>" + unit + "</script>";
    }
    QByteArray page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>bundle</title>";
    const QByteArray tail = "<!-- end --></head><body></body></html>";
    while (page.size() + unit.size() + tail.size() <= (qint64(5) << 20)) page += unit;
    return page + tail;
}

void runBundle(const bench::Options& options, MDIForm1& frame) {
    const QByteArray bytes = bundleBytes();
    LongTimes t[4];
    const char* const kinds[] = {"txt", "html", "js", "css"};
    for (int round = 0; round < 2; ++round) {   // the first warms up fonts and measures
        for (int k = 0; k < 4; ++k) {
            const QString path = QDir(options.workDir).filePath(QStringLiteral("bundle.") + QLatin1String(kinds[k]));
            bench::writeFile(path, bytes);
            t[k] = measureLong(frame, path);
            QFile::remove(path);
        }
    }
    const QString mb = QStringLiteral("%1 MB").arg(double(bytes.size()) / (1 << 20), 0, 'f', 2);
    for (int k = 1; k < 4; ++k)
        bench::report(QStringLiteral("open the %1 one-line bundle as .%2").arg(mb, QLatin1String(kinds[k])), t[k].open,
                      QStringLiteral("as .txt"), t[0].open);
    bench::report(QStringLiteral("Ctrl+End, bundle .html"), t[1].end, QStringLiteral("as .txt"), t[0].end);
    bench::report(QStringLiteral("key at the end of the bundle .html (mean of 20)"), t[1].key, QStringLiteral("as .txt"), t[0].key);
    bench::report(QStringLiteral("Ctrl+Home, bundle .html"), t[1].home, QStringLiteral("as .txt"), t[0].home);
}

// ---- The first visit to the end of a coloured page, right after opening it.

struct FirstVisit {
    double end = 0, find = 0;
};

FirstVisit measureFirstVisit(MDIForm1& frame, const QString& path) {
    FirstVisit t;
    for (const bool byFind : {false, true}) {
        Form1* form = documents::openDocument(frame, path);
        if (!form) return t;
        idle();
        RichTextBox& rtb = *form->RTB1;
        const double s = bench::seconds([&] {
            if (byFind) {
                searchcmd::SearchState& st = searchcmd::state();
                st.strSearchText = QStringLiteral("needle-near-the-end");
                st.intSearchDirection = 1;
                st.intMatchCase = 1;
                st.blnNewSearch = true;
                searchcmd::FindInDocument(frame);
            } else {
                press(rtb, Qt::Key_End, Qt::ControlModifier);
            }
            shown(rtb);
        });
        (byFind ? t.find : t.end) = s;
        form->closeWithoutAsking();
        QCoreApplication::processEvents();
    }
    return t;
}

void runFirstVisit(const bench::Options& options, MDIForm1& frame) {
    QByteArray doc = bench::makeDocument(qint64(10) << 20);
    doc.insert(doc.size() - 2000, "<!-- needle-near-the-end -->");
    const QString html = QDir(options.workDir).filePath(QStringLiteral("page10.html"));
    const QString text = QDir(options.workDir).filePath(QStringLiteral("page10.txt"));
    bench::writeFile(html, doc);
    bench::writeFile(text, doc);
    const FirstVisit plain = measureFirstVisit(frame, text);
    const FirstVisit html10 = measureFirstVisit(frame, html);
    bench::report(QStringLiteral("Ctrl+End right after opening 10 MB .html"), html10.end,
                  QStringLiteral("same bytes as .txt"), plain.end);
    bench::report(QStringLiteral("Find, hit near the end, 10 MB .html"), html10.find,
                  QStringLiteral("same bytes as .txt"), plain.find);
    QFile::remove(html);
    QFile::remove(text);
}

// ---- Typing with the highlighting of pairs and Enter keeping the indentation, on and off.

double typeWithHelpers(MDIForm1& frame, const QString& path, bool on) {
    Form1* form = documents::openDocument(frame, path);
    if (!form) return 0;
    idle();
    DocumentView* view = DocumentView::of(form);
    view->setMatching(on);
    view->setAutoIndent(on);
    RichTextBox& rtb = *form->RTB1;
    press(rtb, Qt::Key_End, Qt::ControlModifier);
    idle();
    coloured(rtb);
    // Markup with tags, braces and quotes, a new line every so often.
    const QString keys = QStringLiteral("  <p class=\"a\">{x(1)}</p>\r");
    const double s = bench::seconds([&] {
        for (int i = 0; i < 200; ++i) {
            const QChar c = keys[i % keys.size()];
            if (c == QLatin1Char('\r')) press(rtb, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            else press(rtb, Qt::Key_unknown, Qt::NoModifier, QString(c));
            idle();
        }
    });
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    return s;
}

void runHelpers(const bench::Options& options, MDIForm1& frame) {
    const QString html = QDir(options.workDir).filePath(QStringLiteral("page5.html"));
    bench::writeFile(html, bench::makeDocument(qint64(5) << 20));
    typeWithHelpers(frame, html, true);   // warms up: the first run pays for the fonts and layouts
    const double off = typeWithHelpers(frame, html, false);
    const double on = typeWithHelpers(frame, html, true);
    bench::report(QStringLiteral("200 keys at the end of 5 MB .html, matching and indent on"), on,
                  QStringLiteral("both off"), off);
    QFile::remove(html);
}

void inFrame(const bench::Options& options, const std::function<void(MDIForm1&)>& parts) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);   // the settings file is looked for here
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    parts(frame);
    QDir::setCurrent(previous);
}

void run(const bench::Options& options) {
    inFrame(options, [&](MDIForm1& frame) {
        runFirstVisit(options, frame);
        runHelpers(options, frame);
        runBundle(options, frame);
        runLongLines(options, frame);
    });
}

bench::Register reg("view", run);
// The long-line rows alone.
bench::Register longLinesOnly("longlines", [](const bench::Options& options) {
    inFrame(options, [&](MDIForm1& frame) {
        runBundle(options, frame);
        runLongLines(options, frame);
    });
});

} // namespace
