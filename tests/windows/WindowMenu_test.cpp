#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/WindowCommands.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

using windowcmd::Arrangement;

namespace {

const char* const kCommands[] = {"mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowCascade",
                                 "mnuWindowArrangeIcons"};

// Opens the Window menu as a user would (its procedure runs as it drops down) and closes it.
QList<QAction*> openWindowMenu(MDIForm1& frame) {
    QMenu* menu = frame.menu("mnuWindow");
    emit menu->aboutToShow();
    QList<QAction*> entries;
    const QList<QAction*> all = menu->actions();
    // After the four arrangements, a line and New Window.
    for (int i = 6; i < all.size(); ++i) entries << all[i];
    return entries;
}

// The client area's inside, where arrangements place the windows.
QRect clientArea(MDIForm1& frame) { return QRect(QPoint(0, 0), frame.mdiArea()->contentsRect().size()); }

// Three windows, the first minimized, the last active.
struct ThreeWindows {
    std::unique_ptr<MDIForm1> frame;
    Form1 *first, *second, *third;
    ThreeWindows() {
        frame = makeFrame();
        frame->resize(900, 700);
        first = frame->ActiveForm();
        second = documents::NewDocument(*frame);
        third = documents::NewDocument(*frame);
        first->subWindow()->showMinimized();
        frame->mdiArea()->setActiveSubWindow(third->subWindow());
        settle();
    }
};

} // namespace

class WindowMenuTest : public QObject {
    Q_OBJECT
private slots:
    void tilesFillTheAreaExactly_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("count");
        QTest::newRow("one") << QRect(0, 0, 800, 600) << 1;
        QTest::newRow("two") << QRect(0, 0, 800, 600) << 2;
        QTest::newRow("three, uneven") << QRect(0, 0, 1000, 601) << 3;
        QTest::newRow("offset area, seven") << QRect(5, 7, 333, 222) << 7;
    }
    void tilesFillTheAreaExactly() {
        QFETCH(QRect, area);
        QFETCH(int, count);
        const QList<QRect> h = windowcmd::tileHorizontalRects(area, count);
        const QList<QRect> v = windowcmd::tileVerticalRects(area, count);
        QCOMPARE(h.size(), count);
        QCOMPARE(v.size(), count);
        int y = area.top(), x = area.left();
        for (int i = 0; i < count; ++i) {
            // One above another, each as wide as the area, no gap or overlap.
            QCOMPARE(h[i].left(), area.left());
            QCOMPARE(h[i].width(), area.width());
            QCOMPARE(h[i].top(), y);
            QVERIFY(qAbs(h[i].height() - area.height() / count) <= 1);
            y += h[i].height();
            // Side by side, each as tall as the area.
            QCOMPARE(v[i].top(), area.top());
            QCOMPARE(v[i].height(), area.height());
            QCOMPARE(v[i].left(), x);
            QVERIFY(qAbs(v[i].width() - area.width() / count) <= 1);
            x += v[i].width();
        }
        QCOMPARE(y, area.top() + area.height());
        QCOMPARE(x, area.left() + area.width());
    }

    void cascadeKeepsEveryTitleBarVisible() {
        const QRect area(0, 0, 800, 600);
        const QList<QRect> few = windowcmd::cascadeRects(area, 3, 25);
        QCOMPARE(few.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(few[i].topLeft(), QPoint(25 * i, 25 * i));
            QCOMPARE(few[i].size(), QSize(750, 550));   // the last one reaches the corner
            QVERIFY(area.contains(few[i]));
        }
        // Many windows start again at the top left; each stays at least half the area.
        const QList<QRect> many = windowcmd::cascadeRects(area, 40, 25);
        QCOMPARE(many.size(), 40);
        const int run = 300 / 25 + 1;
        for (int i = 0; i < 40; ++i) {
            QVERIFY(area.contains(many[i]));
            QVERIFY(many[i].height() >= 300);
            QCOMPARE(many[i].topLeft(), QPoint(25 * (i % run), 25 * (i % run)));
        }
        QVERIFY(windowcmd::cascadeRects(area, 0, 25).isEmpty());
    }

    void iconsLineUpAlongTheBottom() {
        const QRect area(0, 0, 500, 400);
        const QSize icon(160, 30);
        const QList<QRect> r = windowcmd::iconRects(area, 4, icon);
        QCOMPARE(r, QList<QRect>({QRect(0, 370, 160, 30), QRect(160, 370, 160, 30), QRect(320, 370, 160, 30),
                                  QRect(0, 340, 160, 30)}));
        QCOMPARE(windowcmd::areaAboveIcons(area, 4, icon), QRect(0, 0, 500, 340));
        QCOMPARE(windowcmd::areaAboveIcons(area, 0, icon), area);
    }

    void menuWithoutWindowsHasItsCommandsDisabledAndNoList() {
        ScratchDir dir;
        auto frame = makeFrame();
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        QVERIFY(openWindowMenu(*frame).isEmpty());
        for (const char* name : kCommands) QVERIFY2(!frame->item(name)->isEnabled(), name);
        // Should a command still run, there is nothing to move.
        windowcmd::Arrange(*frame, Arrangement::TileVertical);
    }

    void menuListsTheWindowsByCaptionAndMarksTheActiveOne() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* first = frame->ActiveForm();
        Form1* second = documents::NewDocument(*frame);
        second->setCaption(QStringLiteral("/TMP/R&D.HTM"));
        documents::NewDocument(*frame);
        frame->mdiArea()->setActiveSubWindow(second->subWindow());

        QList<QAction*> entries = openWindowMenu(*frame);
        for (const char* name : kCommands) QVERIFY2(frame->item(name)->isEnabled(), name);
        QCOMPARE(entries.size(), 4);
        QVERIFY(entries[0]->isSeparator());
        QCOMPARE(entries[1]->text(), QStringLiteral("&1 Document"));
        QCOMPARE(entries[2]->text(), QStringLiteral("&2 /TMP/R&&D.HTM"));
        QCOMPARE(entries[3]->text(), QStringLiteral("&3 Document 3"));
        QCOMPARE(entries[1]->isChecked(), false);
        QCOMPARE(entries[2]->isChecked(), true);
        QCOMPARE(entries[3]->isChecked(), false);

        // Choosing an entry activates its window, restoring it when minimized.
        first->subWindow()->showMinimized();
        frame->mdiArea()->setActiveSubWindow(second->subWindow());
        entries[1]->trigger();
        QCOMPARE(frame->ActiveForm(), first);
        QVERIFY(!first->subWindow()->isMinimized());

        // The list is built afresh each time: a closed window leaves it.
        second->closeWithoutAsking();
        settle();
        entries = openWindowMenu(*frame);
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[1]->text(), QStringLiteral("&1 Document"));
        QVERIFY(entries[1]->isChecked());
        QCOMPARE(entries[2]->text(), QStringLiteral("&2 Document 3"));
        QCOMPARE(frame->menu("mnuWindow")->actions().size(), 9);
    }

    void oneWindowTiledFillsTheClientArea() {
        ScratchDir dir;
        auto frame = makeFrame();
        QMdiSubWindow* sub = frame->ActiveForm()->subWindow();
        sub->showMaximized();
        windowcmd::Arrange(*frame, Arrangement::TileHorizontal);
        QVERIFY(!sub->isMaximized());
        QCOMPARE(sub->geometry(), clientArea(*frame));
        windowcmd::Arrange(*frame, Arrangement::TileVertical);
        QCOMPARE(sub->geometry(), clientArea(*frame));
    }

    // Three windows, one minimized: the tilings place the other two and keep clear of the icon.
    void tilingThreeWindowsOneMinimized_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("horizontal") << int(Arrangement::TileHorizontal);
        QTest::newRow("vertical") << int(Arrangement::TileVertical);
    }
    void tilingThreeWindowsOneMinimized() {
        QFETCH(int, how);
        ScratchDir dir;
        ThreeWindows w;
        windowcmd::Arrange(*w.frame, Arrangement(how));
        settle();
        const QRect area = clientArea(*w.frame);
        QMdiSubWindow* icon = w.first->subWindow();
        QVERIFY(icon->isMinimized());
        QCOMPARE(icon->geometry().bottomLeft(), area.bottomLeft());
        const QRect free(area.topLeft(), QSize(area.width(), icon->geometry().top()));
        const QRect a = w.second->subWindow()->geometry(), b = w.third->subWindow()->geometry();
        if (Arrangement(how) == Arrangement::TileHorizontal) {
            QCOMPARE(a, QRect(0, 0, free.width(), free.height() / 2));
            QCOMPARE(b, QRect(0, free.height() / 2, free.width(), free.height() - free.height() / 2));
        } else {
            QCOMPARE(a, QRect(0, 0, free.width() / 2, free.height()));
            QCOMPARE(b, QRect(free.width() / 2, 0, free.width() - free.width() / 2, free.height()));
        }
        QVERIFY(!a.intersects(icon->geometry()));
        QCOMPARE(w.frame->ActiveForm(), w.third);
        QCOMPARE(w.frame->documentWindows().size(), 3);
    }

    // Minimizing the active window hands the keys to the one that was active before it; with
    // none left open the last one minimized stays active.
    void minimizingTheActiveWindowActivatesTheNext() {
        ScratchDir dir;
        auto frame = makeFrame();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        Form1* first = frame->ActiveForm();
        Form1* second = documents::NewDocument(*frame);
        Form1* third = documents::NewDocument(*frame);
        frame->mdiArea()->setActiveSubWindow(first->subWindow());
        frame->mdiArea()->setActiveSubWindow(third->subWindow());
        for (const auto& [minimize, next] : {std::pair{third, first}, {first, second}, {second, second}}) {
            minimize->subWindow()->showMinimized();
            settle();
            QCOMPARE(frame->ActiveForm(), next);
            if (next != minimize) QCOMPARE(QApplication::focusWidget(), next->RTB1);
        }
    }

    void cascadeAndArrangeIconsWithOneMinimized() {
        ScratchDir dir;
        ThreeWindows w;
        QMdiSubWindow* icon = w.first->subWindow();
        icon->move(200, 50);
        windowcmd::Arrange(*w.frame, Arrangement::ArrangeIcons);
        const QRect area = clientArea(*w.frame);
        QCOMPARE(icon->geometry().bottomLeft(), area.bottomLeft());
        QVERIFY(icon->isMinimized());

        windowcmd::Arrange(*w.frame, Arrangement::Cascade);
        settle();
        const QRect a = w.second->subWindow()->geometry(), b = w.third->subWindow()->geometry();
        QCOMPARE(a.topLeft(), QPoint(0, 0));
        QVERIFY(b.left() > 0 && b.left() == b.top());
        QCOMPARE(a.size(), b.size());
        // The second window's title bar shows above the third, which stays on top and active.
        QVERIFY(b.top() >= w.second->geometry().top());
        QCOMPARE(w.frame->ActiveForm(), w.third);
        QCOMPARE(w.frame->mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), w.third->subWindow());
        QVERIFY(!a.intersects(icon->geometry()));
        QVERIFY(!b.intersects(icon->geometry()));
        QVERIFY(icon->isMinimized());
    }

    // Arranging changes positions only: texts, captions and selections stay.
    void arrangingLeavesTheDocumentsAlone() {
        ScratchDir dir;
        ThreeWindows w;
        w.third->RTB1->SetText(QStringLiteral("abc"));
        w.third->RTB1->SetSelStart(1);
        w.third->RTB1->SetSelLength(1);
        const auto changed = w.frame->table().DocumentStates[3].Changed;
        for (Arrangement how : {Arrangement::Cascade, Arrangement::TileHorizontal, Arrangement::TileVertical,
                                Arrangement::ArrangeIcons})
            windowcmd::Arrange(*w.frame, how);
        QCOMPARE(w.third->RTB1->SelText(), QStringLiteral("b"));
        QCOMPARE(w.third->Caption(), QStringLiteral("Document 3"));
        QCOMPARE(w.frame->table().DocumentStates[3].Changed, changed);
        QCOMPARE(w.frame->ActiveForm(), w.third);
    }
};

QTEST_MAIN(WindowMenuTest)
#include "WindowMenu_test.moc"
