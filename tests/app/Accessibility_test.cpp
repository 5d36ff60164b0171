// Every dialog as a screen reader meets it, through Qt's accessibility tree: each field, list and
// button has a name to read out, and each of them can be reached with Tab; Escape closes the
// dialogs that have nothing to finish.
#include "app/frmOptions.h"
#include "documents/frmInterruptedSave.h"
#include "documents/frmRecover.h"
#include "search/FindInFilesPanel.h"
#include "search/frmFind.h"
#include "search/frmReplace.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/frmAbout.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

// The controls of 'root' that a screen reader would announce without a name.
void unnamed(QAccessibleInterface* node, const QString& path, QStringList& out) {
    if (!node) return;
    static const QList<QAccessible::Role> needName = {
        QAccessible::EditableText, QAccessible::ComboBox, QAccessible::SpinBox, QAccessible::List,
        QAccessible::Tree,         QAccessible::Table,    QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::PushButton,   QAccessible::ProgressBar};
    if (needName.contains(node->role()) && !node->state().invisible && node->text(QAccessible::Name).trimmed().isEmpty())
        out << path + QLatin1Char('/') + (node->object() ? node->object()->objectName() : QStringLiteral("?"));
    for (int i = 0; i < node->childCount(); ++i) unnamed(node->child(i), path, out);
}

// The controls of 'root' that Tab never reaches.
QStringList untabbable(QWidget& root) {
    QStringList out;
    for (QWidget* w : root.findChildren<QWidget*>()) {
        // Qt's own parts (a list's header, a panel's title buttons) take no focus anywhere.
        const bool control = (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                              qobject_cast<QAbstractItemView*>(w)) &&
                             !qobject_cast<QHeaderView*>(w) && !w->objectName().startsWith(QLatin1String("qt_"));
        if (control && w->isVisibleTo(&root) && w->isEnabled() && !(w->focusPolicy() & Qt::TabFocus))
            out << w->objectName();
    }
    return out;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasANameAndTakesTab() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        QList<QPointer<QWidget>> windows;
        frmOptions options;
        frmFind find(*frame);
        frmReplace replace(*frame);
        frmAbout about;
        frmRecover recover({});
        frmInterruptedSave interrupted(io::InterruptedSave{dir.file(QStringLiteral("page.html")), QString(), 0, {}});
        windows << &options << &find << &replace << &about << &recover << &interrupted;
        // Go to Line is a dialog of the moment: looked at while it is up.
        QStringList goToLine;
        modal.answerDialog([&](QDialog& d) {
            d.show();
            unnamed(QAccessible::queryAccessibleInterface(&d), d.objectName(), goToLine);
            goToLine += untabbable(d);
            return int(QDialog::Rejected);
        });
        frame->item("mnuSearchGoToLine")->trigger();
        frame->item("mnuSearchFindInFiles")->trigger();
        auto* panel = frame->findChild<FindInFilesPanel*>();
        QVERIFY(panel);
        windows << panel << frame.get();

        QStringList missing = goToLine;
        for (QWidget* w : windows) {
            w->show();
            settle();
            unnamed(QAccessible::queryAccessibleInterface(w), w->objectName(), missing);
            for (const QString& name : untabbable(*w)) missing << w->objectName() + QLatin1String("/") + name + QLatin1String(" (no Tab)");
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
    }

    // The status bar's menus are reached from the View menu, without the mouse.
    void statusMenusFromTheKeyboard_data() {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QString>("menu");
        QTest::newRow("encoding") << QByteArray("mnuViewEncoding") << QStringLiteral("mnuEncoding");
        QTest::newRow("line ends") << QByteArray("mnuViewLineEnds") << QStringLiteral("mnuLineEnds");
    }
    void statusMenusFromTheKeyboard() {
        QFETCH(QByteArray, item);
        QFETCH(QString, menu);
        ScratchDir dir;
        auto frame = makeFrame();
        QString shown;
        QTimer::singleShot(0, frame.get(), [&] {
            if (QWidget* popup = QApplication::activePopupWidget()) shown = popup->objectName(), popup->close();
        });
        frame->item(item.constData())->trigger();
        QCOMPARE(shown, menu);
    }

    void escapeCloses() {
        ScratchDir dir;
        auto frame = makeFrame();
        // Owned by the frame: the Replace dialog deletes itself when it closes.
        const QList<QPointer<QWidget>> dialogs = {new frmOptions(frame.get()), new frmAbout(frame.get()),
                                                  new frmReplace(*frame)};
        for (const QPointer<QWidget>& w : dialogs) {
            const QString name = w->objectName();
            w->show();
            settle();
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w.data(), Qt::Key_Escape);
            settle();
            QVERIFY2(!w || !w->isVisible(), qPrintable(name));
        }
    }
};

QTEST_MAIN(AccessibilityTest)
#include "Accessibility_test.moc"
