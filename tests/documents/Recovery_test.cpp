// Unsaved work across a crash: when journals go (save, No, a clean exit) and when they stay; the
// offer at the next start through the modal seam (Enter recovers, Escape decides later, Discard
// deletes; hostile files refused and set aside; the user's file never written); and a kill test:
// a program typing in bursts through the real key path is killed at random moments, and the next
// start recovers the text it had at least one second before the kill, every time.
#include "documents/DocumentCommands.h"
#include "documents/DocumentJournal.h"
#include "documents/Form1.h"
#include "documents/Recovery.h"
#include "documents/frmInterruptedSave.h"
#include "documents/frmRecover.h"
#include "fileops/DiskChanges.h"
#include "fileops/SaveCommands.h"
#include "io/ContentHash.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <csignal>
#include <cstdio>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

QString folder() { return recovery::service().store().folder(); }
QStringList journals() { return QDir(folder()).entryList({QStringLiteral("*.tpj")}, QDir::Files); }

bool waitForJournal(Form1* doc) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000) {
        QCoreApplication::processEvents();
        doc->journal()->flush();
        recovery::service().writer().drain(5000);
        if (doc->journal()->state() == DocumentJournal::State::Live && doc->journal()->journal().installed()) return true;
    }
    return false;
}

// Journals as a program that was then killed left them.
struct Left {
    QString caption, path;
    io::FileStamp stamp;
    QByteArray text;
    QString encoding = QString();
};
void previousRun(const std::vector<Left>& docs) {
    io::JournalStore store(folder());
    io::JournalWriter writer(store);
    int n = 0;
    for (const Left& d : docs) {
        io::Journal j(writer, ++n);
        io::journal::Header h;
        h.created = QDateTime::currentMSecsSinceEpoch();
        h.caption = d.caption;
        h.path = d.path;
        h.file = d.stamp;
        h.encoding = d.encoding;
        j.startFromPieces(h);
        j.addPiece(d.text);
        j.endPieces({});
        writer.drain(5000);
        QTest::qWait(2);   // each left at its own moment, so that the list's order is known
    }
}

QByteArray hashOf(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex(); }
QByteArray textOf(Form1* doc) { return doc->RTB1->bytes(0, doc->RTB1->byteLength()); }

// ----- the child's side of the kill test: recover what the last run left, then type in bursts

int runKillChild(const QString& dir, int run) {
    QDir::setCurrent(dir);
    recovery::useFolder(dir + QStringLiteral("/state"));
    auto frame = makeFrame();
    ScriptedModal modal;
    modal.answerDialog([](QDialog& d) {
        d.show();
        QTest::keyClick(&d, Qt::Key_Return);
        return d.result();
    });
    recovery::offerAtStart(*frame);
    QList<Form1*> windows = frame->documentWindows();
    std::printf("RECOVERED %s\n", windows.size() > 1 ? hashOf(textOf(windows.last())).constData() : "none");
    // The recovered window goes, its journal with it; this run types in a document of its own,
    // every other run one opened from a file.
    if (windows.size() > 1) windows.last()->closeWithoutAsking();
    settle();
    Form1* doc = frame->ActiveForm();
    if (run % 2) {
        const QString page = dir + QStringLiteral("/page.htm");
        QByteArray bytes;
        for (int i = 0; bytes.size() < 20000; ++i) bytes += "<p>caf\xe9 " + QByteArray::number(run * 1000 + i) + QByteArray("\0</p>\r\n", 7);
        writeBytes(page, bytes);
        doc = documents::openDocument(*frame, page);
    }
    std::printf("READY %s\n", hashOf(textOf(doc)).constData());
    std::fflush(stdout);
    std::mt19937 random(run);
    const QString letters = QStringLiteral("abcdefghij \u00e9");
    for (;;) {
        const int burst = 1 + random() % 30;
        for (int k = 0; k < burst; ++k) {
            const int pick = random() % 14;
            QKeyEvent press(QEvent::KeyPress, pick == 13 ? Qt::Key_Backspace : pick == 12 ? Qt::Key_Return : Qt::Key_A,
                            Qt::NoModifier, pick >= 12 ? QString() : QString(letters[pick]));
            QApplication::sendEvent(doc->RTB1, &press);
            std::printf("S %s\n", hashOf(textOf(doc)).constData());
            std::fflush(stdout);
            QTest::qWait(random() % 40);
        }
        QTest::qWait(100 + random() % 900);
    }
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        for (const QString& j : journals()) QFile::remove(folder() + QLatin1Char('/') + j);
    }

    void journalsGoWhenTheWorkIsSavedOrLetGo_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("kept");
        QTest::newRow("saved") << "save" << 0;
        QTest::newRow("closed, No") << "no" << 0;
        QTest::newRow("closed, Cancel") << "cancel" << 1;
        QTest::newRow("exit, No") << "exit" << 0;
        QTest::newRow("killed") << "kill" << 1;
    }
    void journalsGoWhenTheWorkIsSavedOrLetGo() {
        QFETCH(QString, action);
        QFETCH(int, kept);
        ScratchDir dir;
        const QString page = dir.file(QStringLiteral("page.htm"));
        writeBytes(page, "text\r\n");
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = documents::openDocument(*frame, page);
        QTest::keyClicks(doc->RTB1, "typed");
        QVERIFY(waitForJournal(doc));
        QCOMPARE(journals().size(), 1);
        if (action == QLatin1String("save")) frame->mnuFileSave_Click();
        modal.answerMessage(action == QLatin1String("cancel") ? tp::MsgResult::Cancel : tp::MsgResult::No);
        if (action == QLatin1String("no") || action == QLatin1String("cancel")) frame->mnuFileClose_Click();
        if (action == QLatin1String("exit")) frame->mnuFileExit_Click();
        if (action == QLatin1String("kill")) frame.reset();   // no window is closed
        settle();
        recovery::service().writer().drain(5000);
        QCOMPARE(journals().size(), kept);
        const QString session = recovery::service().store().session();
        if (action == QLatin1String("exit"))   // nothing of this program's is left, its lock included
            QCOMPARE(QDir(folder()).entryList({session + QLatin1Char('*'), QLatin1Char('.') + session + QLatin1Char('*')},
                                              QDir::Files | QDir::Hidden),
                     QStringList());
    }

    // A journal begun from the file of a document holds the text the document has, whatever the
    // file's encoding.
    void journalOfAFileInEachEncoding_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\r\n");
        QTest::newRow("UTF-8 with a mark") << QByteArray("\xef\xbb\xbf" "caf\xc3\xa9\r\n");
        QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe" "c\0a\0f\0\xe9\0\r\0\n\0", 14);
        QTest::newRow("Windows-1252") << QByteArray("caf\xe9\r\n");
        QTest::newRow("ISO-8859-2, read again from the file") << QByteArray("<meta charset=latin2>caf\xe9\r\n");
        QTest::newRow("GB18030, copied from the control") << QByteArray("<meta charset=gb18030>caf\xa8\xa6\r\n");
    }
    void journalOfAFileInEachEncoding() {
        QFETCH(QByteArray, file);
        ScratchDir dir;
        const QString page = dir.file(QStringLiteral("page.htm"));
        writeBytes(page, file);
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = documents::openDocument(*frame, page);
        QTest::keyClicks(doc->RTB1, "x");
        QVERIFY(waitForJournal(doc));
        const io::journal::ReadResult r =
            io::journal::read(readBytes(folder() + QLatin1Char('/') + journals().value(0)));
        QCOMPARE(r.text, doc->RTB1->bytes(0, doc->RTB1->byteLength()));
        QVERIFY(r.text.contains("caf\xc3\xa9"));
    }

    void offerAtTheNextStart_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Enter recovers") << "enter";
        QTest::newRow("Escape decides later") << "escape";
        QTest::newRow("Discard") << "discard";
    }
    void offerAtTheNextStart() {
        QFETCH(QString, answer);
        ScratchDir dir;
        const QString page = dir.file(QStringLiteral("page.htm"));
        writeBytes(page, "old text\r\n");
        const io::FileStamp opened = io::stampOfPath(page);
        QTest::qWait(20);
        writeBytes(page, "changed by another program");
        const QByteArray titled("precious words, caf\xc3\xa9\r\nNUL\0end\n", 31);
        previousRun({{page.toUpper(), page, opened, titled, QStringLiteral("UTF-8")},
                     {QStringLiteral("Document 3"), QString(), {}, "untitled work"}});
        const QByteArray fifo = QFile::encodeName(folder() + QStringLiteral("/0123456789abcdef-1.tpj"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);

        auto frame = makeFrame();
        ScriptedModal modal;
        QStringList notes;
        modal.answerDialog([&](QDialog& d) {
            auto& f = static_cast<frmRecover&>(d);
            for (int i = 0; i < f.lstDocuments->topLevelItemCount(); ++i)
                notes << f.lstDocuments->topLevelItem(i)->text(0) + QLatin1Char('|') + f.lstDocuments->topLevelItem(i)->text(3);
            d.show();
            if (answer == QLatin1String("discard")) f.cmdDiscard->click();
            else QTest::keyClick(&d, answer == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
            return d.result();
        });
        recovery::offerAtStart(*frame);
        recovery::service().writer().drain(5000);
        QCOMPARE(modal.dialogs, QStringList{QStringLiteral("frmRecover")});
        QCOMPARE(modal.messages.size(), 1);   // the pipe, refused and set aside
        QVERIFY2(modal.messages[0].text.contains(QStringLiteral("not a regular file")), qPrintable(modal.messages[0].text));
        QVERIFY(QFileInfo::exists(folder() + QStringLiteral("/kept")) && !QFileInfo::exists(QFile::decodeName(fifo)));
        // The last work left comes first.
        QCOMPARE(notes, (QStringList{QStringLiteral("Document 3|"),
                                     page + QStringLiteral("|The file has changed on disk since this work began.")}));
        QCOMPARE(readBytes(page), QByteArray("changed by another program"));   // never written

        const QList<Form1*> windows = frame->documentWindows();
        if (answer == QLatin1String("enter")) {
            QCOMPARE(windows.size(), 3);
            QStringList captions;
            for (Form1* w : windows.mid(1)) {
                captions << w->Caption();
                QCOMPARE(frame->table().DocumentStates[w->slot()].Changed, std::int16_t(-1));
                QCOMPARE(textOf(w), w->Caption() == page.toUpper() ? titled : QByteArray("untitled work"));
                if (w->Caption() != page.toUpper()) QCOMPARE(w->Caption(), QStringLiteral("Document %1").arg(w->slot()));
            }
            QCOMPARE(captions.count(page.toUpper()), 1);
            QCOMPARE(journals().size(), 2);   // taken over by the new windows
            QCOMPARE(recovery::Offer(recovery::service()).found().size(), std::size_t(0));
            // Its file is followed from the file the work began with: Save asks; a new change is told.
            Form1* titledDoc = windows[1]->Caption() == page.toUpper() ? windows[1] : windows[2];
            fileops::checkDiskChange(*frame, *titledDoc);   // the list said so already
            modal.answerMessage(tp::MsgResult::Cancel);
            QVERIFY(!fileops::SaveWindow(*frame, *titledDoc));
            writeBytes(page, "changed again");
            modal.answerMessage(tp::MsgResult::No);
            fileops::checkDiskChange(*frame, *titledDoc);
            QCOMPARE(modal.messages.size(), 3);
            // Saved as usual: the recovered text goes to the file, and its journal goes.
            modal.answerMessage(tp::MsgResult::Yes);
            QVERIFY(fileops::SaveWindow(*frame, *titledDoc));
            QCOMPARE(readBytes(page), QByteArray("precious words, caf\xc3\xa9\r\nNUL\0end\n", 31));   // in its encoding
            recovery::service().writer().drain(5000);
            QCOMPARE(journals().size(), 1);
        } else {
            QCOMPARE(windows.size(), 1);
            QCOMPARE(journals().size(), answer == QLatin1String("escape") ? 2 : 0);
            QCOMPARE(recovery::Offer(recovery::service()).found().size(), std::size_t(journals().size()));
        }
    }

    // A save in place that a killed program left (the old content and the record of the new
    // text, its maker gone): the next start asks unless the file holds the new text whole or the
    // save still runs, and does as answered.
    void interruptedSaveAtTheNextStart_data() {
        QTest::addColumn<QString>("answer");   // empty: no question
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("fileAfter");
        QTest::addColumn<bool>("copyStays");
        const QByteArray mixed("new text, lonext\r\n"), oldText("old text\r\n"), newText("new text, longer\r\n");
        QTest::newRow("Restore") << "restore" << mixed << oldText << false;
        QTest::newRow("Keep") << "keep" << mixed << mixed << false;
        QTest::newRow("Later") << "later" << mixed << mixed << true;
        QTest::newRow("the new text whole") << "" << newText << newText << false;
        QTest::newRow("the save still running") << "" << mixed << mixed << true;
    }
    void interruptedSaveAtTheNextStart() {
        QFETCH(QString, answer);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, fileAfter);
        QFETCH(bool, copyStays);
        ScratchDir dir;
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.file(QStringLiteral("state"))));
        const QString page = dir.file(QStringLiteral("page.htm")), link = dir.file(QStringLiteral("link.htm"));
        writeBytes(page, file);
        QCOMPARE(::link(QFile::encodeName(page).constData(), QFile::encodeName(link).constData()), 0);
        const QString saves = dir.file(QStringLiteral("state/tesselpad/saves"));
        QVERIFY(QDir().mkpath(saves));
        const QString copy = saves + QStringLiteral("/page.htm~20260101-120000-999999999");
        writeBytes(copy + QStringLiteral(".old"), "old text\r\n");
        io::ContentHash newHash;
        newHash.add("new text, longer\r\n", 18);
        writeBytes(copy + QStringLiteral(".path"), QFile::encodeName(page) + "\nnew-text 18 " +
                                                       QByteArray::number(newHash.value(), 16) + " 999999999 0\n");
        QFile running(copy + QStringLiteral(".old"));
        if (QTest::currentDataTag() == QLatin1String("the save still running"))
            QVERIFY(running.open(QIODevice::ReadOnly) && ::flock(running.handle(), LOCK_EX) == 0);

        auto frame = makeFrame();
        ScriptedModal modal;
        modal.answerDialog([&](QDialog& d) {
            auto& f = static_cast<frmInterruptedSave&>(d);
            d.show();
            if (answer == QLatin1String("restore")) QTest::keyClick(&d, Qt::Key_Return);
            else if (answer == QLatin1String("keep")) f.cmdKeep->click();
            else QTest::keyClick(&d, Qt::Key_Escape);
            return d.result();
        });
        recovery::offerAtStart(*frame);
        qputenv("XDG_STATE_HOME", state);
        QCOMPARE(modal.dialogs, answer.isEmpty() ? QStringList() : QStringList{QStringLiteral("frmInterruptedSave")});
        QCOMPARE(modal.messages.size(), 0);
        QCOMPARE(readBytes(page), fileAfter);
        QCOMPARE(readBytes(link), fileAfter);   // the same file, rewritten in place
        QCOMPARE(QFileInfo::exists(copy + QStringLiteral(".old")), copyStays);
        QCOMPARE(QFileInfo::exists(copy + QStringLiteral(".path")), copyStays);
    }

    // A journal that cannot be written (a full disk) is told once; the document is not touched.
    void aJournalThatCannotBeWrittenIsToldOnce() {
        auto frame = makeFrame();
        ScriptedModal modal;
        recovery::service().writer().setFaultInjector([](qint64) { return ENOSPC; });
        Form1* doc = frame->ActiveForm();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClicks(doc->RTB1, "typed");
            doc->journal()->flush();
            recovery::service().writer().drain(5000);
            settle();
        }
        recovery::service().writer().setFaultInjector(nullptr);
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages[0].text.contains(QString::fromLocal8Bit(strerror(ENOSPC))));
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("typedtypedtyped"));
    }

    // A program typing in bursts is killed at random moments; the next start recovers the text it
    // had at least one second before the kill, or later, and never a text it did not have.
    void killedWhileTypingRecoversTheWork() {
        QTemporaryDir dir;
        constexpr int kTries = 50;
        std::mt19937 random(20261207);
        int latest = 0, withinASecond = 0, nothingNeeded = 0;
        qint64 oldest = 0;   // how long before the kill the oldest text recovered was replaced
        QList<QByteArray> states;   // the last run's texts, oldest first, with the times they were seen
        QList<qint64> times;
        qint64 killedAt = 0;
        QElapsedTimer clock;
        clock.start();
        for (int run = 0; run <= kTries; ++run) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TESSELPAD_KILL_CHILD"), dir.path());
            env.insert(QStringLiteral("TESSELPAD_KILL_RUN"), QString::number(run));
            p.setProcessEnvironment(env);
            p.start(QCoreApplication::applicationFilePath(), QStringList());
            QVERIFY(p.waitForStarted(10000));
            QList<QByteArray> seen;
            QList<qint64> seenAt;
            qint64 killAt = -1;
            const qint64 started = clock.elapsed();
            while (p.state() == QProcess::Running && (killAt < 0 || clock.elapsed() < killAt) &&
                   clock.elapsed() - started < 30000) {
                p.waitForReadyRead(2);
                while (p.canReadLine()) {
                    const QList<QByteArray> line = p.readLine().trimmed().split(' ');
                    if (line[0] == "RECOVERED" && run > 0) {
                        // Nothing to recover stands for the text the last run started with.
                        const QByteArray text = line[1] == "none" ? states[0] : line[1];
                        qsizetype first = 0;   // the last run's text one second before its kill
                        while (first + 1 < times.size() && times[first + 1] <= killedAt - 1000) ++first;
                        const qsizetype at = states.lastIndexOf(text);
                        QVERIFY2(at >= 0, qPrintable(QStringLiteral("run %1 recovered a text the last run never had").arg(run)));
                        QVERIFY2(at >= first, qPrintable(QStringLiteral("run %1 recovered a text from %2 ms before the kill")
                                                              .arg(run).arg(killedAt - times[at])));
                        if (line[1] == "none") ++nothingNeeded;
                        else if (at == states.size() - 1) ++latest;
                        else ++withinASecond;
                        if (at + 1 < times.size()) oldest = std::max(oldest, killedAt - times[at + 1]);
                    }
                    if (line[0] == "READY") killAt = clock.elapsed() + 300 + random() % 2200;
                    if (line[0] == "READY" || line[0] == "S") {
                        seen << line[1];
                        seenAt << clock.elapsed();
                    }
                }
                if (run == kTries && killAt >= 0) break;
            }
            QVERIFY2(killAt >= 0, p.readAllStandardError().constData());
            killedAt = clock.elapsed();
            ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));
            states = seen;
            times = seenAt;
        }
        qInfo("kill test: %d tries, killed 0.3-2.5 s into typing in bursts: the latest text recovered %d times, "
              "a text from the last second %d times (replaced at most %lld ms before the kill), nothing to recover "
              "(no change a second before) %d times; never an older or a wrong text (%lld s)",
              kTries, latest, withinASecond, oldest, nothingNeeded, clock.elapsed() / 1000);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString killChild = qEnvironmentVariable("TESSELPAD_KILL_CHILD");
    if (!killChild.isEmpty()) return runKillChild(killChild, qEnvironmentVariableIntValue("TESSELPAD_KILL_RUN"));
    RecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "Recovery_test.moc"
