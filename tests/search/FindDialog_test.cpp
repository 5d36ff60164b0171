#include "app/MDIForm1.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "search/SearchCommands.h"
#include "search/frmFind.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using searchcmd::state;

namespace {

// What a scripted user saw when the dialog came up, and how it ended.
struct Seen {
    QString text;
    bool findEnabled = false;
    bool up = false, down = false, matchCase = false;
    bool closed = false;   // finished (unloaded) while the user was at it
};

// Runs 'act' with the dialog as the user; records what the dialog showed when it opened.
void scriptDialog(ScriptedModal& modal, Seen& seen, std::function<void(frmFind&)> act) {
    modal.answerDialog([&seen, act](QDialog& d) {
        auto& f = *qobject_cast<frmFind*>(&d);
        seen.text = f.Text1->text();
        seen.findEnabled = f.cmdFind->isEnabled();
        seen.up = f.optDirection[0]->isChecked();
        seen.down = f.optDirection[1]->isChecked();
        seen.matchCase = f.chkCase->isChecked();
        QSignalSpy finished(&f, &QDialog::finished);
        if (act) act(f);
        seen.closed = finished.count() > 0;
        return f.result();
    });
}

RichTextBox& rtbOf(MDIForm1& frame) { return *frame.ActiveForm()->RTB1; }

} // namespace

class FindDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { searchcmd::resetState(); }

    // Opening Find with no selection and no earlier search: the dialog as it is laid out.
    void freshState() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        bool checked = false;
        modal.answerDialog([&](QDialog& d) {
            auto* f = qobject_cast<frmFind*>(&d);
            checked = true;
            [&] {
                QVERIFY(f);
                QCOMPARE(d.windowTitle(), QStringLiteral("Find"));
                QCOMPARE(d.parentWidget(), static_cast<QWidget*>(frame.get()));
                QVERIFY(d.isModal());
                QCOMPARE(f->Text1->text(), QString());
                QVERIFY(!f->cmdFind->isEnabled());
                QVERIFY(f->cmdcancel->isEnabled());
                QVERIFY(!f->chkCase->isChecked());
                QVERIFY(!f->optDirection[0]->isChecked());
                QVERIFY(f->optDirection[1]->isChecked());
                // Names and captions.
                const std::pair<const char*, QString> captions[] = {
                    {"cmdFind", "&Find"},    {"cmdcancel", "&Cancel"}, {"chkCase", "Match &case"},
                    {"optDirection0", "&Up"}, {"optDirection1", "&Down"},
                };
                for (const auto& [name, caption] : captions) {
                    auto* b = d.findChild<QAbstractButton*>(QLatin1String(name));
                    QVERIFY2(b, name);
                    QCOMPARE(b->text(), caption);
                }
                QCOMPARE(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Find what:"));
                QCOMPARE(d.findChild<QGroupBox*>(QStringLiteral("Frame1"))->title(), QStringLiteral("Direction"));
                QVERIFY(d.findChild<QLineEdit*>(QStringLiteral("Text1")));
                // Neither button answers Enter.
                QVERIFY(!f->cmdFind->autoDefault() && !f->cmdFind->isDefault());
                QVERIFY(!f->cmdcancel->autoDefault() && !f->cmdcancel->isDefault());
                // Tab order.
                QWidget* order[] = {f->Text1, f->cmdFind, f->cmdcancel, f->chkCase, f->optDirection[0],
                                    f->optDirection[1]};
                for (size_t i = 0; i + 1 < std::size(order); ++i) {
                    QWidget* next = order[i]->nextInFocusChain();
                    while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
                    QCOMPARE(next, order[i + 1]);
                }
                // A fixed frame with a close box and neither minimize nor maximize box.
                QCOMPARE(d.minimumSize(), d.maximumSize());
                const Qt::WindowFlags flags = d.windowFlags();
                QVERIFY(flags & Qt::WindowCloseButtonHint);
                QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
                QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
            }();
            return QDialog::Rejected;
        });
        frame->mnuSearchFind_Click();
        QVERIFY(checked);
        QCOMPARE(modal.dialogs, QStringList{QStringLiteral("frmFind")});
    }

    // The dialog's layout, grown evenly until every caption fits.
    void layoutFollowsTheDesign() {
        ScratchDir dir;
        auto frame = makeFrame();
        frmFind f(*frame);
        const double scale = f.layoutScale();
        QVERIFY(scale >= 1.0);
        QVERIFY(scale <= 3.0);
        const QRect frameRect = f.scaled(f.design().at(7).twips);
        for (const frmFind::Placement& p : f.design()) {
            const QRect want = f.scaled(p.twips);
            // 15 twips to the pixel at scale 1.
            QVERIFY(qAbs(want.width() - p.twips.width() * scale / 15) <= 1);
            if (p.name == QLatin1String("frmFind")) {
                QCOMPARE(f.size(), want.size());
                continue;
            }
            QWidget* w = f.findChild<QWidget*>(QLatin1String(p.name));
            QVERIFY2(w, p.name);
            const QRect got = w->parentWidget() == f.Frame1 ? w->geometry().translated(frameRect.topLeft())
                                                             : w->geometry();
            QCOMPARE(got, want);
            // Captions are not cut off.
            if (w != f.Text1 && w != f.Frame1) {
                QVERIFY2(w->sizeHint().width() <= got.width(), p.name);
                QVERIFY2(w->sizeHint().height() <= got.height(), p.name);
            }
        }
        // The direction buttons lie within the frame, Up left of Down.
        for (QRadioButton* o : f.optDirection) QVERIFY(f.Frame1->rect().contains(o->geometry()));
        QVERIFY(f.optDirection[0]->x() < f.optDirection[1]->x());
    }

    // Find is enabled exactly while there is text; every change makes the next search a new one.
    void findFollowsTheText() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        Seen seen;
        QList<bool> enabled, fresh;
        scriptDialog(modal, seen, [&](frmFind& f) {
            state().blnNewSearch = false;
            QTest::keyClick(f.Text1, Qt::Key_A);
            enabled << f.cmdFind->isEnabled();
            fresh << state().blnNewSearch;
            state().blnNewSearch = false;
            QTest::keyClick(f.Text1, Qt::Key_Backspace);
            enabled << f.cmdFind->isEnabled();
            fresh << state().blnNewSearch;
            f.close();
        });
        frame->mnuSearchFind_Click();
        QCOMPARE(enabled, (QList<bool>{true, false}));
        QCOMPARE(fresh, (QList<bool>{true, true}));
    }

    // A hit selects and closes the dialog; a miss says so and leaves it open with its text; a
    // second Find without changes starts one character further on.
    void hitClosesMissKeepsOpen() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = rtbOf(*frame);
        rtb.SetText(QStringLiteral("abcabc"));
        rtb.SetSelStart(3);
        Seen seen;
        bool openAfterMiss = false;
        QString textAfterMiss;
        scriptDialog(modal, seen, [&](frmFind& f) {
            QSignalSpy finished(&f, &QDialog::finished);
            QTest::keyClicks(f.Text1, QStringLiteral("xyz"));
            f.cmdFind->click();
            openAfterMiss = finished.isEmpty();
            textAfterMiss = f.Text1->text();
            f.Text1->setText(QStringLiteral("abc"));
            f.cmdFind->click();
        });
        frame->mnuSearchFind_Click();
        QVERIFY(openAfterMiss);
        QCOMPARE(textAfterMiss, QStringLiteral("xyz"));
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, QStringLiteral("Cannot find \"xyz\""));
        QVERIFY(seen.closed);
        QCOMPARE(rtb.SelStart(), 3);   // the edit made it a new search, at the caret
        QCOMPARE(rtb.SelLength(), 3);
        QCOMPARE(state().strSearchText, QStringLiteral("abc"));

        // A miss, then Find again without an edit and without moving the caret: the search
        // repeats one character further on (the text changed meanwhile, to show it).
        rtb.SetText(QStringLiteral("xyz"));
        Seen again;
        scriptDialog(modal, again, [&](frmFind& f) {
            f.Text1->setText(QStringLiteral("abc"));
            f.cmdFind->click();
            rtb.SetText(QStringLiteral("abcabc"));
            f.cmdFind->click();
        });
        frame->mnuSearchFind_Click();
        QCOMPARE(modal.messages.size(), 2);
        QVERIFY(again.closed);
        QCOMPARE(rtb.SelStart(), 3);
        QCOMPARE(rtb.SelLength(), 3);
    }

    // Cancel stores the text and the case box; Find Next then searches for it.
    void cancelThenFindNext() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = rtbOf(*frame);
        rtb.SetText(QStringLiteral("one XYZ two xyz"));
        Seen seen;
        scriptDialog(modal, seen, [&](frmFind& f) {
            QTest::keyClicks(f.Text1, QStringLiteral("xyz"));
            f.chkCase->setChecked(true);
            f.chkCase->setChecked(false);
            state().intMatchCase = 1;   // the box is read again by Cancel
            f.cmdcancel->click();
        });
        frame->mnuSearchFind_Click();
        QCOMPARE(seen.closed, true);
        QCOMPARE(state().strSearchText, QStringLiteral("xyz"));
        QCOMPARE(state().intMatchCase, 0);
        frame->mnuSearchFindNext_Click();   // F3
        QCOMPARE(modal.dialogs.size(), 1);
        QCOMPARE(rtb.SelStart(), 4);
        QCOMPARE(rtb.SelText(), QStringLiteral("XYZ"));
    }

    // The close box stores neither text nor case box; the options and the box keep what their
    // clicks stored.
    void closeBoxThenFindNext() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = rtbOf(*frame);
        rtb.SetText(QStringLiteral("abc zzz abc"));
        state().strSearchText = QStringLiteral("abc");
        Seen seen;
        scriptDialog(modal, seen, [&](frmFind& f) {
            f.Text1->setText(QStringLiteral("zzz"));
            f.chkCase->click();
            f.close();
        });
        frame->mnuSearchFind_Click();
        QVERIFY(seen.closed);
        QCOMPARE(seen.text, QStringLiteral("abc"));   // pre-filled from the stored text
        QCOMPARE(state().strSearchText, QStringLiteral("abc"));
        QCOMPARE(state().intMatchCase, 1);
        frame->mnuSearchFindNext_Click();
        QCOMPARE(rtb.SelStart(), 0);
        QCOMPARE(rtb.SelText(), QStringLiteral("abc"));
    }

    // Up, then the close box: the next opening shows Up, and Find Next searches upwards.
    void upThenCloseBoxThenFindNext() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = rtbOf(*frame);
        rtb.SetText(QStringLiteral("abc abc abc"));
        rtb.SetSelStart(6);
        state().strSearchText = QStringLiteral("abc");
        Seen first;
        scriptDialog(modal, first, [](frmFind& f) {
            f.optDirection[0]->click();
            f.close();
        });
        frame->mnuSearchFind_Click();
        QVERIFY(first.down && !first.up);
        QCOMPARE(state().intSearchDirection, 0);

        frame->mnuSearchFindNext_Click();   // a new search (Find set it) upwards from 6
        QCOMPARE(rtb.SelStart(), 4);
        frame->mnuSearchFindNext_Click();   // repeat
        QCOMPARE(rtb.SelStart(), 0);

        Seen second;
        scriptDialog(modal, second, [](frmFind& f) { f.close(); });
        frame->mnuSearchFind_Click();
        QVERIFY(second.up && !second.down);
        QCOMPARE(second.text, QStringLiteral("abc"));   // the selected hit
        QCOMPARE(modal.messages.size(), 0);
    }

    // Match case from an earlier search shows checked; a direction the dialog does not know
    // selects neither option and still opens.
    void reopeningShowsStoredChoices() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        state().intMatchCase = 1;
        state().intSearchDirection = 5;
        Seen seen;
        scriptDialog(modal, seen, [](frmFind& f) { f.close(); });
        frame->mnuSearchFind_Click();
        QVERIFY(seen.matchCase);
        QVERIFY(!seen.up && !seen.down);
        QCOMPARE(state().intMatchCase, 1);
        QCOMPARE(state().intSearchDirection, 5);
    }

    // Find pre-fills from the selection (line breaks included) or from the stored text, and
    // always starts a new search.
    void preFill_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("selStart");
        QTest::addColumn<qint64>("selLength");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("want");
        QTest::newRow("selection") << "one word two" << qint64(4) << qint64(4) << "abc" << "word";
        QTest::newRow("selection with a line break") << "one\r\ntwo" << qint64(2) << qint64(4) << ""
                                                     << "e\r\nt";
        QTest::newRow("stored text") << "one word" << qint64(2) << qint64(0) << "abc" << "abc";
        QTest::newRow("nothing") << "one word" << qint64(2) << qint64(0) << "" << "";
    }
    void preFill() {
        QFETCH(QString, text);
        QFETCH(qint64, selStart);
        QFETCH(qint64, selLength);
        QFETCH(QString, stored);
        QFETCH(QString, want);
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = rtbOf(*frame);
        rtb.SetText(text);
        rtb.SetSelStart(selStart);
        rtb.SetSelLength(selLength);
        state().strSearchText = stored;
        state().blnNewSearch = false;
        Seen seen;
        scriptDialog(modal, seen, [](frmFind& f) { f.close(); });
        frame->mnuSearchFind_Click();
        QCOMPARE(seen.text, want);
        QCOMPARE(seen.findEnabled, !want.isEmpty());
        QVERIFY(state().blnNewSearch);
        QCOMPARE(state().strSearchText, stored);
    }

    // A selected word, Ctrl+F, Find: the same word is selected again and the dialog closes; F3
    // then moves on to the next one.
    void selectionThenFindThenFindNext() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = rtbOf(*frame);
        rtb.SetText(QStringLiteral("a word, a word"));
        rtb.SetSelStart(2);
        rtb.SetSelLength(4);
        Seen seen;
        scriptDialog(modal, seen, [](frmFind& f) { f.cmdFind->click(); });
        frame->mnuSearchFind_Click();
        QVERIFY(seen.closed);
        QCOMPARE(rtb.SelStart(), 2);
        QCOMPARE(rtb.SelLength(), 4);
        frame->mnuSearchFindNext_Click();
        QCOMPARE(rtb.SelStart(), 10);
        QCOMPARE(modal.dialogs.size(), 1);
        QCOMPARE(modal.messages.size(), 0);
    }

    // F3 before any search opens the dialog.
    void findNextWithoutTextOpensTheDialog() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        Seen seen;
        scriptDialog(modal, seen, [](frmFind& f) { f.close(); });
        frame->mnuSearchFindNext_Click();
        QCOMPARE(modal.dialogs, QStringList{QStringLiteral("frmFind")});
        QCOMPARE(seen.text, QString());
        QVERIFY(!seen.findEnabled);
    }

    // Both items follow the active window each time the menu opens.
    void menuFollowsTheActiveWindow() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        QAction* find = frame->item("mnuSearchFind");
        QAction* next = frame->item("mnuSearchFindNext");
        emit frame->menu("mnuSearch")->aboutToShow();
        QVERIFY(find->isEnabled() && next->isEnabled());
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        emit frame->menu("mnuSearch")->aboutToShow();
        QVERIFY(!find->isEnabled() && !next->isEnabled());
        frame->mnuFileNew_Click();
        emit frame->menu("mnuSearch")->aboutToShow();
        QVERIFY(find->isEnabled() && next->isEnabled());
    }

    // The label's double click, and keys that do nothing here.
    void easterEggAndKeys() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        Seen seen;
        bool stillOpen = false;
        scriptDialog(modal, seen, [&](frmFind& f) {
            QSignalSpy finished(&f, &QDialog::finished);
            f.Text1->setText(QStringLiteral("abc"));
            QTest::mouseDClick(f.Label1, Qt::LeftButton);
            QTest::keyClick(&f, Qt::Key_Escape);
            QTest::keyClick(f.Text1, Qt::Key_Return);
            stillOpen = finished.isEmpty() && f.Text1->text() == QLatin1String("abc");
            f.close();
        });
        frame->mnuSearchFind_Click();
        QVERIFY(stillOpen);
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, QStringLiteral("B") + QString(14, QLatin1Char('o')) + QStringLiteral("h!"));
        QCOMPARE(modal.messages[0].icon, tp::MsgIcon::Critical);
        QCOMPARE(modal.messages[0].buttons, tp::MsgButtons::OK);
        QCOMPARE(modal.messages[0].title, QStringLiteral("Easter Egg! ;o)"));
        QCOMPARE(state().strSearchText, QString());
    }
};

QTEST_MAIN(FindDialogTest)
#include "FindDialog_test.moc"
