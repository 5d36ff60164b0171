#include "app/MDIForm1.h"
#include "app/Main.h"
#include "support/TestFrame.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

// However the program ends, its frame is gone when the event loop returns, while the application
// object still exists (a widget destroyed after it crashes in the windowing layer).
class ExitTest : public QObject {
    Q_OBJECT
private slots:
    void frameIsDeletedWhenTheEventLoopEnds_data() {
        QTest::addColumn<bool>("menusOpened");
        QTest::addColumn<bool>("exitCommand");   // else the close box
        QTest::newRow("File > Exit") << false << true;
        QTest::newRow("menus opened, close box") << true << false;
    }
    void frameIsDeletedWhenTheEventLoopEnds() {
        QFETCH(bool, menusOpened);
        QFETCH(bool, exitCommand);
        ScratchDir dir;
        Main();
        QPointer<MDIForm1> frame = mainFrame();
        QTimer::singleShot(0, frame, [&] {
            for (const char* name : {"mnuFile", "mnuEdit", "mnuSearch", "mnuWindow", "mnuHelp"})
                if (menusOpened) frame->menu(name)->popup(QPoint(10, 10)), frame->menu(name)->hide();
            exitCommand ? frame->mnuFileExit_Click() : void(frame->close());
        });
        QObject row;   // a frame that does not end the program fails here rather than hangs
        QTimer::singleShot(10000, &row, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!frame);
        QVERIFY(!mainFrame());
    }
};

QTEST_MAIN(ExitTest)
#include "Exit_test.moc"
