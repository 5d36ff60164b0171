#include "io/DesktopRecent.h"
#include "io/Preferences.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>

namespace {
const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"\n"
                         "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
                         "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n>\n";
// Another program's bookmark, kept as it is, with its odd spacing, entities and non-ASCII text.
const QByteArray kOther = "  <bookmark href=\"file:///home/u/r%C3%A9sum%C3%A9.odt\" added=\"2024-01-01T10:00:00.000000Z\" "
                          "modified=\"2024-01-02T10:00:00Z\" visited=\"2024-01-02T10:00:00Z\">\n    <title>Résumé &amp; co</title>\n"
                          "    <info>\n      <metadata owner=\"http://freedesktop.org\">\n        <mime:mime-type type=\"application/vnd.oasis.opendocument.text\"/>\n"
                          "        <bookmark:applications>\n          <bookmark:application name=\"LibreOffice\" exec=\"&apos;soffice %u&apos;\" "
                          "modified=\"2024-01-02T10:00:00Z\" count=\"3\"/>\n        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n";

int countOf(const QByteArray& text, const QByteArray& what) { return int(text.count(what)); }
} // namespace

// The desktop's recent list is the user's: added to, never damaged, never waited on.
class DesktopRecentTest : public QObject {
    Q_OBJECT
private slots:
    void addsWithoutHarm_data() {
        QTest::addColumn<QByteArray>("before");   // "absent", "fifo", or the file's bytes
        QTest::addColumn<bool>("added");
        const QByteArray gedit = "  <bookmark href=\"FILE\" added=\"2020-05-05T05:05:05Z\" modified=\"2020-05-05T05:05:05Z\" visited=\"2020-05-05T05:05:05Z\">\n"
                                 "    <info>\n      <metadata owner=\"http://freedesktop.org\">\n        <mime:mime-type type=\"text/html\"/>\n"
                                 "        <bookmark:applications>\n          <bookmark:application name=\"gedit\" exec=\"&apos;gedit %u&apos;\" "
                                 "modified=\"2020-05-05T05:05:05Z\" count=\"2\"/>\n        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n";
        QTest::newRow("absent") << QByteArray("absent") << true;
        QTest::newRow("other programs' files") << kHead + kOther + "</xbel>\n" << true;
        QTest::newRow("this file, opened with gedit") << kHead + kOther + gedit + "</xbel>" << true;
        QTest::newRow("garbled") << kHead + kOther.left(200) << false;
        QTest::newRow("not a bookmark file") << QByteArray("<html><body>x</body></html>") << false;
        QTest::newRow("other prefixes") << QByteArray("<xbel xmlns:b=\"http://www.freedesktop.org/standards/desktop-bookmarks\"></xbel>") << false;
        QTest::newRow("not UTF-8") << kHead + "<!-- \xff -->" + kOther + "</xbel>\n" << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("fifo") << QByteArray("fifo") << false;
    }
    void addsWithoutHarm() {
        QFETCH(QByteArray, before);
        QFETCH(bool, added);
        ScratchDir dir;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.file(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.file(QStringLiteral("config"))));
        QDir().mkpath(dir.file(QStringLiteral("data")));
        const QString list = io::desktopRecentPath();
        QCOMPARE(QFileInfo(list).absolutePath(), dir.file(QStringLiteral("data")));
        const QString page = dir.file(QStringLiteral("my page.html"));
        const QByteArray href = QUrl::fromLocalFile(page).toEncoded();
        before.replace("FILE", href);
        if (before == "fifo") QCOMPARE(::mkfifo(QFile::encodeName(list).constData(), 0600), 0);
        else if (before != "absent") writeBytes(list, before);

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(io::addToDesktopRecent(page), added);
        QCOMPARE(io::addToDesktopRecent(page), added);   // a second time: counted, not listed twice
        QVERIFY(clock.elapsed() < 5000);
        if (before == "fifo") {
            QVERIFY(QFileInfo(list).isFile() == false);
            return;
        }
        const QByteArray after = readBytes(list);
        if (!added) {
            QCOMPARE(after, before);
            return;
        }
        QXmlStreamReader xml(after);
        while (!xml.atEnd()) xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(countOf(after, "href=\"" + href + "\""), 1);
        QCOMPARE(countOf(after, "name=\"Tesselpad\""), 1);
        QVERIFY(after.contains("exec=\"&apos;tesselpad %u&apos;\""));
        QVERIFY(after.contains("count=\"2\"/>"));
        if (before.contains(kOther)) QVERIFY(after.contains(kOther));
        if (before.contains("gedit")) {
            QVERIFY(after.contains("name=\"gedit\" exec=\"&apos;gedit %u&apos;\" modified=\"2020-05-05T05:05:05Z\" count=\"2\"/>"));
            QVERIFY(after.contains("added=\"2020-05-05T05:05:05Z\""));
        } else {
            QVERIFY(after.contains("<mime:mime-type type=\"text/html\"/>"));
        }
    }

    // desktopRecent=false in the preferences keeps the desktop's list as it is.
    void preferenceTurnsItOff() {
        ScratchDir dir;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.file(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.file(QStringLiteral("config"))));
        QDir().mkpath(QFileInfo(prefs::path()).absolutePath());
        writeBytes(prefs::path(), "[editor]\ndesktopRecent=false\n");
        QVERIFY(!io::addToDesktopRecent(dir.file(QStringLiteral("a.html"))));
        QVERIFY(!QFileInfo::exists(io::desktopRecentPath()));
    }
};

QTEST_MAIN(DesktopRecentTest)
#include "DesktopRecent_test.moc"
