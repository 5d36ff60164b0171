#include "app/Main.h"
#include "io/Settings.h"
#include "app/frmSplash.h"
#include "support/TestFrame.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// A splash as start-up shows it, with a clock the test sets and a counter in place of the frame.
struct Splash {
    std::unique_ptr<frmSplash> window = std::make_unique<frmSplash>();
    qint64 elapsedMs = 0;
    int framesShown = 0;

    Splash() {
        window->setElapsedSource([this] { return elapsedMs; });
        window->setOnUnload([this] { ++framesShown; });
        window->Form_Load();
        window->show();
    }
};

void clickAt(QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); }

} // namespace

class SplashTest : public QObject {
    Q_OBJECT
private slots:
    void layoutAndTexts() {
        Splash s;
        frmSplash& w = *s.window;
        QCOMPARE(w.objectName(), QStringLiteral("frmSplash"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        // 7380 by 4245 twips, fixed; the frame at 120, 60, 7080, 4050.
        QCOMPARE(w.size(), QSize(492, 283));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(w.Frame1->geometry(), QRect(8, 4, 472, 270));
        // Centred on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(w.frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(w.frameGeometry().center().y() - screen.center().y()) <= 1);

        QVERIFY(w.lblCredit->text().startsWith(QStringLiteral("Designed and Programmed by <b>")));
        QVERIFY(w.lblCredit->text().endsWith(QStringLiteral("</b>")));
        QVERIFY(w.lblWeb->text().startsWith(QStringLiteral("http://")));
        QVERIFY(w.lblEmail->text().contains(QLatin1Char('@')));
        QCOMPARE(w.lblPlatform->text(), QStringLiteral("Win95/98"));
        QCOMPARE(w.lblVersion->text(), QStringLiteral("Version 1.0"));
        QVERIFY(!w.lblNotice->text().isEmpty());
        // The credit line and the addresses below it; the notice near the bottom.
        QCOMPARE(w.lblWeb->x(), w.lblCredit->x());
        QVERIFY(w.lblWeb->y() > w.lblCredit->y() && w.lblEmail->y() > w.lblWeb->y());
        QVERIFY(w.lblNotice->geometry().bottom() > w.Frame1->height() * 4 / 5);

        // The pictures are built in, banner across the top and logo at the left.
        QVERIFY(!w.Image1->pixmap().isNull());
        QVERIFY(!w.imgLogo->pixmap().isNull());
        QVERIFY(w.Image1->width() > w.Frame1->width() * 9 / 10);
        QVERIFY(w.Image1->y() < w.imgLogo->y());
        QVERIFY(w.imgLogo->x() < w.lblCredit->x());
        // Every text and picture fits inside the frame.
        for (QWidget* child : w.Frame1->findChildren<QWidget*>())
            QVERIFY2(w.Frame1->rect().contains(child->geometry()), qPrintable(child->objectName()));
        // And every label's text fits its box.
        for (QLabel* label : {w.lblWeb, w.lblEmail, w.lblPlatform, w.lblVersion, w.lblNotice})
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));
    }

    void timerTicksEverySecondFromLoading() {
        Splash s;
        QCOMPARE(s.window->Timer1->interval(), 1000);
        QVERIFY(s.window->Timer1->isActive());
        QCOMPARE(s.window->Timer1->timerType(), Qt::PreciseTimer);
    }

    void tickClosesOnlyAfterASecond_data() {
        QTest::addColumn<QList<qint64>>("ticks");   // elapsed time at each tick
        QTest::addColumn<int>("closesAt");          // index of the closing tick, -1 none
        QTest::newRow("first tick on time") << QList<qint64>{1000} << 0;
        QTest::newRow("first tick late") << QList<qint64>{1003} << 0;
        QTest::newRow("tick far too late still closes") << QList<qint64>{5400} << 0;
        QTest::newRow("early tick waits for the next") << QList<qint64>{999, 1999} << 1;
        QTest::newRow("tick at loading") << QList<qint64>{0} << -1;
        QTest::newRow("ticks after closing do nothing") << QList<qint64>{1000, 2000, 3000} << 0;
    }
    void tickClosesOnlyAfterASecond() {
        QFETCH(QList<qint64>, ticks);
        QFETCH(int, closesAt);
        Splash s;
        for (int i = 0; i < ticks.size(); ++i) {
            s.elapsedMs = ticks[i];
            s.window->Timer1_Timer();
            const bool closed = closesAt >= 0 && i >= closesAt;
            QCOMPARE(s.window->isVisible(), !closed);
            QCOMPARE(s.framesShown, closed ? 1 : 0);
            QCOMPARE(s.window->Timer1->isActive(), !closed);
        }
    }

    void monotonicClockByDefault() {
        // Without a clock of the test's own, elapsed time comes from loading: a tick right away
        // does not close the splash.
        frmSplash w;
        int shown = 0;
        w.setOnUnload([&] { ++shown; });
        w.Form_Load();
        w.show();
        w.Timer1_Timer();
        QVERIFY(w.isVisible());
        QCOMPARE(shown, 0);
        w.close();
        QCOMPARE(shown, 1);
    }

    void clickOnTheBackgroundClosesAtOnce() {
        Splash s;
        frmSplash& w = *s.window;
        // A point of the frame that no picture or text covers.
        const QPoint background(w.Frame1->width() - 4, w.Frame1->height() / 2 + 30);
        QVERIFY(w.Frame1->childAt(background) == nullptr);
        clickAt(w.Frame1, background);
        QVERIFY(!w.isVisible());
        QCOMPARE(s.framesShown, 1);
        // The tick that follows, and another click, change nothing.
        s.elapsedMs = 1000;
        w.Timer1_Timer();
        w.Frame1_Click();
        w.close();
        QCOMPARE(s.framesShown, 1);
    }

    void tickThenClickShowsTheFrameOnce() {
        Splash s;
        s.elapsedMs = 1200;
        s.window->Timer1_Timer();
        s.window->Frame1_Click();
        QCOMPARE(s.framesShown, 1);
    }

    void clicksOnPicturesAndTextsDoNothing() {
        Splash s;
        frmSplash& w = *s.window;
        for (QWidget* target : std::initializer_list<QWidget*>{w.Image1, w.imgLogo, w.lblCredit, w.lblWeb,
                                                               w.lblEmail, w.lblPlatform, w.lblVersion,
                                                               w.lblNotice}) {
            clickAt(target, target->rect().center());
            QVERIFY2(w.isVisible(), qPrintable(target->objectName()));
        }
        // Nor does the margin around the frame, or a right click on the background.
        clickAt(&w, QPoint(3, 3));
        QTest::mouseClick(w.Frame1, Qt::RightButton, Qt::NoModifier, QPoint(w.Frame1->width() - 4, 150));
        // A press on a picture released over the background is no click of the background.
        QTest::mousePress(w.imgLogo, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(w.Frame1, Qt::LeftButton, Qt::NoModifier, QPoint(w.Frame1->width() - 4, 150));
        QVERIFY(w.isVisible());
        QCOMPARE(s.framesShown, 0);
    }

    void startUpShowsTheSplashAndNotYetTheFrame() {
        ScratchDir dir;
        writeBytes(settings::kFileName, " 1 , 0 ");
        Main();
        QPointer<frmSplash> splash;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* s = qobject_cast<frmSplash*>(w); s && s->isVisible()) splash = s;
        QVERIFY(splash);
        QVERIFY(splash->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!mainFrame());
        QVERIFY(splash->Timer1->isActive());
        // Closing shows the frame; here a counter stands in for it.
        int shown = 0;
        splash->setOnUnload([&] { ++shown; });
        splash->Frame1_Click();
        QCOMPARE(shown, 1);
        settle();
        QVERIFY(!splash);   // unloaded
        QVERIFY(!mainFrame());
    }
};

QTEST_MAIN(SplashTest)
#include "Splash_test.moc"
