// The markup checks: HTML Tidy on a 1 MB page in the check thread, the first marks after opening
// it, and typing at its end with the checks on against off (the UI thread's share).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/HtmlCheck.h"
#include "edit/ProblemMarks.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QThread>

#include <ctime>

namespace {
using bench::processEvents;
using bench::typeKeys;

// A page of 'bytes' bytes of the markup an author writes, with a fault in every 40th section (an
// image without alt, a span left open).
QByteArray makePage(qint64 bytes) {
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>Bench</title></head>\n"
                      "<body>\n<main>\n";
    for (int i = 0; page.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        page += "<section class=\"card\" id=\"s" + n + "\">\n  <h2>Section " + n +
                "</h2>\n  <p>Some <b>bold</b> and <em>emphasised</em> caf\xc3\xa9 text with a <a href=\"/page/" + n +
                ".html\" title=\"page\">link</a> &amp; more words to fill a line of prose.</p>\n";
        page += i % 40 == 7 ? "  <img src=\"img/" + n + ".png\">\n" : "  <img src=\"img/" + n + ".png\" alt=\"picture\">\n";
        page += i % 40 == 23 ? QByteArray("  <p><span>left open</p>\n") : QByteArray();
        page += "  <ul><li>one</li><li data-n=\"" + n + "\" aria-label=\"two\">two <code>x &lt; y</code></li></ul>\n"
                "  <table><tr><th>a</th><td>b</td></tr></table>\n</section>\n";
    }
    return page + "</main>\n</body>\n</html>\n";
}

void setChecks(bool on) {
    prefs::Editor p = DocumentView::preferences();
    p.checkMarkup = p.spelling = on;   // both checks as you type
    DocumentView::setPreferences(p);
}

// Seconds from Open until the page's first marks are in (or -1 after 10 s).
double firstMarks(MDIForm1& frame, const QString& path, Form1*& form) {
    QElapsedTimer clock;
    clock.start();
    form = documents::openDocument(frame, path);
    editcmd::ProblemMarks* marks = editcmd::ProblemMarks::of(form);
    while (marks && marks->problems().empty() && clock.elapsed() < 10000) {
        processEvents();
        QThread::msleep(1);
    }
    return marks && !marks->problems().empty() ? clock.elapsed() / 1000.0 : -1;
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);
    const QByteArray page = makePage(qint64(1) << 20);
    const QString path = QDir(options.workDir).filePath(QStringLiteral("page.html"));
    bench::writeFile(path, page);

    size_t found = 0;
    const double tidy = bench::seconds([&] { found = htmlcheck::checkHtml(page, false).problems.size(); }, 3);
    bench::note(QStringLiteral("HTML Tidy, 1 MB page, check thread (target 0.200 s)"),
                QStringLiteral("%1 s, %2 problems").arg(tidy, 0, 'f', 4).arg(found));
    // The processor time the thread spent, which a busy machine does not stretch as it does the
    // wall clock.
    timespec before{}, after{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    htmlcheck::checkHtml(page, false);
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    bench::note(QStringLiteral("HTML Tidy, 1 MB page, processor time of the thread"),
                QStringLiteral("%1 s").arg(double(after.tv_sec - before.tv_sec) + (after.tv_nsec - before.tv_nsec) / 1e9, 0, 'f', 4));
    const QByteArray big = makePage(qint64(5) << 20);
    bench::note(QStringLiteral("HTML Tidy, 5 MB page (Check Page Now)"),
                QStringLiteral("%1 s").arg(bench::seconds([&] { htmlcheck::checkHtml(big, false); }), 0, 'f', 4));

    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    processEvents();
    setChecks(true);
    Form1* form = nullptr;
    const double marks = firstMarks(frame, path, form);
    bench::note(QStringLiteral("first marks after opening the 1 MB page (target 1 s)"),
                QStringLiteral("%1 s").arg(marks, 0, 'f', 4));
    if (form) {
        RichTextBox& rtb = *form->RTB1;
        const double copy = bench::seconds([&] { rtb.bytes(0, rtb.byteLength()); }, 5);
        bench::note(QStringLiteral("copy of the 1 MB text handed to the check"), QStringLiteral("%1 s").arg(copy, 0, 'f', 5));
        constexpr int kKeys = 200;
        double on = 0, off = 0;
        // Alternated, best of three each, so that both see the same machine.
        for (int round = 0; round < 3; ++round) {
            for (const bool checks : {true, false}) {
                setChecks(checks);
                processEvents();
                const qint64 end = rtb.byteLength();
                rtb.selectBytes(end, end);
                rtb.ensureCursorVisible();
                // The user-interface thread's own time: the check runs on a thread of its own.
                const double before = bench::threadSeconds();
                typeKeys(rtb, kKeys);
                const double t = bench::threadSeconds() - before;
                double& best = checks ? on : off;
                best = round == 0 ? t : std::min(best, t);
            }
        }
        bench::report(QStringLiteral("%1 keys at the end of the 1 MB page, HTML check and spelling on (UI thread CPU)").arg(kKeys), on,
                      QStringLiteral("both off (target 1.05x)"), off);
        form->closeWithoutAsking();
        processEvents();
    }
    setChecks(true);
    QFile::remove(path);
    QDir::setCurrent(previous);
}

bench::Register reg("checks", run);

} // namespace
