// Every dialog of the program, whatever font stands in for the one it is laid out for, also at large
// desktop fonts: each control lies inside its parent, no two controls of one parent overlap, and no
// caption is cut off.
#include "app/frmOptions.h"
#include "app/frmSplash.h"
#include "search/frmFind.h"
#include "search/frmReplace.h"
#include "support/TestFrame.h"
#include "windows/frmAbout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>

namespace {
bool isControl(const QWidget* w) { return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w); }

void checkLayout(const QWidget& dialog) {
    const QList<QWidget*> children = dialog.findChildren<QWidget*>();
    for (const QWidget* w : children) {
        if (w->isWindow() || w->isHidden()) continue;
        const QString name = dialog.objectName() + QLatin1Char('.') + w->objectName();
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()), qPrintable(name + QStringLiteral(" lies outside")));
        if (auto* label = qobject_cast<const QLabel*>(w); label && !label->wordWrap() && label->pixmap().isNull())
            QVERIFY2(label->sizeHint().width() <= label->width() + 1, qPrintable(name + QStringLiteral(" is cut off")));
        if (!isControl(w)) continue;
        if (auto* button = qobject_cast<const QAbstractButton*>(w))
            QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(name + QStringLiteral(" is cut off")));
        for (const QWidget* other : children)
            if (other != w && isControl(other) && other->parentWidget() == w->parentWidget() && !other->isHidden())
                QVERIFY2(!w->geometry().intersects(other->geometry()),
                         qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
    }
}
} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void everyDialogKeepsItsControlsApart_data() {
        QTest::addColumn<qreal>("points");   // the application font; 0: the desktop's
        for (qreal points : {0.0, 12.0, 18.0}) QTest::addRow("%g points", points) << points;
    }
    void everyDialogKeepsItsControlsApart() {
        QFETCH(qreal, points);
        const QFont desktop = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(desktop); });
        if (points > 0) QApplication::setFont(QFont(desktop.family(), int(points)));
        ScratchDir dir;
        auto frame = makeFrame();
        frmOptions options;
        frmFind find(*frame);
        frmAbout about;
        frmSplash splash;
        frmReplace replace(*frame);
        replace.show();   // laid out by its layouts once shown
        settle();
        for (QWidget* dialog : std::initializer_list<QWidget*>{&options, &find, &about, &splash, &replace}) {
            checkLayout(*dialog);
            if (QTest::currentTestFailed()) return;
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "Dialogs_test.moc"
