#include "io/Settings.h"
#include "support/TestFrame.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using settings::FieldReader;

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void readingRule_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("splash");     // -1: not valid or not read
        QTest::addColumn<int>("maximize");
        QTest::newRow("written form") << QByteArray(" 1 , 0 ") << 1 << 0;
        QTest::newRow("bare digits") << QByteArray("1,1") << 1 << 1;
        QTest::newRow("one per line crlf") << QByteArray("0\r\n1\r\n") << 0 << 1;
        QTest::newRow("one per line lf") << QByteArray("1\n1") << 1 << 1;
        QTest::newRow("one per line cr") << QByteArray("1\r0") << 1 << 0;
        QTest::newRow("tabs and blanks") << QByteArray("\t1 ,\t1\t") << 1 << 1;
        QTest::newRow("field 1 only") << QByteArray("1") << 1 << -1;
        QTest::newRow("field 1 and comma") << QByteArray(" 1 ,") << 1 << -1;
        QTest::newRow("invalid field 1 hides field 2") << QByteArray("2,1") << -1 << -1;
        QTest::newRow("word") << QByteArray("yes,1") << -1 << -1;
        QTest::newRow("invalid field 2") << QByteArray("0,x") << 0 << -1;
        QTest::newRow("empty") << QByteArray() << -1 << -1;
        QTest::newRow("blanks only") << QByteArray("   ") << -1 << -1;
        QTest::newRow("empty first field") << QByteArray(",1") << -1 << -1;
        QTest::newRow("leading empty line") << QByteArray("\r\n1,1") << -1 << -1;
        QTest::newRow("two digits") << QByteArray("11,0") << -1 << -1;
        QTest::newRow("binary") << QByteArray("\x00\xff\x01,1", 5) << -1 << -1;
        QTest::newRow("extra fields") << QByteArray(" 0 , 1 , 1 ") << 0 << 1;
    }
    void readingRule() {
        QFETCH(QByteArray, content);
        QFETCH(int, splash);
        QFETCH(int, maximize);
        FieldReader reader = FieldReader::fromBytes(content);
        const settings::Flags flags = settings::parse(reader);
        QCOMPARE(flags.splash.value_or(-1), splash);
        QCOMPARE(flags.maximize.value_or(-1), maximize);
        // The same through a real file.
        ScratchDir dir;
        writeBytes(settings::kFileName, content);
        const settings::Flags fromFile = settings::read();
        QCOMPARE(fromFile.splash.value_or(-1), splash);
        QCOMPARE(fromFile.maximize.value_or(-1), maximize);
    }

    void missingFileGivesNoInstruction() {
        ScratchDir dir;
        const settings::Flags flags = settings::read();
        QVERIFY(!flags.splash && !flags.maximize);
        QVERIFY(!flags.splashOn() && !flags.maximizeOn());
    }

    void readingPastTheEndKeepsFailing() {
        FieldReader reader = FieldReader::fromBytes("1");
        QCOMPARE(reader.next().value(), QByteArray("1"));
        QVERIFY(!reader.next());
        QVERIFY(!reader.next());
    }

    void writtenFormIsSevenCharactersWithoutLineEnd() {
        QCOMPARE(settings::writtenForm(1, 0), QByteArray(" 1 , 0 "));
        QCOMPARE(settings::writtenForm(0, 1), QByteArray(" 0 , 1 "));
        ScratchDir dir;
        QVERIFY(settings::write(1, 1));
        QCOMPARE(readBytes(settings::kFileName), QByteArray(" 1 , 1 "));
        const settings::Flags flags = settings::read();
        QVERIFY(flags.splashOn() && flags.maximizeOn());
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void hugeFileIsReadOnlyAsFarAsNeeded() {
        ScratchDir dir;
        QByteArray big(8 << 20, ' ');
        big.prepend("1,1");
        writeBytes(settings::kFileName, big);
        QVERIFY(settings::read().maximizeOn());
    }

    // A settings file that is a pipe or a folder reads as a missing one, at once: no reader
    // waits for a writer (start-up, every new window).
    void pipeOrFolderReadsAsMissing() {
        ScratchDir dir;
        QVERIFY(QDir().mkdir(settings::kFileName));
        QVERIFY(!settings::read().splash);
        QVERIFY(QDir().rmdir(settings::kFileName));
        QCOMPARE(::mkfifo(settings::kFileName.toLocal8Bit().constData(), 0600), 0);
        std::atomic<bool> done{false}, missing{false};
        std::thread reader([&] {
            missing = !settings::read().splash;
            done = true;
        });
        const bool answered = QTest::qWaitFor([&] { return done.load(); }, 5000);
        // A reader still waiting is let go by a writer.
        if (!answered) ::close(::open(settings::kFileName.toLocal8Bit().constData(), O_WRONLY));
        reader.join();
        QVERIFY2(answered, "reading a pipe waited for a writer");
        QVERIFY(missing);
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "Settings_test.moc"
