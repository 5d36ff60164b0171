#include "app/MDIForm1.h"
#include "app/MenuTree.h"
#include "platform/Product.h"
#include "platform/System.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/HelpCommands.h"
#include "windows/frmAbout.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

namespace {

// Records every address handed to the launcher instead of starting a browser.
class RecordingServices : public tp::SystemServices {
public:
    RecordingServices() { tp::setSystemServices(this); }
    ~RecordingServices() override { tp::setSystemServices(nullptr); }
    bool openUrl(const QUrl& url) override {
        opened << url;
        return launcherWorks;
    }
    void beep() override { ++beeps; }
    QList<QUrl> opened;
    bool launcherWorks = true;
    int beeps = 0;
};

// A read-me in help/ below the folder.
void putReadme(const QString& folder) {
    QVERIFY(QDir(folder).mkpath(QStringLiteral("help")));
    writeBytes(folder + QStringLiteral("/help/readme.htm"), "<p>read me</p>");
}

QString sourceFile(const QString& relative) {
    return QDir(qEnvironmentVariable("TESSELPAD_SOURCE_DIR")).filePath(relative);
}

} // namespace

class HelpTest : public QObject {
    Q_OBJECT
    static void checkAboutBox(frmAbout& box, QWidget* frame) {
        QCOMPARE(box.parentWidget(), frame);
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(box.size(), QSize(434, 225));   // 6510 by 3375 twips
        QCOMPARE(box.palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(box.autoFillBackground());

        QCOMPARE(box.Label4->text(), QStringLiteral("Designed and Programmed by ") + product::kAuthor);
        QCOMPARE(box.Label2->text(), QStringLiteral("Send Comments and  Suggestions to ") + product::kContactEmail);
        QVERIFY(box.Label2->wordWrap());
        QCOMPARE(box.Label1->text(), QStringLiteral("Version 1.0"));
        QCOMPARE(box.Label3->text(), QStringLiteral("Win 95/98"));
        QCOMPARE(box.Command1->text(), QStringLiteral("&Close"));
        QVERIFY(product::kContactEmail.contains(QLatin1Char('@')));

        // Places from the twip layout.
        QCOMPARE(box.Image1->geometry(), QRect(16, 8, 408, 118));
        QCOMPARE(box.Image1->pixmap().size(), QSize(408, 118));
        QCOMPARE(box.Label4->geometry(), QRect(144, 24, 257, 17));
        QCOMPARE(box.Label2->pos(), QPoint(16, 128));
        QCOMPARE(box.Label1->geometry(), QRect(304, 128, 113, 25));
        QCOMPARE(box.Label3->geometry(), QRect(304, 160, 121, 17));
        QCOMPARE(box.Command1->geometry(), QRect(152, 184, 121, 25));
        // The two lines of Label2 end above the button.
        QVERIFY(box.Label2->geometry().bottom() < box.Command1->y());

        // Fonts: 8.25 pt bold, 12 pt, 13.5 pt bold and 9.75 pt: these pixels at 96 dpi.
        QCOMPARE(QFontInfo(box.Label4->font()).pixelSize(), 11);
        QVERIFY(box.Label4->font().bold());
        QCOMPARE(QFontInfo(box.Label2->font()).pixelSize(), 16);
        QCOMPARE(QFontInfo(box.Label1->font()).pixelSize(), 18);
        QVERIFY(box.Label1->font().bold());
        QCOMPARE(QFontInfo(box.Label3->font()).pixelSize(), 13);
        // The one-line texts fit their boxes.
        for (QLabel* label : {box.Label4, box.Label1, box.Label3})
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->objectName()));

        // The border lines run along the edges, inside the window.
        for (const QLine& line : {box.Line1[0], box.Line1[1], box.Line2[0], box.Line2[1]}) {
            QVERIFY(box.rect().contains(line.p1()));
            QVERIFY(box.rect().contains(line.p2()));
        }
        QCOMPARE(box.Line1[1].y1(), 0);
        QCOMPARE(box.Line2[0].x1(), 0);

        // Command1 is the only control that takes the focus.
        for (QWidget* w : box.findChildren<QWidget*>())
            QCOMPARE(w->focusPolicy() != Qt::NoFocus, w == box.Command1);
    }

private slots:
    void menuCommandsOpenTheirPages_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("url");   // "readme": the read-me below the current directory
        QTest::newRow("Read Me") << "mnuHelpReadme" << "readme";
        QTest::newRow("Send Comments") << "mnuHelpComments" << "http://www.tesselpad.example/feedback.htm";
        QTest::newRow("Report Bugs") << "mnuHelpBugs" << "http://www.tesselpad.example/feedback.htm";
        QTest::newRow("TSPD on the Web") << "mnuHelpWeb" << "http://www.tesselpad.example/";
    }
    void menuCommandsOpenTheirPages() {
        QFETCH(QString, item);
        QFETCH(QString, url);
        ScratchDir dir;
        putReadme(dir.path());
        auto frame = makeFrame();
        ScriptedModal modal;
        RecordingServices services;
        frame->item(item.toLatin1().constData())->trigger();
        QCOMPARE(services.opened.size(), 1);
        const QUrl opened = services.opened.first();
        if (url == "readme") {
            QVERIFY(opened.isLocalFile());
            QCOMPARE(opened.toLocalFile(), QDir(dir.path()).filePath("help/readme.htm"));
        } else {
            QCOMPARE(opened, QUrl(url));
            QCOMPARE(opened.scheme(), QStringLiteral("http"));
        }
        QVERIFY(modal.messages.isEmpty());
        QVERIFY(modal.dialogs.isEmpty());
    }

    void webAddressesAreWellFormed() {
        QVERIFY(QUrl(product::kHomePage).isValid());
        QVERIFY(product::kHomePage.endsWith(QLatin1Char('/')));
        QCOMPARE(QUrl(product::kFeedbackPage).fileName(), QStringLiteral("feedback.htm"));
        QCOMPARE(QUrl(product::kFeedbackPage).host(), QUrl(product::kHomePage).host());
    }

    void readmeFollowsTheCurrentDirectory() {
        ScratchDir first;
        RecordingServices services;
        ScriptedModal modal;
        putReadme(first.path());
        helpcmd::Readme();
        // A folder whose name a shell would take for commands: it stays a plain file name.
        const QString odd = first.file(QStringLiteral("web $(touch pwned); `id` & 'x' #1"));
        putReadme(odd);
        QDir::setCurrent(odd);
        helpcmd::Readme();
        QCOMPARE(services.opened.size(), 2);
        QCOMPARE(services.opened[0].toLocalFile(), first.file(QStringLiteral("help/readme.htm")));
        QCOMPARE(services.opened[1].toLocalFile(), odd + QStringLiteral("/help/readme.htm"));
        QVERIFY(!QFile::exists(first.file(QStringLiteral("pwned"))));
        QVERIFY(modal.messages.isEmpty());
    }

    // Started outside its folder, the program opens the installed read-me; with none anywhere it
    // says so instead of handing a missing file to the launcher.
    void readmeFallsBackToTheInstalledOne() {
        ScratchDir dir;
        RecordingServices services;
        ScriptedModal modal;
        qputenv("XDG_DATA_HOME", dir.file("home").toUtf8());
        qputenv("XDG_DATA_DIRS", dir.file("share").toUtf8());
        helpcmd::Readme();
        putReadme(dir.file("share/tesselpad"));
        helpcmd::Readme();
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, "Can't open " + dir.file("help/readme.htm"));
        QCOMPARE(services.opened, QList<QUrl>{QUrl::fromLocalFile(dir.file("share/tesselpad/help/readme.htm"))});
    }

    void launcherThatCannotStartIsReported_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("named");
        QTest::newRow("read me") << 0 << "help/readme.htm";
        QTest::newRow("comments") << 1 << "http://www.tesselpad.example/feedback.htm";
        QTest::newRow("bugs") << 2 << "http://www.tesselpad.example/feedback.htm";
        QTest::newRow("web") << 3 << "http://www.tesselpad.example/";
    }
    void launcherThatCannotStartIsReported() {
        QFETCH(int, command);
        QFETCH(QString, named);
        ScratchDir dir;
        RecordingServices services;
        services.launcherWorks = false;
        ScriptedModal modal;
        putReadme(dir.path());
        void (*const commands[])() = {helpcmd::Readme, helpcmd::Comments, helpcmd::Bugs, helpcmd::Web};
        commands[command]();
        QCOMPARE(modal.messages.size(), 1);
        const tp::MessageRequest& m = modal.messages.first();
        QVERIFY2(m.text.startsWith(QStringLiteral("Can't open ")), qPrintable(m.text));
        QVERIFY2(m.text.endsWith(named), qPrintable(m.text));
        QCOMPARE(m.title, tp::kAppTitle);
        QCOMPARE(m.buttons, tp::MsgButtons::OK);
        QCOMPARE(m.icon, tp::MsgIcon::None);
    }

    void aboutBoxAsLaidOut() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        bool checked = false;
        modal.answerDialog([&](QDialog& d) {
            auto& box = static_cast<frmAbout&>(d);
            checkAboutBox(box, frame.get());
            box.Command1->click();
            checked = true;
            return box.result();
        });
        frame->item("mnuHelpAbout")->trigger();
        if (QTest::currentTestFailed()) return;
        QVERIFY(checked);
        QCOMPARE(modal.dialogs, QStringList{QStringLiteral("frmAbout")});
        QCOMPARE(modal.unanswered, 0);
    }

    void closeButtonClosesTheAboutBox() {
        // On screen, Alt+C presses Close, which closes the box as accepted.
        frmAbout box;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(QApplication::focusWidget(), box.Command1);
        QTest::keyClick(&box, Qt::Key_C, Qt::AltModifier);
        // The access key presses the button visibly, then clicks it.
        QTRY_COMPARE_WITH_TIMEOUT(box.result(), int(QDialog::Accepted), 1000);
        QVERIFY(!box.isVisible());
    }

    void readmeDocumentsEveryCommand() {
        QFile file(sourceFile(QStringLiteral("help/readme.htm")));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QString html = QString::fromUtf8(file.readAll());
        QTextDocument doc;
        doc.setHtml(html);
        QString text = doc.toPlainText();
        text.replace(QChar::Nbsp, QLatin1Char(' '));
        QCOMPARE(doc.metaInformation(QTextDocument::DocumentTitle), QStringLiteral("Tesselpad 1.0 - Read Me"));
        for (const MenuEntry& e : menuTree()) {
            const QString caption = QString::fromLatin1(e.caption).remove(QLatin1Char('&'));
            if (caption == QLatin1String("-")) continue;
            QVERIFY2(text.contains(caption), qPrintable(caption));
            if (e.shortcut) QVERIFY2(text.contains(QString::fromLatin1(e.shortcut)), e.shortcut);
        }
        for (const char* topic : {"tspd.ini", " 1 , 0 ", "Windows-1252", "Display Splash Screen",
                                  "Maximize Document Windows", "CR LF", "Can't open file: "})
            QVERIFY2(text.contains(QLatin1String(topic)), topic);
        // Every link inside the page leads somewhere on it.
        const QRegularExpression anchor(QStringLiteral("href=\"#([^\"]+)\""));
        for (auto it = anchor.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(target)), qPrintable(target));
        }
    }

    // The read-me names the product, its version, author, pages and address as the program does.
    void readmeStatesTheProduct() {
        QFile file(sourceFile(QStringLiteral("help/readme.htm")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (const QString& fact : {QStringLiteral("<title>%1 %2 - Read Me</title>").arg(product::kName, product::shownVersion()),
                                    QStringLiteral("href=\"%1\"").arg(product::kHomePage),
                                    QStringLiteral("href=\"mailto:%1\"").arg(product::kContactEmail), product::kAuthor})
            QVERIFY2(html.contains(fact), qPrintable(fact));
    }
};

QTEST_MAIN(HelpTest)
#include "Help_test.moc"
