#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "fileops/BrowserChoice.h"
#include "fileops/ViewInBrowser.h"
#include "io/Preferences.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {
// Records what would be started instead of starting a browser.
struct RecordingLauncher : tp::SystemServices {
    RecordingLauncher() { tp::setSystemServices(this); }
    ~RecordingLauncher() override { tp::setSystemServices(nullptr); }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << QStringList{program} + arguments;
        return true;
    }
    QList<QStringList> started;
};

// The user's configuration, naming a browser, and nothing of the desktop's.
void useOwnDesktop(const ScratchDir& dir, const QByteArray& preferences) {
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) qputenv(name, QFile::encodeName(dir.file(QString::fromLatin1(name))));
    for (const char* name : {"XDG_CONFIG_DIRS", "XDG_DATA_DIRS", "PATH"}) qputenv(name, QFile::encodeName(dir.file(QStringLiteral("none"))));
    QDir().mkpath(QFileInfo(prefs::path()).absolutePath());
    writeBytes(prefs::path(), preferences);
}
} // namespace

// The browser shows the file as saved: a changed or untitled document is saved first, if the user
// agrees; nothing is shown when the save does not happen.
class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void savesFirstWhenAsked_data() {
        QTest::addColumn<bool>("untitled");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("answer");       // to the question; -1: none asked
        QTest::addColumn<QString>("saveAs");   // the Save dialog's answer; empty: cancelled
        QTest::addColumn<bool>("shown");
        QTest::newRow("saved file: no question") << false << false << -1 << QString() << true;
        QTest::newRow("changed, Yes") << false << true << int(tp::MsgResult::Yes) << QString() << true;
        QTest::newRow("changed, No") << false << true << int(tp::MsgResult::No) << QString() << false;
        QTest::newRow("untitled, Yes, named") << true << false << int(tp::MsgResult::Yes) << QStringLiteral("new.html") << true;
        QTest::newRow("untitled, Yes, dialog cancelled") << true << false << int(tp::MsgResult::Yes) << QString() << false;
    }
    void savesFirstWhenAsked() {
        QFETCH(bool, untitled);
        QFETCH(bool, edited);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, shown);
        ScratchDir dir;
        ScriptedModal modal;
        RecordingLauncher launcher;
        useOwnDesktop(dir, "[editor]\nbrowser=/opt/browser --new-tab\n");
        writeBytes(dir.file(QStringLiteral("page.html")), "<p>");
        auto frame = makeFrame();
        Form1* form = untitled ? frame->ActiveForm() : documents::openDocument(*frame, dir.file(QStringLiteral("page.html")));
        if (edited) QTest::keyClicks(form->RTB1, QStringLiteral("x"));
        if (answer >= 0) modal.answerMessage(tp::MsgResult(answer));
        const QString file = saveAs.isEmpty() ? dir.file(QStringLiteral("page.html")) : dir.file(saveAs);
        if (untitled) modal.answerFile(saveAs.isEmpty() ? QString() : file);

        QCOMPARE(fileops::ViewInBrowser(*frame), shown);
        QCOMPARE(modal.messages.size(), answer >= 0 ? 1 : 0);
        if (answer >= 0) QCOMPARE(modal.messages.first().text, fileops::kSaveBeforeBrowsing);
        const QStringList browser{QStringLiteral("/opt/browser"), QStringLiteral("--new-tab"), file};
        QCOMPARE(launcher.started, shown ? QList<QStringList>{browser} : QList<QStringList>{});
        // What the browser shows is what the document holds.
        if (shown) QCOMPARE(readBytes(file), untitled ? QByteArray("\r\n") : edited ? QByteArray("x<p>\r\n") : QByteArray("<p>"));
        QCOMPARE(form->isChanged(), edited && !shown);
    }

    // Without a browser, nothing starts and the message says what to install or set.
    void noBrowserIsNamed() {
        ScratchDir dir;
        ScriptedModal modal;
        RecordingLauncher launcher;
        useOwnDesktop(dir, "[editor]\ntabWidth=4\n");
        writeBytes(dir.file(QStringLiteral("page.html")), "<p>");
        auto frame = makeFrame();
        documents::openDocument(*frame, dir.file(QStringLiteral("page.html")));
        QVERIFY(!fileops::ViewInBrowser(*frame));
        QVERIFY(launcher.started.isEmpty());
        QCOMPARE(modal.messages.size(), 1);
        for (const char* what : {"x-scheme-handler/https", "sensible-browser", "browser=", "editor.conf"})
            QVERIFY2(modal.messages.first().text.contains(QLatin1String(what)), what);
    }

    // Which program starts, with which arguments: the file is always one argument of its own.
    void choice_data() {
        QTest::addColumn<QString>("preference");
        QTest::addColumn<QString>("handlerId");
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QStringList>("command");   // program and arguments; F the file, U its URL; empty: none
        const QStringList debian{QStringLiteral("sensible-browser"), QStringLiteral("x-www-browser")};
        const QString ff = QStringLiteral("firefox-esr.desktop");
        QTest::newRow("preference, words") << "firefox --new-window" << ff << QByteArray() << debian << QStringList{"firefox", "--new-window", "F"};
        QTest::newRow("preference, quoted, %s") << "'/opt/my browser/b' %s -x" << ff << QByteArray() << debian << QStringList{"/opt/my browser/b", "F", "-x"};
        QTest::newRow("handler %u") << "" << ff << QByteArray("[Desktop Entry]\nExec=/usr/lib/firefox-esr/firefox-esr %u\n") << debian << QStringList{"/usr/lib/firefox-esr/firefox-esr", "U"};
        QTest::newRow("handler quoted, %U, %i dropped") << "" << "c.desktop" << QByteArray("[Desktop Entry]\nExec=\"/opt/b r/chrome\" --flag %U %i\n") << debian << QStringList{"/opt/b r/chrome", "--flag", "U"};
        QTest::newRow("handler without a field code") << "" << "e.desktop" << QByteArray("[Desktop Entry]\nExec=epiphany\n") << debian << QStringList{"epiphany", "F"};
        QTest::newRow("handler %% and \\s") << "" << "b.desktop" << QByteArray("[Desktop Entry]\nExec=\"b\\sx\" --zoom=100%% %f\n") << debian << QStringList{"b x", "--zoom=100%", "F"};
        QTest::newRow("actions' Exec lines are not the entry's") << "" << "b.desktop" << QByteArray("[Desktop Action new]\nExec=wrong\n[Desktop Entry]\nName=B\nExec=right %u\n") << debian << QStringList{"right", "U"};
        QTest::newRow("our own entry: Debian's browser") << "" << "tesselpad.desktop" << QByteArray("[Desktop Entry]\nExec=tesselpad-launch %F\n") << debian << QStringList{"sensible-browser", "F"};
        QTest::newRow("our program under another name") << "" << "web.desktop" << QByteArray("[Desktop Entry]\nExec=/usr/bin/tesselpad %F\n") << debian.mid(1) << QStringList{"x-www-browser", "F"};
        QTest::newRow("open quote: Debian's browser") << "" << "q.desktop" << QByteArray("[Desktop Entry]\nExec=\"b %u\n") << debian << QStringList{"sensible-browser", "F"};
        QTest::newRow("nothing at all") << "" << "" << QByteArray() << QStringList() << QStringList();
        QTest::newRow("own entry, nothing else") << "" << "tesselpad.desktop" << QByteArray("[Desktop Entry]\nExec=tesselpad-launch %F\n") << QStringList() << QStringList();
    }
    void choice() {
        QFETCH(QString, preference);
        QFETCH(QString, handlerId);
        QFETCH(QByteArray, entry);
        QFETCH(QStringList, onPath);
        QFETCH(QStringList, command);
        const QString file = QStringLiteral("/tmp/a b;$(x) é.html");
        const fileops::BrowserLaunch got = fileops::chooseBrowser({preference, handlerId, entry, onPath}, file);
        QStringList expected = command;
        expected.replaceInStrings(QRegularExpression(QStringLiteral("^F$")), file);
        expected.replaceInStrings(QRegularExpression(QStringLiteral("^U$")), QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded()));
        QCOMPARE(got.program.isEmpty() ? QStringList() : QStringList{got.program} + got.arguments, expected);
        QCOMPARE(got.missing.isEmpty(), !expected.isEmpty());
    }
};

QTEST_MAIN(BrowserTest)
#include "Browser_test.moc"
