#include "app/MDIForm1.h"
#include "app/Main.h"
#include "support/TestFrame.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

// The program's own ending: the frame must be gone by the time the event loop returns, while the
// application object still exists.
class ExitTest : public QObject {
    Q_OBJECT
private slots:
    void frameIsDeletedWhenTheEventLoopEnds_data() {
        QTest::addColumn<bool>("openMenus");
        QTest::addColumn<bool>("exitCommand");
        QTest::newRow("File > Exit") << false << true;
        QTest::newRow("close box") << false << false;
        QTest::newRow("menus opened, then File > Exit") << true << true;
    }
    void frameIsDeletedWhenTheEventLoopEnds() {
        QFETCH(bool, openMenus);
        QFETCH(bool, exitCommand);
        ScratchDir dir;
        Main();
        QPointer<MDIForm1> frame = mainFrame();
        QVERIFY(frame);
        QTimer::singleShot(0, frame, [&] {
            if (openMenus)
                for (const char* name : {"mnuFile", "mnuEdit", "mnuSearch", "mnuWindow", "mnuHelp"}) {
                    frame->menu(name)->popup(QPoint(10, 10));
                    frame->menu(name)->hide();
                }
            if (exitCommand) frame->mnuFileExit_Click();
            else frame->close();
        });
        QTimer watchdog;   // a frame that does not end the program fails here rather than hangs
        watchdog.callOnTimeout([] { QCoreApplication::exit(1); });
        watchdog.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!frame);
        QVERIFY(!mainFrame());
    }
};

QTEST_MAIN(ExitTest)
#include "Exit_test.moc"
