#include "platform/RichTextBox.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

// How the control reports typed changes: after the change, once per key, whatever path it takes
// inside, and without a cost that grows with the document.
class EditNoticesTest : public QObject {
    Q_OBJECT
private slots:
    void changeSeesTheTypedTextAndComesOncePerKey() {
        RichTextBox rtb;
        rtb.SetText(QStringLiteral("hello world"));
        QStringList seen;
        connect(&rtb, &RichTextBox::Change, &rtb, [&] { seen << rtb.Text(); });
        rtb.setFocus();
        rtb.SetSelStart(5);
        QTest::keyClick(&rtb, Qt::Key_Comma);
        QCOMPARE(seen, QStringList{QStringLiteral("hello, world")});
        // Typing over a selection: a deletion and an insertion, one change.
        rtb.SetSelStart(7);
        rtb.SetSelLength(5);
        seen.clear();
        QTest::keyClick(&rtb, Qt::Key_W);
        QCOMPARE(seen, QStringList{QStringLiteral("hello, w")});
        seen.clear();
        QTest::keyClick(&rtb, Qt::Key_Return);
        QTest::keyClick(&rtb, Qt::Key_Backspace);
        QTest::keyClick(&rtb, Qt::Key_Backspace);
        QCOMPARE(seen, (QStringList{QStringLiteral("hello, w\r\n"), QStringLiteral("hello, w"), QStringLiteral("hello, ")}));
        // Keys that change nothing raise nothing.
        seen.clear();
        QTest::keyClick(&rtb, Qt::Key_Left);
        QTest::keyClick(&rtb, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(&rtb, Qt::Key_Delete);   // at the end
        QCOMPARE(seen, QStringList());
        // The control's own undo is a change like any other (the two deletions are undone as one).
        QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(seen, QStringList{QStringLiteral("hello, w\r\n")});
    }

    void programChangesAreStillReportedAtOnce() {
        RichTextBox rtb;
        QSignalSpy spy(&rtb, &RichTextBox::Change);
        QSignalSpy textChanged(&rtb, &QsciScintilla::textChanged);
        QStringList seen;
        connect(&rtb, &RichTextBox::Change, &rtb, [&] { seen << rtb.Text(); });
        rtb.setFocus();
        QTest::keyClick(&rtb, Qt::Key_A);
        rtb.SetSelText(QStringLiteral("bc"));
        QCOMPARE(spy.count(), 2);
        // Replacing a selection: one change, seen complete.
        rtb.SetSelStart(1);
        rtb.SetSelLength(2);
        rtb.SetSelText(QStringLiteral("xyz"));
        QCOMPARE(spy.count(), 3);
        QCOMPARE(seen, (QStringList{QStringLiteral("a"), QStringLiteral("abc"), QStringLiteral("axyz")}));
        QCOMPARE(textChanged.count(), 3);   // QScintilla's own signal keeps coming
        rtb.SetSelText(QString());           // nothing selected, nothing written: no change
        QCOMPARE(spy.count(), 3);
        rtb.SendScintilla(QsciScintillaBase::SCI_UNDO);   // as a menu command would
        QCOMPARE(spy.count(), 5);                         // the deletion and the insertion
        QCOMPARE(rtb.Text(), QStringLiteral("abc"));
    }

    void noticesAreBackAfterKeysAndLoads() {
        RichTextBox rtb;
        const long mask = rtb.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
        rtb.setFocus();
        QTest::keyClick(&rtb, Qt::Key_A);
        QCOMPARE(rtb.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK), mask);
        rtb.BeginLoad(10);
        rtb.AppendUtf8("abc", 3);
        rtb.EndLoad();
        QCOMPARE(rtb.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK), mask);
        QSignalSpy notices(&rtb, &QsciScintillaBase::SCN_MODIFIED);
        rtb.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, "x");
        QVERIFY(notices.count() >= 2);
    }

    void describedAsEditableText() {
        RichTextBox rtb;
        rtb.show();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&rtb);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::EditableText);
    }

    // QScintilla's accessibility support walks the text from its start for every after-change
    // notice it sees, so a key in a large document must not produce one.
    void keysAndProgramEditsProduceNoAfterChangeNotices() {
        if (QAccessible::isActive()) QSKIP("a screen reader is listening: the notices are kept for it");
        RichTextBox rtb;
        rtb.resize(500, 300);
        rtb.show();
        rtb.SetText(QStringLiteral("<p>caf\u00e9</p>\r\n").repeated(1000));
        int afterNotices = 0;
        connect(&rtb, &QsciScintillaBase::SCN_MODIFIED, &rtb,
                [&](int, int type, const char*, int, int, int, int, int, int, int) {
                    if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT))
                        ++afterNotices;
                });
        rtb.selectBytes(rtb.byteLength(), rtb.byteLength());
        rtb.setFocus();
        for (int i = 0; i < 5; ++i) QTest::keyClick(&rtb, Qt::Key_A);
        QTest::keyClick(&rtb, Qt::Key_Backspace);
        QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);
        rtb.SetSelText(QStringLiteral("<br>"));
        QCOMPARE(afterNotices, 0);
        QVERIFY(rtb.Text().endsWith(QStringLiteral("</p>\r\naaaaa<br>")));
    }
};

QTEST_MAIN(EditNoticesTest)
#include "EditNotices_test.moc"
