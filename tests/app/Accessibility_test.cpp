// Every dialog as a screen reader meets it, through Qt's accessibility tree: each field, list and
// button has a name and takes Tab; Escape closes the dialogs with nothing to finish; the status
// bar's menus open from the View menu.
#include "app/frmOptions.h"
#include "documents/frmRecover.h"
#include "search/FindInFilesPanel.h"
#include "search/frmFind.h"
#include "search/frmReplace.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/frmAbout.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {
// What a screen reader could not name, or Tab never reaches (Qt's own parts aside).
void faults(QAccessibleInterface* node, QStringList& out) {
    using R = QAccessible::Role;
    const QWidget* w = qobject_cast<const QWidget*>(node->object());
    if (QList<R>{R::EditableText, R::List, R::Tree, R::CheckBox, R::RadioButton, R::PushButton}.contains(node->role()) &&
        !node->state().invisible && w && !w->objectName().startsWith(QLatin1String("qt_")) && !qobject_cast<const QHeaderView*>(w)) {
        if (node->text(QAccessible::Name).trimmed().isEmpty()) out << w->objectName();
        if (w->isEnabled() && !(w->focusPolicy() & Qt::TabFocus)) out << w->objectName() + QLatin1String(" (no Tab)");
    }
    for (int i = 0; i < node->childCount(); ++i) faults(node->child(i), out);
}
} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasANameAndTakesTab() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        QStringList missing;
        modal.answerDialog([&](QDialog& goToLine) { return goToLine.show(), faults(QAccessible::queryAccessibleInterface(&goToLine), missing), 0; });
        frame->item("mnuSearchGoToLine")->trigger();
        frame->item("mnuSearchFindInFiles")->trigger();
        frmRecover recover({});
        const QList<QWidget*> windows = {frame.get(), new frmOptions(frame.get()), new frmFind(*frame), new frmReplace(*frame), new frmAbout(frame.get()), &recover};
        for (QWidget* w : windows) w->show(), settle(), faults(QAccessible::queryAccessibleInterface(w), missing);
        QVERIFY(frame->findChild<FindInFilesPanel*>());
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
        for (QPointer<QWidget> w : windows.mid(1, 1) + windows.mid(3, 2)) {   // Options, Replace, About
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w.data(), Qt::Key_Escape);
            QVERIFY(!w || !w->isVisible());
        }
        for (const char* item : {"mnuViewEncoding", "mnuViewLineEnds"}) {
            QString shown;
            QTimer::singleShot(0, frame.get(), [&] { if (QWidget* p = QApplication::activePopupWidget()) shown = p->objectName(), p->close(); });
            frame->item(item)->trigger();
            QVERIFY2(shown.startsWith(QLatin1String("mnu")), item);
        }
    }
};

QTEST_MAIN(AccessibilityTest)
#include "Accessibility_test.moc"
