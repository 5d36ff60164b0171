// Sessions through the frame: the files come back where the user left them and take the place of
// the untouched start-up window; a file open already is brought forward, never opened twice; a
// missing or garbled session, and files that are gone, each give one message.
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "fileops/Session.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QFile>
#include <QMdiArea>
#include <QTest>

namespace {
QList<QByteArray> names(const QStringList& paths) {
    QList<QByteArray> out;
    for (const QString& p : paths) out << QFile::encodeName(p);
    return out;
}
} // namespace

class SessionTest : public QObject {
    Q_OBJECT
    QTemporaryDir state_;
private slots:
    void initTestCase() { qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path())); }

    void sessionComesBackWhereItWasLeft() {
        ScratchDir dir;
        const QString a = dir.file(QStringLiteral("a.htm")), b = dir.file(QStringLiteral("b.txt"));
        writeBytes(a, QByteArray("<p>\r\n").repeated(400));
        writeBytes(b, "plain");
        {
            auto frame = makeFrame();
            ScriptedModal modal;
            const QList<Form1*> opened = documents::openFiles(*frame, names({a, b}));
            settle();
            QCOMPARE(frame->documentWindows(), opened);   // the start-up window made way
            DocumentView::of(opened[1])->setSyntaxKind(syntax::Kind::Css);
            documents::bringForward(*frame, *opened[0]);
            opened[0]->RTB1->SetSelStart(1000);
            fileops::rememberSession(*frame);
            QVERIFY(modal.messages.isEmpty());
        }
        auto frame = makeFrame();
        ScriptedModal modal;
        fileops::reopenLastSession(*frame, false);
        settle();
        const QList<Form1*> windows = frame->documentWindows();
        QCOMPARE(windows.size(), 2);
        QCOMPARE(frame->ActiveForm(), windows[0]);
        QCOMPARE(windows[0]->RTB1->SelStart(), 1000);
        QCOMPARE(DocumentView::of(windows[1])->syntaxKind(), syntax::Kind::Css);
        // Again: nothing opens twice.
        fileops::reopenLastSession(*frame, false);
        QCOMPARE(frame->documentWindows(), windows);
        QVERIFY(modal.messages.isEmpty());
    }

    // A handed-over file open already (here by another name: a link) brings its window forward.
    void fileOpenAlreadyComesForward() {
        ScratchDir dir;
        const QString a = dir.file(QStringLiteral("a.htm")), link = dir.file(QStringLiteral("link.htm"));
        writeBytes(a, "a");
        QVERIFY(QFile::link(a, link));
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* window = documents::openFiles(*frame, names({a})).first();
        documents::NewDocument(*frame);
        QCOMPARE(documents::openFiles(*frame, names({link, a})), (QList<Form1*>{window, window}));
        QCOMPARE(frame->ActiveForm(), window);
        QCOMPARE(frame->documentWindows().size(), 2);
    }

    // The start-up window gives way only while untouched: typed into, it stays.
    void typedStartWindowStays() {
        ScratchDir dir;
        writeBytes(dir.file(QStringLiteral("a.htm")), "a");
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("typed"));
        frame->ActiveForm()->setChanged(false);   // unchanged, but it holds text
        documents::openFiles(*frame, names({dir.file(QStringLiteral("a.htm"))}));
        settle();
        QCOMPARE(frame->documentWindows().size(), 2);
    }

    void badSessionsAndGoneFilesSayItOnce_data() {
        QTest::addColumn<QByteArray>("content");   // empty: no session file
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<QString>("message");      // its start; empty for none
        QTest::newRow("missing, at start") << QByteArray() << true << QString();
        QTest::newRow("missing, asked for") << QByteArray() << false << "There is no last session to reopen.";
        QTest::newRow("garbled") << QByteArray("\x00\x01garbage", 9) << true << "Can't reopen the last session: ";
        QTest::newRow("gone files") << QByteArray("TESSELPAD SESSION 1\nfile\t/gone/1.htm\t0\t0\t\t\t-\n"
                                                  "file\t/gone/2.htm\t0\t0\t\t\t-\n")
                                    << false << "Can't open 2 files:\r\n\r\n/gone/1.htm";
    }
    void badSessionsAndGoneFilesSayItOnce() {
        QFETCH(QByteArray, content);
        QFETCH(bool, atStart);
        QFETCH(QString, message);
        QFile::remove(io::sessionPath());
        if (!content.isEmpty()) writeBytes(io::sessionPath(), content);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        fileops::reopenLastSession(*frame, atStart);
        QCOMPARE(modal.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) QVERIFY2(modal.messages.first().text.startsWith(message), qPrintable(modal.messages.first().text));
        QCOMPARE(frame->documentWindows().size(), 1);   // the start-up window stays
    }
};

QTEST_MAIN(SessionTest)
#include "Session_test.moc"
