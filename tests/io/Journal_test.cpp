// The recovery journal: its format read back whole, torn and damaged; the writer's threads
// (texts from pieces and from the file, appends, compaction, a failing disk); the folder's sessions
// and hostile files in it.
#include "io/ContentHash.h"
#include "io/JournalFormat.h"
#include "io/JournalStore.h"
#include "io/JournalWriter.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using io::journal::Edit;
using Batches = std::vector<std::vector<Edit>>;

namespace {

io::journal::Header sampleHeader() {
    io::journal::Header h;
    h.created = 1700000000123;
    h.pid = 4242;
    h.caption = QStringLiteral("C:\\WEB\\CAF\u00c9.HTM");
    h.path = QStringLiteral("/home/u/web/caf\u00e9.htm");
    h.encoding = QStringLiteral("windows-1252");
    h.file = {1234, 111, 222, 3, 4};
    return h;
}

QByteArray applyEdits(QByteArray text, const std::vector<Edit>& edits) {
    for (const Edit& e : edits) text.replace(e.position, e.removed, e.inserted);
    return text;
}

// Every byte value, NULs and every kind of line end.
QByteArray awkwardText() {
    QByteArray t;
    for (int i = 0; i < 256; ++i) t += char(i);
    return t + QByteArray("a\r\nb\nc\rd\0e\r\n\r\n", 15);
}

const Batches& sampleBatches() {
    static const Batches b = {{{0, 0, "start "}, {5, 3, QByteArray("\0\r\n", 3)}},
                              {{100, 50, "caf\xc3\xa9"}, {0, 1, ""}},
                              {{200, 0, "end"}}};
    return b;
}

// A journal of 'text' in pieces of 7 bytes and one record per batch; 'states' gets the text after
// the base and after each record, 'ends' where each record ends.
QByteArray buildJournal(const QByteArray& text, const Batches& batches, QList<QByteArray>* states = nullptr,
                        QList<qint64>* ends = nullptr) {
    QByteArray j = io::journal::headerRecord(sampleHeader());
    for (qsizetype at = 0; at < text.size(); at += 7) j += io::journal::textRecord(text.constData() + at, std::min<qsizetype>(7, text.size() - at));
    j += io::journal::baseRecord(text.size(), 1);
    QByteArray now = text;
    if (states) *states << now;
    if (ends) *ends << j.size();
    qint64 time = 1;
    for (const auto& batch : batches) {
        j += io::journal::editsRecord(batch, ++time);
        now = applyEdits(now, batch);
        if (states) *states << now;
        if (ends) *ends << j.size();
    }
    return j;
}

qint64 latin1ToUtf8(const char* in, qint64 n, char* out) {
    const QByteArray u = QString::fromLatin1(in, n).toUtf8();
    memcpy(out, u.constData(), u.size());
    return u.size();
}

} // namespace

class JournalTest : public QObject {
    Q_OBJECT
private slots:
    void formatRoundTrip() {
        QCOMPARE(io::journal::crc32c(0, "123456789", 9), 0xE3069283u);   // the standard check value
        QList<QByteArray> states;
        const QByteArray bytes = buildJournal(awkwardText(), sampleBatches(), &states);
        const io::journal::ReadResult r = io::journal::read(bytes);
        QVERIFY2(r.ok(), qPrintable(r.reason()));
        QCOMPARE(r.text, states.last());
        QCOMPARE(r.edits, qint64(5));
        QCOMPARE(r.lastChange, qint64(4));
        QCOMPARE(r.droppedBytes(), qint64(0));
        const io::journal::Header h = sampleHeader();
        QCOMPARE(r.header.caption, h.caption);
        QCOMPARE(r.header.path, h.path);
        QCOMPARE(r.header.encoding, h.encoding);
        QVERIFY(r.header.file.sameFile(h.file) && r.header.pid == h.pid && r.header.created == h.created);
    }

    // A journal cut anywhere, or damaged anywhere, gives the text as it was after the last whole
    // record before the damage: an older text, never a wrong one.
    void tornOrDamagedGivesAnEarlierText() {
        QList<QByteArray> states;
        QList<qint64> ends;
        const QByteArray bytes = buildJournal(awkwardText(), sampleBatches(), &states, &ends);
        for (qint64 cut = ends.first(); cut < bytes.size(); ++cut) {
            const io::journal::ReadResult r = io::journal::read(bytes.left(cut));
            const qsizetype whole = std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin() - 1;
            QVERIFY(r.ok());
            QCOMPARE(r.text, states[whole]);
        }
        for (qint64 at = ends.first(); at < bytes.size(); ++at) {
            QByteArray damaged = bytes;
            damaged[at] = char(damaged[at] ^ 0x10);
            const io::journal::ReadResult r = io::journal::read(damaged);
            const qsizetype whole = std::upper_bound(ends.begin(), ends.end(), at) - ends.begin() - 1;
            QVERIFY(r.ok());
            QCOMPARE(r.text, states[whole]);
            QCOMPARE(r.goodBytes, ends[whole]);
        }
    }

    void refusedJournals_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        const QByteArray header = io::journal::headerRecord(sampleHeader());
        QByteArray newer = header;
        newer[12] = 99;   // the version
        newer.chop(4);
        newer += QByteArray(4, 0);
        const quint32 crc = io::journal::crc32c(0, newer.constData(), newer.size() - 4);
        for (int i = 0; i < 4; ++i) newer[newer.size() - 4 + i] = char(crc >> (8 * i));
        using S = io::journal::Status;
        QTest::newRow("garbage") << QByteArray("not a journal at all, no") << int(S::NotAJournal);
        QTest::newRow("empty") << QByteArray() << int(S::NotAJournal);
        QTest::newRow("header only") << header << int(S::NoText);
        QTest::newRow("text without its end") << header + io::journal::textRecord("abc", 3) << int(S::NoText);
        QTest::newRow("base of another length")
            << header + io::journal::textRecord("abc", 3) + io::journal::baseRecord(4, 1) << int(S::NoText);
        QTest::newRow("newer version") << newer << int(S::NewerVersion);
        QTest::newRow("too large") << header + io::journal::textRecord("0123456789ABCDEF!", 17) << int(S::TooLarge);
    }
    void refusedJournals() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        io::journal::Limits limits;
        limits.maxText = 16;
        const io::journal::ReadResult r = io::journal::read(bytes, limits);
        QCOMPARE(int(r.status), status);
        QVERIFY(!r.reason().isEmpty());
    }

    // An edit that does not fit the text (a fault, or a hostile file) ends the journal before it.
    void editOutOfRangeEndsTheJournal() {
        const QByteArray good = buildJournal("hello", {{{5, 0, "!"}}});
        const QByteArray bad = good + io::journal::editsRecord({{1, 0, "x"}, {8, 0, "y"}}, 9);
        const io::journal::ReadResult r = io::journal::read(bad);
        QVERIFY(r.ok());
        QCOMPARE(r.text, QByteArray("hello!"));
        QCOMPARE(r.goodBytes, qint64(good.size()));
    }

    void writerBuildsAppendsAndCompacts() {
        QTemporaryDir dir;
        io::JournalStore store(dir.path());
        io::JournalWriter writer(store);
        io::Journal j(writer, 1);
        const QString path = dir.filePath(j.fileName());
        j.startFromPieces(sampleHeader());
        j.addPiece(awkwardText());
        j.addPiece("tail");
        j.endPieces({{0, 0, "A"}});
        j.append({{3, 2, "xyz"}});
        QVERIFY(writer.drain(5000));
        QVERIFY(j.installed() && !j.failed());
        QByteArray expected = applyEdits(awkwardText() + "tail", {{0, 0, "A"}, {3, 2, "xyz"}});
        QCOMPARE(io::journal::read(readBytes(path)).text, expected);

        // Many edits, then a compaction with more edits arriving while it runs.
        std::vector<Edit> one = {{10, 1, "edit"}};
        for (int i = 0; i < 200; ++i) {
            j.append(one);
            expected = applyEdits(expected, one);
        }
        QVERIFY(writer.drain(5000));
        const qint64 before = QFileInfo(path).size();
        j.compact();
        for (int i = 0; i < 3; ++i) {
            j.append({{0, 0, "C"}});
            expected.prepend('C');
        }
        QVERIFY(writer.drain(5000));
        const io::journal::ReadResult r = io::journal::read(readBytes(path));
        QCOMPARE(r.text, expected);
        QVERIFY2(r.edits <= 3, qPrintable(QString::number(r.edits)));
        QVERIFY(QFileInfo(path).size() < before);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden), QStringList());

        j.remove();
        QVERIFY(writer.drain(5000));
        QVERIFY(!QFile::exists(path));
    }

    // The text is read from the document's file when it is still what was opened or saved there;
    // else the window is told to give it in pieces.
    void writerReadsTheTextFromTheFile() {
        QTemporaryDir dir;
        io::JournalStore store(dir.path() + QStringLiteral("/recovery"));
        io::JournalWriter writer(store);
        const QString file = dir.filePath(QStringLiteral("page.htm"));
        writeBytes(file, "caf\xe9 au lait\r\n");
        io::Journal j(writer, 1);
        j.startFromFile(sampleHeader(), file, io::stampOfPath(file), latin1ToUtf8, "\r\n");
        j.append({{0, 0, "<"}});
        QVERIFY(writer.drain(5000));
        QVERIFY(j.installed());
        QCOMPARE(io::journal::read(readBytes(store.folder() + QLatin1Char('/') + j.fileName())).text,
                 QByteArray("<caf\xc3\xa9 au lait"));

        const io::FileStamp old = io::stampOfPath(file);
        QTest::qWait(20);
        writeBytes(file, "changed by another program\r\n");
        j.startFromFile(sampleHeader(), file, old, latin1ToUtf8, "\r\n");
        QVERIFY(writer.drain(5000));
        QVERIFY(j.failed() && j.problem().isEmpty());

        // Where the file's times cannot tell (a rewrite within the same second), the checksum of
        // the bytes read or written does: other bytes under the same stamp are not taken.
        for (const QByteArray& held : {QByteArray("changed by another program\r\n"), QByteArray("changed by anothxr program\r\n")}) {
            io::ContentHash hash;
            hash.add(held.constData(), held.size());
            io::Journal k(writer, 2);
            k.startFromFile(sampleHeader(), file, io::stampOfPath(file), latin1ToUtf8, "\r\n", hash.value());
            QVERIFY(writer.drain(5000));
            QCOMPARE(k.failed(), held != readBytes(file));
            k.remove();
        }
    }

    // A write that fails (a full disk) is cut back: the journal keeps its last whole text, and
    // the window learns that a fresh text is needed.
    void failedAppendLeavesTheJournalWhole() {
        QTemporaryDir dir;
        io::JournalStore store(dir.path());
        io::JournalWriter writer(store);
        io::Journal j(writer, 1);
        j.startFromPieces(sampleHeader());
        j.addPiece("kept");
        j.endPieces({});
        QVERIFY(writer.drain(5000));
        writer.setFaultInjector([](qint64) { return ENOSPC; });
        j.append({{0, 0, "lost "}});
        QVERIFY(writer.drain(5000));
        writer.setFaultInjector(nullptr);
        QVERIFY(j.failed());
        QCOMPARE(j.problem(), QString::fromLocal8Bit(strerror(ENOSPC)));
        const io::journal::ReadResult r = io::journal::read(readBytes(dir.filePath(j.fileName())));
        QCOMPARE(r.text, QByteArray("kept"));
        QCOMPARE(r.droppedBytes(), qint64(0));
    }

    // The journals of a running program are never taken; those of one that ended are, by one
    // program at a time.
    void sessionsOfRunningProgramsAreLeftAlone() {
        QTemporaryDir dir;
        auto first = std::make_unique<io::JournalStore>(dir.path());
        QString reason;
        QVERIFY(first->prepare(reason));
        writeBytes(dir.filePath(first->journalName(1)), buildJournal("text", {}));
        io::JournalStore second(dir.path()), third(dir.path());
        QVERIFY(second.claimOrphans().empty());
        first.reset();   // the program ends without cleaning up: its lock goes with it
        std::vector<io::OrphanSession> orphans = second.claimOrphans();
        QCOMPARE(int(orphans.size()), 1);
        QCOMPARE(orphans[0].journals.size(), 1);
        QVERIFY(third.claimOrphans().empty());
        second.remove(orphans[0].journals[0]);
        second.releaseOrphan(orphans[0], true);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void hostileJournalsAreRefusedAndKeptAside_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("symbolic link") << "link" << "symbolic link";
        QTest::newRow("pipe") << "fifo" << "not a regular file";
        QTest::newRow("folder") << "folder" << "not a regular file";
        QTest::newRow("huge") << "huge" << "too large";
        QTest::newRow("someone else's") << "other" << "another user";
        QTest::newRow("garbled") << "garbled" << "not a recovery journal";
    }
    void hostileJournalsAreRefusedAndKeptAside() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString name = QStringLiteral("0123456789abcdef-1.tpj");
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        if (kind == QLatin1String("link")) QVERIFY(QFile::link(QStringLiteral("/etc/passwd"), dir.filePath(name)));
        if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        if (kind == QLatin1String("folder")) QVERIFY(QDir(dir.path()).mkdir(name));
        if (kind == QLatin1String("huge")) {
            writeBytes(dir.filePath(name), "x");
            QCOMPARE(::truncate(path.constData(), qint64(3) << 30), 0);
        }
        if (kind == QLatin1String("garbled")) writeBytes(dir.filePath(name), QByteArray(5000, 'g'));
        if (kind == QLatin1String("other")) {
            const passwd* nobody = ::getpwnam("nobody");
            if (::geteuid() != 0 || !nobody) QSKIP("needs root to give a file away");
            writeBytes(dir.filePath(name), buildJournal("text", {}));
            QCOMPARE(::chown(path.constData(), nobody->pw_uid, gid_t(-1)), 0);
        }
        io::JournalStore store(dir.path());
        QElapsedTimer timer;
        timer.start();
        std::vector<io::OrphanSession> orphans = store.claimOrphans();
        QCOMPARE(int(orphans.size()), 1);
        const io::JournalRead r = store.read(name, qint64(1) << 30, {});
        QVERIFY2(r.refusal.contains(reason), qPrintable(r.refusal));
        QVERIFY(timer.elapsed() < 2000);
        QString why;
        QVERIFY2(store.keepAside(name, why), qPrintable(why));
        QVERIFY(!QFileInfo::exists(dir.filePath(name)) && !QFileInfo(dir.filePath(name)).isSymLink());
        QCOMPARE(QDir(dir.filePath(QStringLiteral("kept"))).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(), 1);
    }
};

QTEST_GUILESS_MAIN(JournalTest)
#include "Journal_test.moc"
