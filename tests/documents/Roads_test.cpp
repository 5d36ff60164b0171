// Every road a text takes between a file and a window (Open, Reload, Reopen with Encoding,
// Recover, Save, Save As) leaves the document in the same state for the same file: recorded as it
// is on disk, so that another program's change afterwards is asked about once before Save writes;
// its encoding; Changed; the journal based on the file. And Find in Files refuses what Open refuses.
#include "documents/Document.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentJournal.h"
#include "documents/EncodingCommands.h"
#include "documents/Form1.h"
#include "documents/Recovery.h"
#include "fileops/SaveCommands.h"
#include "app/MDIForm1.h"
#include "io/JournalStore.h"
#include "io/TextLoader.h"
#include "platform/RichTextBox.h"
#include "search/FindInFiles.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QTest>

namespace {
enum class Road { Open, Reload, Reopen, Recover, Save, SaveAs };
}
Q_DECLARE_METATYPE(Road)

class RoadsTest : public QObject {
    Q_OBJECT
private slots:
    void sameStateOnEveryRoad_data() {
        QTest::addColumn<Road>("road");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("journalOnFile");   // the journal's first copy reads the file
        QTest::newRow("open") << Road::Open << "Windows-1252" << false << true;
        QTest::newRow("reload") << Road::Reload << "Windows-1252" << false << true;
        QTest::newRow("reopen as UTF-8") << Road::Reopen << "UTF-8" << false << true;
        QTest::newRow("recover") << Road::Recover << "ISO-8859-15" << true << false;
        QTest::newRow("save") << Road::Save << "Windows-1252" << false << true;
        QTest::newRow("save as") << Road::SaveAs << "Windows-1252" << false << true;
    }
    void sameStateOnEveryRoad() {
        QFETCH(Road, road);
        QFETCH(QString, encoding);
        QFETCH(bool, changed);
        QFETCH(bool, journalOnFile);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "caf\xe9\r\n");
        Form1* doc = nullptr;
        switch (road) {
        case Road::Open:
        case Road::Reload:
        case Road::Reopen:
        case Road::Save:
            doc = documents::openDocument(*frame, path);
            if (road == Road::Reload) {
                doc->RTB1->SetText(QStringLiteral("edited"));
                QTest::qWait(5);
                writeBytes(path, "caf\xe9 again\r\n");
                QVERIFY(documents::reloadDocument(*frame, *doc));
            } else if (road == Road::Reopen) {
                writeBytes(path, "caf\xc3\xa9\r\n");   // as another encoding sees it
                QVERIFY(documents::reopenWithEncoding(*doc, io::Encoding::Utf8));
            } else if (road == Road::Save) {
                doc->RTB1->SetText(QStringLiteral("saved\r\n"));
                frame->mnuFileSave_Click();
            }
            break;
        case Road::SaveAs:
            doc = frame->ActiveForm();
            doc->RTB1->SetText(QStringLiteral("saved\r\n"));
            modal.answerFile(path);
            modal.answerMessage(tp::MsgResult::Yes);   // replace the file
            fileops::mnuFileSaveAs(*frame);
            break;
        case Road::Recover: {
            // The journal a crash left, of the file as it is now.
            QString reason;
            QVERIFY(recovery::service().store().prepare(reason));
            const QString left = QStringLiteral("left-by-a-crash.tspj");
            writeBytes(recovery::service().store().folder() + QStringLiteral("/") + left, "journal");
            recovery::Found found;
            found.journal = left;
            found.header.path = path;
            found.header.file = io::stampOfPath(path);
            found.header.encoding = encoding;
            found.text = "recovered";
            found.goodBytes = 7;
            doc = recovery::openRecovered(*frame, found);
            break;
        }
        }
        QVERIFY(doc);
        QCOMPARE(doc->filePath(), path);
        const int asked = int(modal.messages.size());
        documents::Document& d = doc->document();
        QCOMPARE(io::encodingName(d.encoding()), encoding);
        QCOMPARE(d.isChanged(), changed);
        QVERIFY(d.diskRecord());
        QVERIFY(d.diskRecord()->file == io::FileIdentity::of(path));
        if (DocumentJournal* journal = d.journal())
            QCOMPARE(journal->baseStamp().sameFile(io::stampOfPath(path)), journalOnFile);

        // Another program writes the file: Save asks first, once; Cancel keeps both.
        QTest::qWait(5);
        writeBytes(path, "theirs, longer");
        doc->RTB1->SetText(QStringLiteral("mine"));
        modal.answerMessage(tp::MsgResult::Cancel);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), asked + 1);
        QVERIFY(modal.messages.last().text.startsWith(QStringLiteral("The file ") + path + QStringLiteral(" has been changed")));
        QCOMPARE(readBytes(path), QByteArray("theirs, longer"));
        QVERIFY(d.isChanged());
    }

    // With the same free memory, Find in Files skips the file Open refuses, and searches the one
    // Open takes.
    void findInFilesAgreesWithOpen() {
        ScratchDir dir;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, QByteArray(2000, 'a') + "needle\n");
        for (const qint64 free : {qint64(1000), qint64(100000)}) {
            io::setMemoryProbe([free] { return free; });
            auto frame = makeFrame();
            ScriptedModal modal;
            const bool opened = documents::openDocument(*frame, path) != nullptr;
            search::Matcher matcher;
            matcher.prepare({QStringLiteral("needle"), false, false, false});
            findinfiles::Summary summary;
            findinfiles::Search::Sink sink;
            sink.finished = [&](const findinfiles::Summary& s) { summary = s; };
            {
                findinfiles::Search run({dir.path(), QStringLiteral("*.htm"), true}, matcher, sink);
                run.wait();
            }
            io::setMemoryProbe(nullptr);
            QCOMPARE(opened, free > 1000);
            QCOMPARE(summary.tooLarge, opened ? 0 : 1);
            QCOMPARE(summary.filesMatched, opened ? 1 : 0);
        }
    }
};

QTEST_MAIN(RoadsTest)
#include "Roads_test.moc"
