// The program in another language: every text it shows goes through the translator, the German
// translation is complete and keeps each menu's access keys apart, and German is what a German
// user gets, while the English texts stay as they are without a translation.
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "platform/Translations.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDirIterator>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>

namespace {

QString sourceDir() { return qEnvironmentVariable("TESSELPAD_SOURCE_DIR"); }

// Texts not shown in the user's language, by file (a pattern of the text).
const QMap<QString, QString> kNotShownText = {
    // --help (printed before any translator exists), standard error, HTML, GLib's bookmark file, font names
    {"app/CommandLine.cpp", "."}, {"app/EntryPoint.cpp", "."}, {"fileops/Session.cpp", "^tesselpad: "}, {"documents/HtmlKeywords.cpp", "."},
    {"edit/Abbreviation.cpp", "."}, {"io/DesktopRecent.cpp", "."}, {"platform/Artwork.cpp", "."},
    // the captions of untitled documents are their identity ("Document 2")
    {"documents/Recovery.cpp", "^Document $"}, {"documents/DocumentCommands.cpp", "^Document $"},
    {"documents/Form1.cpp", "^Document$"},
    // caught and never shown; a style sheet; the platform's name
    {"platform/CommonDialog.h", "^Cancel was selected.$"}, {"platform/RichTextBox.cpp", "^Invalid property value$"},
    {"app/frmOptions.cpp", "^QGroupBox"}, {"windows/frmAbout.cpp", "^Win 95/98$"}, {"app/frmSplash.cpp", "^Win95/98$"}};

// Calls whose text arguments are shown; calls that translate; words of a sentence.
const QRegularExpression kShowing(
    "^(setText|setWindowTitle|setToolTip|setStatusTip|showMessage|addAction|addMenu|MsgBox|QLabel|QPushButton|"
    "QCheckBox|QRadioButton|QGroupBox|QAction|QMenu|QDockWidget|setTitle|setLabelText|setPlaceholderText|"
    "setAccessibleName|setAccessibleDescription|makeLabel|setHeaderLabels|addItem|setWhatsThis|submenu|"
    "menuButton|label|plural|setButtonText|setOkButtonText|setCancelButtonText|QFileDialog|setNameFilter)$");
const QRegularExpression kTranslating("^(tr|translate|QT_TRANSLATE_NOOP|QT_TR_NOOP|QT_TRANSLATE_N_NOOP|QT_TR_N_NOOP)$");
const QRegularExpression kProse("(^[A-Z][a-z']* [a-z']{2,})|([A-Za-z][a-z']+ [a-z']{2,} [a-z']{2,})|(^[a-z']+ [a-z']{2,}[ .:]*$)");
const QRegularExpression kObjectName("^([a-z]+[A-Z]|[A-Za-z]+[0-9])[A-Za-z0-9]*$");

// The string literals of C++ source 'text' shown to users and not translated, as "line: text".
QStringList untranslated(const QString& text, const QString& allowed = QString()) {
    QStringList found, calls;   // calls: the name before each open parenthesis
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '\n') ++line;
        if (text.mid(i, 2) == "//" || text.mid(i, 8) == "#include") {
            if ((i = text.indexOf('\n', i) - 1) < 0) break;
        } else if (text.mid(i, 2) == "/*") {
            const qsizetype end = text.indexOf("*/", i);
            line += text.mid(i, end - i).count('\n');
            i = end + 1;
        } else if (c == '\'') {
            i = text.indexOf('\'', i + (text[i + 1] == '\\' ? 3 : 2));
        } else if (c == '(') {
            qsizetype a = i;
            while (a > 0 && text[a - 1].isSpace()) --a;
            const qsizetype b = a;
            while (a > 0 && (text[a - 1].isLetterOrNumber() || text[a - 1] == '_')) --a;
            calls << text.mid(a, b - a);
        } else if (c == ')' && !calls.isEmpty()) {
            calls.removeLast();
        } else if (c == '"') {
            QString literal;
            qsizetype j = i + 1;
            if (i > 0 && text[i - 1] == 'R') {   // a raw string
                j = text.indexOf(")\"", i) + 1;
                literal = text.mid(i + 2, j - i - 3);
            }
            for (; j < text.size() && text[j] != '"'; ++j) {
                if (text[j] == '\\') ++j;   // an escape (\r, \n, \") is not a letter of the text
                else literal += text[j];
            }
            const int at = line;
            line += text.mid(i, j - i).count('\n');
            i = j;
            bool translated = false, showing = false;
            for (const QString& call : calls) {
                translated = translated || kTranslating.match(call).hasMatch();
                showing = showing || kShowing.match(call).hasMatch();
            }
            if (translated || !literal.contains(QRegularExpression("[A-Za-z]{2}")) || kObjectName.match(literal).hasMatch())
                continue;
            if ((showing || kProse.match(literal).hasMatch()) &&
                (allowed.isEmpty() || !QRegularExpression(allowed).match(literal).hasMatch()))
                found << QStringLiteral("%1: %2").arg(at).arg(literal);
        }
    }
    return found;
}

} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { tp::installTranslations(QLocale::c()); }

    void everyShownTextIsTranslatable() {
        QStringList faults;
        for (const char* folder : {"platform", "io", "documents", "fileops", "edit", "search", "windows", "app"}) {
            QDirIterator it(sourceDir() + '/' + folder, {"*.cpp", "*.h"}, QDir::Files);
            while (it.hasNext()) {
                QFile f(it.next());
                const QString name = f.fileName().mid(sourceDir().size() + 1);
                QVERIFY(f.open(QIODevice::ReadOnly));
                for (const QString& fault : untranslated(QString::fromUtf8(f.readAll()), kNotShownText.value(name)))
                    faults << name + ':' + fault;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable("Shown without tr() or QCoreApplication::translate():\n" + faults.join('\n')));
    }

    void theScanFindsWhatItShould_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("fault");
        QTest::newRow("a message") << "tp::MsgBox(QStringLiteral(\"Can't open file: \") + path);" << true;
        QTest::newRow("a label") << "new QLabel(QStringLiteral(\"&Open\"), this);" << true;
        QTest::newRow("a sentence kept for later") << "reason = QStringLiteral(\"It is a folder.\");" << true;
        QTest::newRow("translated") << "MsgBox(QCoreApplication::translate(\"X\", \"Can't open file: \"));" << false;
        QTest::newRow("an object's name") << "new QLabel(QStringLiteral(\"lblName\"), this);" << false;
        QTest::newRow("a comment") << "// tp::MsgBox(\"Can't open file\")" << false;
    }
    void theScanFindsWhatItShould() {
        QFETCH(QString, code);
        QFETCH(bool, fault);
        QCOMPARE(!untranslated(code).isEmpty(), fault);
    }

    void englishUnlessTheFirstLanguageHasATranslation_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("C") << "C" << "";
        QTest::newRow("English") << "en-GB" << "";
        QTest::newRow("German") << "de-DE" << "de";
        QTest::newRow("Swiss German") << "de-CH" << "de";
        QTest::newRow("not translated") << "ta-IN" << "";
    }
    void englishUnlessTheFirstLanguageHasATranslation() {
        QFETCH(QString, language);
        QFETCH(QString, loaded);
        QCOMPARE(tp::installTranslations(QLocale(language)), loaded);
    }

    void germanMenusAndMessages() {
        ScratchDir dir;
        QCOMPARE(tp::installTranslations(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
        auto frame = makeFrame();
        ScriptedModal modal;
        QCOMPARE(frame->menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
        QCOMPARE(frame->menu("mnuFile")->actions().first()->text(), QStringLiteral("&Neu"));
        // In German too, each menu's access keys stay apart.
        QList<QList<QAction*>> menus{frame->menuBar()->actions()};
        for (qsizetype m = 0; m < menus.size(); ++m) {
            QSet<QChar> keys;
            const QList<QAction*> actions = menus[m];   // (menus grows below)
            for (QAction* a : actions) {
                if (a->menu()) menus << a->menu()->actions();
                const qsizetype amp = a->text().indexOf('&');
                if (amp < 0) continue;
                const QChar key = a->text()[amp + 1].toLower();
                QVERIFY2(!keys.contains(key), qPrintable(a->text() + " shares its access key"));
                keys << key;
            }
        }
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("abc"));
        modal.answerMessage(tp::MsgResult::Cancel);
        documents::mnuFileClose(*frame);
        settle();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages.first().text,
                 QStringLiteral("Der Text in [Document] wurde geändert.\r\nMöchten Sie die Änderungen speichern?"));
    }

    void theGermanTranslationIsFinished() {
        QFile ts(sourceDir() + "/translations/tesselpad_de.ts");
        QVERIFY(ts.open(QIODevice::ReadOnly));
        const QByteArray xml = ts.readAll();
        QVERIFY(xml.count("<message") > 300);
        QCOMPARE(xml.count("type=\"unfinished\""), 0);
        QCOMPARE(xml.count("<translation></translation>"), 0);
    }
};

QTEST_MAIN(TranslationsTest)
#include "Translations_test.moc"
