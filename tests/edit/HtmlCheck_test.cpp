#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "edit/HtmlCheck.h"
#include "edit/ProblemMarks.h"
#include "edit/ProblemsPanel.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTest>
#include <QTreeWidget>

class HtmlCheckTest : public QObject {
    Q_OBJECT
private slots:
    // Tidy's line and column of a fault turned into the byte where it is, whatever comes before it
    // on the line: the report must land on the marked "<x" (Tidy itself reports it).
    void tidyPlacesOnBytes_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("at");   // the first bytes of the squiggle
        QTest::newRow("ascii") << QByteArray("<p>x</i>\n") << QByteArray("</i>");
        QTest::newRow("accents, euro, emoji") << QByteArray("<p>\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80</i>") << QByteArray("</i>");
        QTest::newRow("tab") << QByteArray("<p>\t\tx</i>") << QByteArray("</i>");
        QTest::newRow("CR LF lines") << QByteArray("<p>a\r\n<p>b\r\n<p>c</u>") << QByteArray("</u>");
        QTest::newRow("bytes not UTF-8") << QByteArray("<p>\xff\xfe\xc3</i>") << QByteArray("</i>");
        QTest::newRow("cut character") << QByteArray("<p>\xe2\x82</i>") << QByteArray("</i>");
    }
    void tidyPlacesOnBytes() {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, at);
        const htmlcheck::Result r = htmlcheck::checkHtml(page, false);
        QCOMPARE(r.problems.size(), size_t(1));
        const problems::Problem& p = r.problems[0];
        QCOMPARE(page.mid(p.from, p.to - p.from), at);
    }

    // Reports that say more than the text holds stay inside it.
    void placeClamps_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::newRow("line 0") << QByteArray("ab cd") << 0 << 0 << qint64(0) << qint64(2);
        QTest::newRow("column past the line") << QByteArray("ab\ncd") << 1 << 99 << qint64(1) << qint64(2);
        QTest::newRow("line past the text") << QByteArray("ab\ncd") << 9 << 1 << qint64(4) << qint64(5);
        QTest::newRow("lone CR ends a line") << QByteArray("a\rbc") << 2 << 2 << qint64(3) << qint64(4);
        QTest::newRow("end after a character") << QByteArray("a\xc3\xa9") << 1 << 3 << qint64(1) << qint64(3);
        QTest::newRow("empty line at the end") << QByteArray("ab\n") << 2 << 1 << qint64(3) << qint64(3);
        QTest::newRow("stray byte after CR") << QByteArray("a\r\xb3\n") << 2 << 9 << qint64(2) << qint64(3);
        QTest::newRow("empty text") << QByteArray() << 3 << 3 << qint64(0) << qint64(0);
    }
    void placeClamps() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        const auto placed = problems::place(text.constData(), text.size(), {{line, column, {}, {}}});
        QCOMPARE(placed.size(), size_t(1));
        QCOMPARE(placed[0].from, from);
        QCOMPARE(placed[0].to, to);
    }

    // An author's real faults are reported, once each; HTML5 is not a fault; every report on demand.
    void reportsWhatMatters() {
        const QByteArray faults = "<!DOCTYPE html>\n<html lang=en><head><title>t</title></head><body>\n"
                                  "<p><b><i>x</b></i></p>\n<div><span>open\n</div><p>next</p><p>more</p>\n"
                                  "<img src=a.png>\n</body></html>\n";
        QStringList messages;
        for (const problems::Problem& p : htmlcheck::checkHtml(faults, false).problems) messages << p.message;
        QCOMPARE(messages.filter(QStringLiteral("replacing unexpected b")).size(), 1);
        QCOMPARE(messages.filter(QStringLiteral("missing </span>")).size(), 1);
        QCOMPARE(messages.filter(QStringLiteral("lacks \"alt\"")).size(), 1);
        QVERIFY2(messages.size() == 3, qPrintable(messages.join(QLatin1Char('|'))));

        const QByteArray html5 = "<p>fragment <span class=icon></span></p>\n<main><section><article>\n"
                                 "<svg viewBox='0 0 8 8'><circle cx=4 cy=4 r=3 /><path d='M0 0L8 8'/></svg>\n"
                                 "<div data-id=7 aria-label=x role=button onclick='go()' tabindex=0>y</div>\n"
                                 "<my-widget>z</my-widget><img src=a.png alt=''>\n</article></section></main>\n";
        QStringList html5Messages;
        for (const problems::Problem& p : htmlcheck::checkHtml(html5, false).problems) html5Messages << p.message;
        QVERIFY2(html5Messages.isEmpty(), qPrintable(html5Messages.join(QLatin1Char('|'))));
        QVERIFY(!htmlcheck::checkHtml(html5, true).problems.empty());   // "missing <!DOCTYPE>" and the like
    }

    // Tidy takes minutes over a page of 100,000 unclosed elements: not as you type.
    void manyLeftOpenWaitForAsking() {
        const QByteArray deep = "<!DOCTYPE html><body>\n" + QByteArray("<div><span>x\n").repeated(100000);
        QElapsedTimer clock;
        clock.start();
        const htmlcheck::Result r = htmlcheck::checkHtml(deep, false, /*asked=*/false);
        QCOMPARE(r.leftOpen, qint64(200000));
        QVERIFY(clock.elapsed() < 2000);
        const QByteArray table = "<table>" + QByteArray("<tr><td>a<td>b<li>c<p>d<br><img src=x alt=''>\n").repeated(5000);
        QCOMPARE(htmlcheck::mostOpen(table), qint64(1));
    }

    void xmlFirstFault() {
        const QByteArray xml = "<?xml version='1.0' encoding='iso-8859-1'?>\n<a>\xc3\xa9<b></a>\n";
        const htmlcheck::Result r = htmlcheck::checkXml(xml);
        QCOMPARE(r.problems.size(), size_t(1));
        QCOMPARE(r.problems[0].line, 2);
        QCOMPARE(xml.mid(r.problems[0].from, 1), QByteArray(">"));   // where the reader stopped: the end tag's end
        QVERIFY(htmlcheck::checkXml("<a><b/></a>").problems.empty());
    }

    // The marks and the panel follow the text as it is: an outcome of a text since changed is
    // dropped, the panel lists the active page's problems and goes to one.
    void panelListsCurrentProblems() {
        ScratchDir dir;
        writeBytes(dir.file("page.html"), "<p>a</i>\n<img src=x.png>\n");
        auto frame = makeFrame();
        Form1* form = documents::openDocument(*frame, dir.file("page.html"));
        QVERIFY(form);
        frame->item("mnuViewProblems")->trigger();
        auto* panel = frame->findChild<editcmd::ProblemsPanel*>();
        QVERIFY(panel);
        QTRY_COMPARE_WITH_TIMEOUT(panel->list->topLevelItemCount(), 2, 10000);
        QCOMPARE(panel->list->topLevelItem(1)->text(0), QStringLiteral("2"));
        panel->goTo(panel->list->topLevelItem(1));
        QCOMPARE(form->RTB1->SelText(), QStringLiteral("<img src=x.png>"));

        editcmd::ProblemMarks* marks = editcmd::ProblemMarks::of(form);
        const quint64 before = marks->generation();
        form->RTB1->SetText(QStringLiteral("<p>fixed</p>"));
        htmlcheck::Result stale;
        stale.problems.push_back({0, 2, 1, 1, problems::Severity::Error, QStringLiteral("stale")});
        marks->deliver(before, stale);
        QCOMPARE(marks->problems().size(), size_t(2));   // not the stale one
        QTRY_COMPARE_WITH_TIMEOUT(panel->list->topLevelItemCount(), 0, 10000);
    }
};

QTEST_MAIN(HtmlCheckTest)
#include "HtmlCheck_test.moc"
