#include "platform/MenuKeys.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

class MenuKeysTest : public QObject {
    Q_OBJECT
private slots:
    // Alt+E, Escape, then typing: the keys reach the editor, not the menu bar.
    void oneEscapeGivesTheKeysBack() {
        QMainWindow window;
        auto* editor = new QLineEdit;
        window.setCentralWidget(editor);
        QMenu* edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
        edit->addAction(QStringLiteral("&Undo"));
        QMenu* search = window.menuBar()->addMenu(QStringLiteral("&Search"));
        search->addAction(QStringLiteral("&Find"));
        tp::returnKeysOnEscape(*window.menuBar());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        editor->setFocus();

        QTest::keyClick(editor, Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(edit->isVisible());
        QTest::keyClick(edit, Qt::Key_Escape);
        QTRY_VERIFY(!edit->isVisible());
        // A key goes where the window's keyboard focus is, as on the screen.
        QTest::qWait(50);
        QTest::keyClick(window.windowHandle(), Qt::Key_S);
        QCOMPARE(editor->text(), QStringLiteral("s"));
        QVERIFY(!search->isVisible());
    }
};

QTEST_MAIN(MenuKeysTest)
#include "MenuKeys_test.moc"
