// Spelling: the check of what the window shows after a scroll (a 1 MB page, a 100 MB page, a line of
// 10 MB), the dictionary's load in its worker, and typing 200 keys at the end of a 1 MB page with
// spelling on against off (each key runs until the program is idle again).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/SpellCheck.h"
#include "edit/Spelling.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>

#include <ctime>

namespace {
using Sci = QsciScintillaBase;

void idle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// A page of prose about 'bytes' long: paragraphs, links, images with alt text, a script, one word
// in twenty misspelt.
QByteArray makePage(qint64 bytes, bool lines = true) {
    static const char* const words[] = {"the", "kitchen", "recipe", "flour", "water", "bread", "dough", "oven",
                                        "smooth", "minutes", "starter", "salt", "knead", "untill", "writting",
                                        "familly", "rest", "hour", "bake", "golden"};
    QByteArray out = "<!DOCTYPE html>\n<html lang=\"en\">\n<body>\n";
    quint32 seed = 7;
    while (out.size() < bytes) {
        out += lines ? "<p title=\"A note\">" : "<p>";
        for (int w = 0; w < 14; ++w) {
            seed = seed * 1103515245u + 12345u;
            out += words[(seed >> 16) % std::size(words)];
            out += ' ';
        }
        out += lines ? "<a href=\"https://example.com/x.html\">link</a></p>\n<img src=\"a.png\" alt=\"golden bread\">\n"
                     : "</p> ";
    }
    out.truncate(bytes);
    return out;
}

// Milliseconds (of the UI thread's CPU time: the machine may be busy with other work meanwhile) of the check of what is shown at each of ten places of the document, the slowest.
double slowestCheck(Form1& form, bool acrossALine) {
    RichTextBox& rtb = *form.RTB1;
    double worst = 0;
    for (int k = 1; k <= 10; ++k) {
        if (acrossALine) rtb.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(rtb.byteLength() * k / 11));
        else rtb.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(rtb.lineCount() * k / 11));
        idle();
        const double before = bench::threadSeconds();
        editcmd::checkSpellingNow(form);
        worst = std::max(worst, (bench::threadSeconds() - before) * 1000);
    }
    return worst;
}

void setSpelling(bool on) {
    prefs::Editor p = DocumentView::preferences();
    p.spelling = on;
    DocumentView::setPreferences(p);
}

double type200(MDIForm1& frame, const QString& path, bool on) {
    setSpelling(on);
    Form1* form = documents::openDocument(frame, path);
    if (!form) return 0;
    RichTextBox& rtb = *form->RTB1;
    editcmd::checkSpellingNow(*form, 5000);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&rtb, &end);
    idle();
    const QString keys = QStringLiteral("Teh quik brown fox jumps ovr the lazy dog. ");
    // The UI thread's own time (the machine may be busy with other work meanwhile), best of three.
    double s = 1e9;
    for (int round = 0; round < 3; ++round) {
        const double before = bench::threadSeconds();
        for (int i = 0; i < 200; ++i) {
            QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(keys[i % keys.size()]));
            QApplication::sendEvent(&rtb, &down);
            idle();
        }
        s = std::min(s, bench::threadSeconds() - before);
    }
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    setSpelling(true);
    return s;
}

void run(const bench::Options& options) {
    const QStringList dictionaries = spelling::installed(spelling::systemFolders());
    if (!dictionaries.contains(QStringLiteral("en_US"))) {
        bench::note(QStringLiteral("spelling"), QStringLiteral("skipped: no en_US dictionary (hunspell-en-us)"));
        return;
    }
    QElapsedTimer load;
    load.start();
    const auto dict = spelling::Dictionary::load(spelling::folderOf(QStringLiteral("en_US"), spelling::systemFolders()),
                                                 QStringLiteral("en_US"));
    bench::note(QStringLiteral("en_US dictionary load (worker thread)"), QStringLiteral("%1 ms").arg(load.nsecsElapsed() / 1e6, 0, 'f', 1));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    const QString page = QDir(options.workDir).filePath(QStringLiteral("prose1.html"));
    bench::writeFile(page, makePage(qint64(1) << 20));
    {
        Form1* form = documents::openDocument(frame, page);
        QElapsedTimer first;
        first.start();
        const int marks = editcmd::checkSpellingNow(*form, 5000);
        bench::note(QStringLiteral("1 MB page opened: first marks (dictionary load included)"),
                    QStringLiteral("%1 ms, %2 words marked").arg(first.nsecsElapsed() / 1e6, 0, 'f', 1).arg(marks));
        bench::note(QStringLiteral("1 MB page: check of what is shown after a scroll, slowest of 10 (UI thread CPU)"),
                    QStringLiteral("%1 ms (goal <= 20 ms)").arg(slowestCheck(*form, false), 0, 'f', 2));
        form->closeWithoutAsking();
        QCoreApplication::processEvents();
    }
    const QString line = QDir(options.workDir).filePath(QStringLiteral("line10.txt"));
    bench::writeFile(line, makePage(qint64(10) << 20, false));
    if (Form1* form = documents::openDocument(frame, line)) {
        bench::note(QStringLiteral("a line of 10 MB: check of what is shown, slowest of 10 (UI thread CPU)"),
                    QStringLiteral("%1 ms").arg(slowestCheck(*form, true), 0, 'f', 2));
        form->closeWithoutAsking();
        QCoreApplication::processEvents();
    }
    QFile::remove(line);
    if (std::find(options.sizesMb.begin(), options.sizesMb.end(), 100) != options.sizesMb.end()) {
        const QString big = QDir(options.workDir).filePath(QStringLiteral("prose100.html"));
        bench::writeFile(big, makePage(qint64(100) << 20));
        if (Form1* form = documents::openDocument(frame, big)) {
            bench::note(QStringLiteral("100 MB page: check of what is shown after a scroll, slowest of 10 (UI thread CPU)"),
                        QStringLiteral("%1 ms").arg(slowestCheck(*form, false), 0, 'f', 2));
            form->closeWithoutAsking();
            QCoreApplication::processEvents();
        }
        QFile::remove(big);
    }
    type200(frame, page, true);   // warms up
    // Alternately, the best of each (the machine may be busy with other work meanwhile).
    double off = 1e9, on = 1e9;
    for (int round = 0; round < 3; ++round) {
        off = std::min(off, type200(frame, page, false));
        on = std::min(on, type200(frame, page, true));
    }
    bench::report(QStringLiteral("200 keys at the end of a 1 MB page, spelling on (UI thread CPU)"), on, QStringLiteral("spelling off"), off);
    QFile::remove(page);
    QDir::setCurrent(previous);
}

bench::Register reg("spelling", run);

} // namespace
