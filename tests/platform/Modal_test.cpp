#include "platform/Modal.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

class ModalTest : public QObject {
    Q_OBJECT
private slots:
    // However short its text, the on-screen message box leaves room on its title bar for the whole
    // title beside the window's icon and three buttons (about a line high each).
    void messageBoxIsWideEnoughForItsTitle() {
        for (const QString& title : {tp::kAppTitle, QStringLiteral("/HOME/USER/WEB/SITE/PAGES/INDEX.HTM")}) {
            int width = 0;
            QTimer::singleShot(0, [&] {
                QWidget* box = QApplication::activeModalWidget();
                width = box->width();
                qobject_cast<QMessageBox*>(box)->accept();
            });
            tp::MsgBox(QStringLiteral("Cannot find \"zzz\""), tp::MsgButtons::OK, tp::MsgIcon::None, title);
            QFont bold = QApplication::font();
            bold.setBold(true);
            const QFontMetrics fm(bold);
            QVERIFY2(width >= fm.horizontalAdvance(title) + 6 * fm.height(), qPrintable(QString::number(width)));
        }
    }
};

QTEST_MAIN(ModalTest)
#include "Modal_test.moc"
