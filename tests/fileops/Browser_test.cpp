#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "fileops/ViewInBrowser.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QTest>

namespace {
// Records what is handed to the launcher instead of starting a browser.
struct RecordingLauncher : tp::SystemServices {
    RecordingLauncher() { tp::setSystemServices(this); }
    ~RecordingLauncher() override { tp::setSystemServices(nullptr); }
    bool openUrl(const QUrl& url) override {
        opened << url;
        return true;
    }
    QList<QUrl> opened;
};
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
        QCOMPARE(launcher.opened, shown ? QList<QUrl>{QUrl::fromLocalFile(file)} : QList<QUrl>{});
        // What the browser shows is what the document holds.
        if (shown) QCOMPARE(readBytes(file), untitled ? QByteArray("\r\n") : edited ? QByteArray("x<p>\r\n") : QByteArray("<p>"));
        QCOMPARE(form->isChanged(), edited && !shown);
    }
};

QTEST_MAIN(BrowserTest)
#include "Browser_test.moc"
