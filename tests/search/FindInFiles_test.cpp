#include "search/FindInFiles.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "documents/Theme.h"
#include "io/CodePage.h"
#include "io/TextLoader.h"
#include "platform/RichTextBox.h"
#include "search/FindInFilesPanel.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace findinfiles;

namespace {

// Runs a search to its end; one line per file outcome and per hit, paths relative to the folder.
QStringList searchTree(const QString& folder, const QString& find, const QString& options, bool subfolders,
                       Summary* summary = nullptr, std::vector<Hit>* hits = nullptr, int threads = 3) {
    search::Matcher m;
    m.prepare({find, options.contains(QLatin1Char('c')), options.contains(QLatin1Char('w')),
               options.contains(QLatin1Char('r'))});
    QStringList lines;
    Summary end;
    Search::Sink sink;
    sink.file = [&](FileResult&& r) {
        const QString rel = QDir(folder).relativeFilePath(r.path);
        if (r.outcome != Outcome::Searched) lines << QStringLiteral("%1 skipped %2").arg(rel).arg(int(r.outcome));
        for (const Hit& h : r.hits)
            lines << QStringLiteral("%1:%2:%3 [%4] %5+%6 @%7")
                         .arg(rel).arg(h.line).arg(h.column).arg(h.lineText).arg(h.markFrom).arg(h.markLength).arg(h.start);
        if (hits) hits->insert(hits->end(), r.hits.begin(), r.hits.end());
    };
    sink.finished = [&](const Summary& s) { end = s; };
    {
        Search run({folder, QStringLiteral("*.htm *.HTML;*.css"), subfolders}, m, sink, threads);
        run.wait();
        if (!run.done()) lines << QStringLiteral("not done");
    }
    if (summary) *summary = end;
    return lines;
}

void makeTree(const QString& root) {
    QDir(root).mkpath(QStringLiteral("sub/deeper"));
    writeBytes(root + QStringLiteral("/a.htm"), "hello world\r\nsecond\rthird hello hello\n");
    writeBytes(root + QStringLiteral("/sub/b.html"), "caf\xe9 hello");   // Windows-1252
    writeBytes(root + QStringLiteral("/sub/deeper/c.css"), QByteArray(500, 'x') + "hello" + QByteArray(500, 'y'));
    writeBytes(root + QStringLiteral("/image.htm"), QByteArray("GIF\0hello", 9));
    writeBytes(root + QStringLiteral("/notes.txt"), "hello");   // not among the patterns
}

} // namespace

class FindInFilesTest : public QObject {
    Q_OBJECT
private slots:
    void smallTree() {
        QTemporaryDir dir;
        makeTree(dir.path());
        Summary s;
        const QStringList got = searchTree(dir.path(), QStringLiteral("hello"), QString(), true, &s);
        const QStringList want = {
            QStringLiteral("a.htm:1:1 [hello world] 0+5 @0"),
            QStringLiteral("a.htm:3:7 [third hello hello] 6+5 @26"),
            QStringLiteral("a.htm:3:13 [third hello hello] 12+5 @32"),
            QStringLiteral("image.htm skipped 1"),
            QStringLiteral("sub/b.html:1:6 [café hello] 5+5 @6"),
            QStringLiteral("sub/deeper/c.css:1:501 […") + QString(80, QLatin1Char('x')) + QStringLiteral("hello") +
                QString(235, QLatin1Char('y')) + QStringLiteral("…] 81+5 @500"),
        };
        QCOMPARE(got, want);
        QCOMPARE(s.filesSearched, 3);
        QCOMPARE(s.filesMatched, 3);
        QCOMPARE(s.matches, 5);
        QCOMPARE(s.binary, 1);
        QVERIFY(!s.stopped);
    }

    void optionsAndFolders() {
        QTemporaryDir dir;
        makeTree(dir.path());
        // Without subfolders; a regular expression over the decoded text; whole words.
        const QStringList top = searchTree(dir.path(), QStringLiteral("hello"), QString(), false);
        QCOMPARE(top.size(), 4);
        QVERIFY(top.filter(QStringLiteral("sub/")).isEmpty());
        QCOMPARE(searchTree(dir.path(), QStringLiteral("caf\\w\\b"), QStringLiteral("r"), true),
                 (QStringList{QStringLiteral("image.htm skipped 1"), QStringLiteral("sub/b.html:1:1 [café hello] 0+4 @0")}));
        QCOMPARE(searchTree(dir.path(), QStringLiteral("hell"), QStringLiteral("w"), true).size(), 1);   // the binary file
        writeBytes(dir.filePath(QStringLiteral("w.htm")), "\xe9" "clat clat");   // not a word inside "éclat"
        QCOMPARE(searchTree(dir.path(), QStringLiteral("clat"), QStringLiteral("w"), false),
                 (QStringList{QStringLiteral("image.htm skipped 1"), QStringLiteral("w.htm:1:7 [éclat clat] 6+4 @7")}));
        QVERIFY(folderProblem(dir.filePath(QStringLiteral("missing"))).contains(QLatin1String("No such file")));
        QVERIFY(folderProblem(dir.filePath(QStringLiteral("a.htm"))).contains(QLatin1String("is not a folder")));
        QVERIFY(folderProblem(dir.path()).isEmpty());
    }

    // A file whose name is not text is listed as one that cannot be opened, never as its namesake.
    void nameThatIsNotText() {
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("n\uFFFD.htm")), "hello");
        const QByteArray raw = QFile::encodeName(dir.path()) + "/n\xff.htm";
        const struct Unlink { QByteArray name; ~Unlink() { ::unlink(name.constData()); } } removed{raw};
        QFile f;
        QVERIFY(f.open(::open(raw.constData(), O_WRONLY | O_CREAT, 0644), QIODevice::WriteOnly, QFile::AutoCloseHandle));
        f.write("hello");
        f.close();
        QCOMPARE(searchTree(dir.path(), QStringLiteral("hello"), QString(), true),
                 (QStringList{QStringLiteral("n\uFFFD.htm:1:1 [hello] 0+5 @0"), QStringLiteral("n\\xFF.htm skipped 3")}));
    }

    void fileTextIsOpensText() {
        QByteArray all;
        for (int b = 0; b < 256; ++b) all += char(b);
        all = QByteArray(40, 'a') + all.repeated(3) + "tail";
        for (int skip : {0, 1, 7, 39, 40, 41, 200}) {
            QByteArray scratch;
            QCOMPARE(fileText(all.mid(skip), scratch).toByteArray(), codepage::decodeToUtf8(all.mid(skip)));
        }
    }

    // "é" is found whatever the file's encoding, where Open shows it.
    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hit");
        const QString plain = QStringLiteral("f.htm:1:4 [café x] 3+1 @3");
        QTest::newRow("Windows-1252") << QByteArray("caf\xe9 x") << plain;
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 x") << plain;
        QTest::newRow("UTF-8 with mark") << QByteArray("\xef\xbb\xbf" "caf\xc3\xa9 x") << plain;
        QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe" "c\0a\0f\0\xe9\0 \0x\0", 14) << plain;
        QTest::newRow("UTF-16 BE") << QByteArray("\xfe\xff\0c\0a\0f\0\xe9\0 \0x", 14) << plain;
        QTest::newRow("declared UTF-8, a stray byte") << QByteArray("<meta charset=utf-8>\xe9\xc3\xa9")
                                                        << QStringLiteral("f.htm:1:22 [<meta charset=utf-8>\ufffdé] 21+1 @21");
        QTest::newRow("declared ISO-8859-2") << QByteArray("<meta charset=iso-8859-2>caf\xe9 x")
                                             << QStringLiteral("f.htm:1:29 [<meta charset=iso-8859-2>café x] 28+1 @28");
        QTest::newRow("declared GB18030") << QByteArray("<meta charset=gb18030>caf\xa8\xa6 x")
                                          << QStringLiteral("f.htm:1:26 [<meta charset=gb18030>café x] 25+1 @25");
    }
    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, hit);
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("f.htm")), bytes);
        QCOMPARE(searchTree(dir.path(), QStringLiteral("É"), QString(), false), QStringList{hit});
    }

    // The longest line is measured as Open measures it: a UTF-16 file in characters, not bytes.
    void lineLimit_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("found");
        const qint64 chars = io::kMaxLineChars / 2 + 1000000;
        QByteArray utf16("\xff\xfe" "\xc9\0", 4);
        utf16.append(QByteArray("a\0", 2).repeated(chars));
        QTest::newRow("UTF-16, a line of 2 bytes a character, within the limit") << utf16 << 1;
        QTest::newRow("Windows-1252, a line over the limit") << ("\xc9" + QByteArray(io::kMaxLineChars, 'a')) << 0;
        QTest::newRow("a line over the limit between two others") << ("x\n" + QByteArray(io::kMaxLineChars + 1, 'a') + "\n\xc9") << 0;
    }
    void lineLimit() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, found);
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("f.htm")), bytes);
        bytes.clear();
        Summary s;
        searchTree(dir.path(), QStringLiteral("\u00c9"), QString(), false, &s);
        QCOMPARE(s.matches, found);
        QCOMPARE(s.filesSearched, found);
    }

    // The column of a hit is the one the editor shows at the match, whatever stands before it.
    void columnsAsTheEditorShows_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8, an emoji") << QByteArray("ab\r\n\xf0\x9f\x98\x80 x \xf0\x9f\x98\x80x");
        QTest::newRow("UTF-16, an emoji") << QByteArray("\xff\xfe" "a\0\n\0\x3d\xd8\0\xde \0x\0", 14);
        QTest::newRow("UTF-16, a lone surrogate") << QByteArray("\xff\xfe" "\0\xdc \0x\0", 8);
        QTest::newRow("UTF-8 declared, stray bytes") << QByteArray("<meta charset=utf-8>\x80\xbf x");
    }
    void columnsAsTheEditorShows() {
        QFETCH(QByteArray, bytes);
        ScratchDir scratch;
        QTemporaryDir dir;
        writeBytes(dir.filePath(QStringLiteral("f.htm")), bytes);
        std::vector<Hit> hits;
        searchTree(dir.path(), QStringLiteral("x"), QStringLiteral("c"), false, nullptr, &hits);
        QVERIFY(!hits.empty());
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* form = documents::openDocument(*frame, dir.filePath(QStringLiteral("f.htm")));
        QVERIFY(form);
        for (const Hit& h : hits) {
            const RichTextBox::LineColumn at = form->RTB1->lineColumnAt(h.start);
            QCOMPARE(h.line, at.line + 1);
            QCOMPARE(h.column, at.column + 1);
            QCOMPARE(h.lineText.mid(h.markFrom, h.markLength), QStringLiteral("x"));
        }
    }

    // Searched a few bytes at a time, a text gives the hits it gives searched at once.
    void windowsGiveTheSameHits_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("options");
        QTest::newRow("plain") << QByteArray("abcabcab\r\nabc") << "abc" << "";
        QTest::newRow("without case, longer in bytes") << QByteArray("\xc5\xbf\xc5\xbfs ss") << "ss" << "";
        QTest::newRow("whole word") << QByteArray("ab ab_ab \xc3\xa9" "ab ab") << "ab" << "w";
        QTest::newRow("empty matches") << QByteArray("baaac\nx") << "a*" << "r";
        QTest::newRow("line starts and ends") << QByteArray("a\r\nb\n\nc") << "^|$" << "r";
        QTest::newRow("longer than a window") << QByteArray("aaaa bbbbbbbb a b") << "a+ b+" << "r";
        QTest::newRow("look-behind") << QByteArray("xaxaya") << "(?<=x)a" << "r";
    }
    void windowsGiveTheSameHits() {
        QFETCH(QByteArray, text);
        QFETCH(QString, find);
        QFETCH(QString, options);
        search::Matcher m;
        QVERIFY(m.prepare({find, false, options.contains(QLatin1Char('w')), options.contains(QLatin1Char('r'))}));
        const auto hits = [&](qint64 window) {
            HitBudget budget(1000);
            qint64 matches = 0;
            QStringList out;
            for (const Hit& h : hitsIn(text.constData(), text.size(), m, budget, matches, nullptr, window))
                out << QStringLiteral("%1:%2 %3-%4").arg(h.line).arg(h.column).arg(h.start).arg(h.end);
            return out;
        };
        const QStringList whole = hits(text.size() + 1);
        QVERIFY(whole.size() > 1);
        for (qint64 window : {1, 2, 3, 5}) QCOMPARE(hits(window), whole);
    }

    // The match stays readable in a dark palette as in a light one.
    void markIsReadable() {
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
        dark.setColor(QPalette::Highlight, QColor(0x2f, 0x5f, 0xa8));
        for (const QPalette& p : {QApplication::style()->standardPalette(), dark}) {
            const MarkColours mark = markColours(p);
            QVERIFY(theme::contrast(mark.text, mark.paper) >= theme::kMinContrast);
            QVERIFY(mark.paper != p.color(QPalette::Base));
        }
    }

    // The list stops at its limit across all the workers; every match is still counted.
    void listLimitAcrossWorkers() {
        QTemporaryDir dir;
        const qint64 perFile = Search::kListLimit * 3 / 8;
        for (const char* name : {"a.htm", "b.htm", "c.htm", "d.htm"})
            writeBytes(dir.filePath(QLatin1String(name)), QByteArray("ab\n").repeated(perFile));
        Summary s;
        std::vector<Hit> hits;
        searchTree(dir.path(), QStringLiteral("ab"), QString(), false, &s, &hits, 4);
        QCOMPARE(qint64(hits.size()), Search::kListLimit);
        QCOMPARE(s.matches, 4 * perFile);
        QCOMPARE(s.unlisted, 4 * perFile - Search::kListLimit);
    }

    // In a large file, Stop ends the search and dropping a running search returns, at once.
    void stopsAtOnceInALargeFile() {
        const qint64 size = qint64(256) << 20;
        if (io::availableMemory() >= 0 && io::availableMemory() < size * 4) QSKIP("not enough memory");
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("big.htm")));   // sparse: lines of 8 MB of NUL bytes after a text head
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray("<p>text</p>\n").repeated(1000)) > 0);
        for (qint64 at = qint64(8) << 20; at < size; at += qint64(8) << 20) QVERIFY(f.seek(at) && f.write("\n") == 1);
        QVERIFY(f.resize(size));
        f.close();
        search::Matcher m;
        m.prepare({QStringLiteral("\\x00{8}[^\\x00]"), true, false, true});   // slow to rule out, never found
        const Request request{dir.path(), QStringLiteral("*.htm"), false};
        QElapsedTimer t;
        for (int drop = 0; drop < 2; ++drop) {
            auto run = std::make_unique<Search>(request, m, Search::Sink{}, 1);
            QTest::qWait(300);
            QVERIFY(!run->done());
            t.start();
            drop ? run.reset() : run->stop();
            while (run && !run->done() && t.elapsed() < 10000) QTest::qWait(1);
            QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        }
    }

    void patterns() {
        const NameFilter web(QStringLiteral("*.htm; *.HTML,*.s?tm"));
        QVERIFY(web.matches("INDEX.HTM"));
        QVERIFY(web.matches("a.shtm"));
        QVERIFY(!web.matches("a.htm.bak"));
        QVERIFY(NameFilter(QStringLiteral("*.*")).matches("Makefile"));
        QCOMPARE(patternsOfFilter(QStringLiteral("All Documents | *.htm;*.html|HTML | *.htm")), QStringLiteral("*.htm;*.html"));
    }

    // The panel: results listed as they come, a double-click opens the file (once) and selects
    // the match; bad input is refused before searching.
    void panel() {
        ScratchDir dir;
        QTemporaryDir tree;
        makeTree(tree.path());
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->mnuSearchFindInFiles_Click();
        auto* panel = frame->findChild<FindInFilesPanel*>();
        QVERIFY(panel && panel->isVisible());
        panel->txtFind->setText(QStringLiteral("hello"));
        panel->txtFolder->setText(tree.path());
        panel->cmdFind->click();
        QTRY_VERIFY(!panel->running());
        const QAbstractItemModel& model = *panel->results->model();
        QCOMPARE(model.rowCount(), 4);   // the Open dialog's types: notes.txt too
        QCOMPARE(panel->lblStatus->text(),
                 QStringLiteral("6 matches in 4 files; 4 files searched, skipped 1 binary file."));
        const QModelIndex hit = model.index(1, 0, model.index(0, 0));
        QCOMPARE(hit.data().toString(), QStringLiteral("3: third hello hello"));
        panel->openResult(hit);
        const int windows = int(frame->documentWindows().size());
        panel->openResult(hit);
        QCOMPARE(int(frame->documentWindows().size()), windows);
        RichTextBox& rtb = *frame->ActiveForm()->RTB1;
        QCOMPARE(rtb.SelStart(), 26);
        QCOMPARE(rtb.SelText(), QStringLiteral("hello"));

        // The open file's unsaved text is searched, not the file.
        rtb.SetText(QStringLiteral("unsaved\r\nhello unsaved"));
        panel->txtFind->setText(QStringLiteral("unsaved"));
        panel->cmdFind->click();
        QTRY_VERIFY(!panel->running());
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.index(0, 0).data().toString().endsWith(QStringLiteral("(2 matches in its window, unsaved changes included)")));
        QCOMPARE(model.index(1, 0, model.index(0, 0)).data().toString(), QStringLiteral("2: hello unsaved"));

        panel->txtFolder->setText(tree.path() + QStringLiteral("/missing"));
        panel->cmdFind->click();
        QVERIFY(modal.messages.constLast().text.contains(QLatin1String("cannot be searched: No such file")));
        panel->txtFolder->setText(tree.path());
        panel->chkRegex->setChecked(true);
        panel->txtFind->setText(QStringLiteral("(x"));
        panel->cmdFind->click();
        QCOMPARE(modal.messages.constLast().text,
                 QStringLiteral("Invalid regular expression \"(x\": missing closing parenthesis at position 3."));
        QVERIFY(!panel->running());
    }

    // As an ordinary user: a file and a folder that cannot be read are listed, the rest searched.
    void unreadableAsOrdinaryUser() {
        if (qEnvironmentVariableIsSet("TESSELPAD_FIF_DIR")) {   // the child, running as "nobody"
            Summary s;
            const QStringList got = searchTree(qEnvironmentVariable("TESSELPAD_FIF_DIR"), QStringLiteral("hello"),
                                               QString(), true, &s);
            QVERIFY2(got.contains(QStringLiteral("secret.htm skipped 3")), qPrintable(got.join('\n')));
            QVERIFY2(got.contains(QStringLiteral("closed skipped 3")), qPrintable(got.join('\n')));
            QCOMPARE(s.unreadable, 2);
            QCOMPARE(s.matches, 5);
            return;
        }
        if (::geteuid() != 0) QSKIP("needs root to become another user");
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) QSKIP("setpriv is missing");
        QTemporaryDir scratch(QStringLiteral("/tmp/tspd-fif-XXXXXX"));
        const QString root = scratch.path();
        ::chmod(QFile::encodeName(root).constData(), 0755);
        makeTree(root + QStringLiteral("/tree"));
        writeBytes(root + QStringLiteral("/tree/secret.htm"), "hello");
        ::chmod(QFile::encodeName(root + QStringLiteral("/tree/secret.htm")).constData(), 0600);
        QDir(root).mkpath(QStringLiteral("tree/closed"));
        ::chmod(QFile::encodeName(root + QStringLiteral("/tree/closed")).constData(), 0700);
        const QString binary = root + QStringLiteral("/fif-test");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), binary));
        ::chmod(QFile::encodeName(binary).constData(), 0755);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELPAD_FIF_DIR"), root + QStringLiteral("/tree"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                            QStringLiteral("--clear-groups"), binary,
                                            QStringLiteral("unreadableAsOrdinaryUser")});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAll();
        if (out.contains("setpriv") && out.contains("cannot")) QSKIP("setpriv cannot switch users here");
        QVERIFY2(p.exitCode() == 0, out.constData());
    }
};

QTEST_MAIN(FindInFilesTest)
#include "FindInFiles_test.moc"
