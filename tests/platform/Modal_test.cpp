#include "platform/Modal.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

class ModalTest : public QObject {
    Q_OBJECT
private slots:
    // The on-screen message box leaves room on its title bar for the whole title beside the
    // window's icon and three buttons (about a line high each), however short its text; a very
    // long title is cut, not the screen.
    void messageBoxIsWideEnoughForItsTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::newRow("program title") << tp::kAppTitle;
        QTest::newRow("long caption") << QStringLiteral("/HOME/USER/WEB/PROJECTS/CUSTOMER/SITE/PAGES/INDEX.HTM");
        QTest::newRow("longer than the screen") << QString(400, QLatin1Char('W'));
    }
    void messageBoxIsWideEnoughForItsTitle() {
        QFETCH(QString, title);
        int width = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            width = box->width();
            box->accept();
        });
        tp::MsgBox(QStringLiteral("Cannot find \"zzz\""), tp::MsgButtons::OK, tp::MsgIcon::None, title);
        QFont bold = QApplication::font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const int screen = QApplication::primaryScreen()->availableGeometry().width();
        QVERIFY2(width >= std::min(fm.horizontalAdvance(title) + 6 * fm.height(), screen / 2),
                 qPrintable(QString::number(width)));
        QVERIFY(width <= screen);
    }
};

QTEST_MAIN(ModalTest)
#include "Modal_test.moc"
