// The program in another language: every text it shows goes through the translator, the German
// translation is complete and keeps each menu's access keys apart, and German is what a German
// user gets, while the English texts stay as they are without a translation.
#include "app/MenuTree.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "platform/Translations.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>

namespace {

QString sourceDir() { return qEnvironmentVariable("TESSELPAD_SOURCE_DIR"); }

// Texts that are not shown to users in the user's language, by file: names, formats, keys,
// pieces of HTML, and the document captions that are the documents' identity.
const QList<QPair<QString, QRegularExpression>> kNotShownText = {
    {"app/CommandLine.cpp", QRegularExpression(".")},   // --help, printed before any translator exists
    {"app/EntryPoint.cpp", QRegularExpression(".")},
    {"app/frmOptions.cpp", QRegularExpression("^QGroupBox")},   // a style sheet
    {"documents/HtmlKeywords.cpp", QRegularExpression(".")},
    {"edit/Abbreviation.cpp", QRegularExpression(".")},
    {"io/DesktopRecent.cpp", QRegularExpression(".")},   // GLib's bookmark file
    {"documents/Recovery.cpp", QRegularExpression("^Document $")},
    {"documents/DocumentCommands.cpp", QRegularExpression("^Document $")},
    {"documents/Form1.cpp", QRegularExpression("^Document$")},
    {"platform/CommonDialog.h", QRegularExpression("^Cancel was selected.$")},   // caught, never shown
    {"platform/RichTextBox.cpp", QRegularExpression("^Invalid property value$")},   // caught, never shown
    {"platform/Artwork.cpp", QRegularExpression(".")},   // font names
    {"windows/frmAbout.cpp", QRegularExpression("^Win 95/98$")},   // the platform's name
    {"app/frmSplash.cpp", QRegularExpression("^Win95/98$")},
};

// Calls whose text arguments are shown.
const QRegularExpression kShowing(
    "^(setText|setWindowTitle|setToolTip|setStatusTip|showMessage|addAction|addMenu|MsgBox|QLabel|QPushButton|"
    "QCheckBox|QRadioButton|QGroupBox|QAction|QMenu|QDockWidget|setTitle|setLabelText|setPlaceholderText|"
    "setAccessibleName|setAccessibleDescription|makeLabel|setHeaderLabels|addItem|setWhatsThis|submenu|"
    "menuButton|label|plural|setButtonText|setOkButtonText|setCancelButtonText|QFileDialog|setNameFilter)$");
const QRegularExpression kTranslating("^(tr|translate|QT_TRANSLATE_NOOP|QT_TR_NOOP|QT_TRANSLATE_N_NOOP|QT_TR_N_NOOP)$");
// Words of a sentence: a capital and a word, or three words.
const QRegularExpression kProse("(^[A-Z][a-z']* [a-z']{2,})|([A-Za-z][a-z']+ [a-z']{2,} [a-z']{2,})|(^[a-z']+ [a-z']{2,}[ .:]*$)");

// The string literals of C++ source 'text' shown to users and not translated, as "line: text".
QStringList untranslated(const QString& text, const QRegularExpression& allowed) {
    QStringList found;
    QStringList calls;   // the name before each open parenthesis
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '\n') ++line;
        if (c == '/' && text.mid(i, 2) == "//") {
            i = text.indexOf('\n', i) - 1;
            if (i < 0) break;
        } else if (c == '/' && text.mid(i, 2) == "/*") {
            const qsizetype end = text.indexOf("*/", i);
            line += text.mid(i, end - i).count('\n');
            i = end + 1;
        } else if (c == '\'') {
            i = text.indexOf('\'', i + (text[i + 1] == '\\' ? 3 : 2));
        } else if (c == '(') {
            qsizetype b = i;
            while (b > 0 && text[b - 1].isSpace()) --b;
            qsizetype a = b;
            while (a > 0 && (text[a - 1].isLetterOrNumber() || text[a - 1] == '_')) --a;
            calls << text.mid(a, b - a);
        } else if (c == ')') {
            if (!calls.isEmpty()) calls.removeLast();
        } else if (c == '#' && text.mid(i, 8) == "#include") {
            i = text.indexOf('\n', i) - 1;
            if (i < 0) break;
        } else if (c == '"') {
            const bool raw = i > 0 && text[i - 1] == 'R';
            QString literal;
            qsizetype j = i + 1;
            if (raw) {
                j = text.indexOf(")\"", i) + 1;
                literal = text.mid(i + 2, j - i - 3);
            } else {
                for (; j < text.size() && text[j] != '"'; ++j) {
                    if (text[j] == '\\') ++j;   // an escape (\r, \n, \") is not a letter of the text
                    else literal += text[j];
                }
            }
            const int at = line;
            line += text.mid(i, j - i).count('\n');
            i = j;
            bool translated = false, showing = false;
            for (const QString& call : calls) {
                translated = translated || kTranslating.match(call).hasMatch();
                showing = showing || kShowing.match(call).hasMatch();
            }
            if (translated || !literal.contains(QRegularExpression("[A-Za-z]{2}"))) continue;
            if (literal.contains(QRegularExpression("^([a-z]+[A-Z]|[A-Za-z]+[0-9])[A-Za-z0-9]*$"))) continue;   // an object's name
            if (!showing && !kProse.match(literal).hasMatch()) continue;
            if (allowed.pattern().size() && allowed.match(literal).hasMatch()) continue;
            found << QStringLiteral("%1: %2").arg(at).arg(literal);
        }
    }
    return found;
}

// Every caption of each menu, as the frame shows it.
QList<QStringList> menuCaptions(QMenuBar& bar) {
    QList<QStringList> menus;
    QList<QMenu*> todo;
    QStringList top;
    for (QAction* a : bar.actions()) {
        top << a->text();
        if (a->menu()) todo << a->menu();
    }
    menus << top;
    while (!todo.isEmpty()) {
        QStringList captions;
        for (QAction* a : todo.takeFirst()->actions()) {
            if (a->isSeparator()) continue;
            captions << a->text();
            if (a->menu()) todo << a->menu();
        }
        menus << captions;
    }
    return menus;
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
                const QString path = it.next();
                const QString name = path.mid(sourceDir().size() + 1);
                QRegularExpression allowed;
                for (const auto& [file, pattern] : kNotShownText)
                    if (file == name) allowed = pattern;
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                for (const QString& fault : untranslated(QString::fromUtf8(f.readAll()), allowed))
                    faults << name + ':' + fault;
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable("Texts shown without tr() or QCoreApplication::translate():\n" +
                                              faults.join('\n')));
    }

    void theScanFindsWhatItShould_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("fault");
        QTest::newRow("a message") << "tp::MsgBox(QStringLiteral(\"Can't open file: \") + path);" << true;
        QTest::newRow("a label") << "new QLabel(QStringLiteral(\"Find what:\"), this);" << true;
        QTest::newRow("a sentence kept for later") << "reason = QStringLiteral(\"It is a folder.\");" << true;
        QTest::newRow("translated") << "tp::MsgBox(QCoreApplication::translate(\"X\", \"Can't open file: \"));"
                                    << false;
        QTest::newRow("a name") << "setObjectName(QStringLiteral(\"cmdFind\"));" << false;
        QTest::newRow("in a comment") << "// tp::MsgBox(\"Can't open file\")" << false;
    }
    void theScanFindsWhatItShould() {
        QFETCH(QString, code);
        QFETCH(bool, fault);
        QCOMPARE(!untranslated(code, QRegularExpression()).isEmpty(), fault);
    }

    void englishUnlessTheFirstLanguageHasATranslation_data() {
        QTest::addColumn<QString>("languages");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("C") << "C" << "";
        QTest::newRow("English first") << "en-GB,de-DE" << "";
        QTest::newRow("German") << "de-DE" << "de";
        QTest::newRow("Swiss German") << "de-CH,en" << "de";
        QTest::newRow("untranslated") << "ta-IN" << "";
    }
    void englishUnlessTheFirstLanguageHasATranslation() {
        QFETCH(QString, languages);
        QFETCH(QString, loaded);
        QCOMPARE(tp::installTranslations(QLocale(languages.section(',', 0, 0))), loaded);
    }

    void germanMenusAndMessages() {
        ScratchDir dir;
        QCOMPARE(tp::installTranslations(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
        auto frame = makeFrame();
        ScriptedModal modal;
        const QList<QStringList> menus = menuCaptions(*frame->menuBar());
        QCOMPARE(menus.first().first(), QStringLiteral("&Datei"));
        QCOMPARE(frame->menu("mnuFile")->actions().first()->text(), QStringLiteral("&Neu"));
        // Each menu's access keys stay apart in German.
        for (const QStringList& captions : menus) {
            QSet<QChar> keys;
            for (const QString& caption : captions) {
                const qsizetype amp = caption.indexOf('&');
                if (amp < 0) continue;
                const QChar key = caption[amp + 1].toLower();
                QVERIFY2(!keys.contains(key), qPrintable(QStringLiteral("%1 shares its key in %2").arg(caption, captions.join(' '))));
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
        QVERIFY(xml.count("<message") > 200);
        QCOMPARE(xml.count("type=\"unfinished\""), 0);
        QCOMPARE(xml.count("<translation></translation>"), 0);
    }
};

QTEST_MAIN(TranslationsTest)
#include "Translations_test.moc"
