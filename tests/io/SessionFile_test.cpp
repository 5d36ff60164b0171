// The last session's file: what is written comes back exactly, names byte for byte; whatever else
// lies under its name gives a reason, never a hang, a crash or a namesake.
#include "io/SessionFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class SessionFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("session"));
private slots:
    void writtenSessionComesBack() {
        io::Session s;
        s.documents << io::SessionDocument{QStringLiteral("/w/tab\there%41 and\nbreak \u00e9.htm"), 120, 7,
                                           QStringLiteral("UTF-8 with BOM"), QStringLiteral("html"), {3, 40}}
                    << io::SessionDocument{QStringLiteral("/w/plain.txt"), 0, 0, QString(), QString(), {}};
        s.active = 1;
        QString reason;
        QVERIFY(io::writeSession(s, reason, path_));
        const io::SessionRead r = io::readSession(path_);
        QCOMPARE(r.status, io::SessionRead::Status::Read);
        QVERIFY(r.session == s);
    }

    void badSessionFiles_data() {
        QTest::addColumn<QByteArray>("content");   // "<fifo>" and "<folder>" put those in its place
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("documents");
        const QByteArray head = "TESSELPAD SESSION 1\n";
        const QByteArray good = "file\t/a.htm\t5\t0\tUTF-8\thtml\t-\n";
        QTest::newRow("missing") << QByteArray() << int(io::SessionRead::Status::Missing) << 0;
        QTest::newRow("garbled") << QByteArray("[editor]\nzoom=3\n") << int(io::SessionRead::Status::Refused) << 0;
        QTest::newRow("binary") << QByteArray("\x7f" "ELF\0\0\xff\xfe", 8) << int(io::SessionRead::Status::Refused) << 0;
        QTest::newRow("huge") << head + QByteArray(io::kSessionFileLimit, 'x') << int(io::SessionRead::Status::Refused) << 0;
        QTest::newRow("pipe") << QByteArray("<fifo>") << int(io::SessionRead::Status::Refused) << 0;
        QTest::newRow("folder") << QByteArray("<folder>") << int(io::SessionRead::Status::Refused) << 0;
        // Damaged lines drop out, the good ones stay: a name that is not text (its namesake
        // spelled with U+FFFD would open), a relative name, a caret that is no number.
        QTest::newRow("damaged lines") << head + "file\t/n%FF.htm\t0\t0\t\t\t-\nfile\trel.htm\t0\t0\t\t\t-\n"
                                                 "file\t/b.htm\tx\t0\t\t\t-\nfile\t/c\n" + good + "active\t9\n"
                                       << int(io::SessionRead::Status::Read) << 1;
    }
    void badSessionFiles() {
        QFETCH(QByteArray, content);
        QFile::remove(path_);
        ::rmdir(QFile::encodeName(path_).constData());
        if (content == "<fifo>") QCOMPARE(::mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
        else if (content == "<folder>") QVERIFY(QDir().mkpath(path_));
        else if (!content.isEmpty()) {
            QFile f(path_);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const io::SessionRead r = io::readSession(path_);
        QTEST(int(r.status), "status");
        QTEST(int(r.session.documents.size()), "documents");
        QCOMPARE(r.reason.isEmpty(), r.status != io::SessionRead::Status::Refused);
        QCOMPARE(r.session.active, -1);
    }
};

QTEST_GUILESS_MAIN(SessionFileTest)
#include "SessionFile_test.moc"
