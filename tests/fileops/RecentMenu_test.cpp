// The File menu lists the files last opened or saved, newest first, after a separator of their
// own and before the one above Exit; the menu's own items keep their captions and order. A file
// that is no longer there says so and leaves the list.
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

class RecentMenuTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

    static QStringList captions(MDIForm1& frame) {
        QMenu* file = frame.menu("mnuFile");
        emit file->aboutToShow();
        QStringList out;
        for (QAction* a : file->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        QCoreApplication::setApplicationName(QStringLiteral("Tesselpad"));
    }

    void listedAboveExitNewestFirst() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QStringList own = captions(*frame);
        // Exit and the separator above it close the menu's own items; later items follow them.
        const qsizetype bar = own.indexOf(QStringLiteral("E&xit")) - 1;
        QCOMPARE(own.at(bar), QStringLiteral("-"));

        const QString a = dir.file(QStringLiteral("a&b.htm")), b = dir.file(QStringLiteral("b.css")), c = dir.file(QStringLiteral("c.txt"));
        for (const QString& f : {a, b}) {
            writeBytes(f, "text");
            QVERIFY(documents::openDocument(*frame, f));
        }
        modal.answerFile(c);
        frame->mnuFileSaveAs_Click();   // saved last: first in the list
        const QStringList expected = own.mid(0, bar) +
                                     QStringList{QStringLiteral("-"), QStringLiteral("&1 ") + c, QStringLiteral("&2 ") + b,
                                                 QStringLiteral("&3 ") + QString(a).replace(QStringLiteral("&"), QStringLiteral("&&"))} +
                                     own.mid(bar);
        QCOMPARE(captions(*frame), expected);

        // b is gone: choosing it says so, opens nothing and takes it off the list.
        QFile::remove(b);
        const int windows = frame->documentWindows().size();
        frame->findChild<QAction*>(QStringLiteral("mnuFileRecent2"))->trigger();
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages[0].text.startsWith(QStringLiteral("Can't open file: ") + b));
        QCOMPARE(frame->documentWindows().size(), windows);
        QVERIFY(!captions(*frame).contains(QStringLiteral("&2 ") + b));

        // a, open already, comes forward; closed, it opens as File > Open opens it: a new window
        // captioned with the path in upper case.
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        documents::NewDocument(*frame);
        frame->findChild<QAction*>(QStringLiteral("mnuFileRecent2"))->trigger();
        QCOMPARE(frame->documentWindows().size(), windows);
        QCOMPARE(frame->ActiveForm()->Caption(), a.toUpper());
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        frame->findChild<QAction*>(QStringLiteral("mnuFileRecent2"))->trigger();
        QCOMPARE(frame->ActiveForm()->Caption(), a.toUpper());
        QCOMPARE(frame->strCurrentFile, a);
    }
};

QTEST_MAIN(RecentMenuTest)
#include "RecentMenu_test.moc"
