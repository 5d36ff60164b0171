#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/SpellCheck.h"
#include "edit/Spelling.h"
#include "platform/Indicators.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using spelling::Mode;
Q_DECLARE_METATYPE(Mode)

class SpellingTest : public QObject {
    Q_OBJECT
private slots:
    // Which words of a text are checked, joined by '|'.
    void words_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<bool>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("checked");
        const auto row = [](const char* name, Mode m, const char* text, const char* checked, bool code = false) {
            QTest::newRow(name) << m << code << QByteArray(text) << QString::fromUtf8(checked);
        };
        row("plain", Mode::Plain, "Helo, world! a", "Helo|world");
        row("apostrophes inside", Mode::Plain, "don't 'quoted' l’été", "don't|quoted|l’été");
        row("unicode letters", Mode::Plain, "Größe naïve Ελλάδα", "Größe|naïve|Ελλάδα");
        row("no digits, names, addresses", Mode::Plain,
            "abc1 x_y see http://exmple.com www.exmple.org mail@exmple.net index.html camelCase end.",
            "see|end");
        row("text, not tags", Mode::Html, "<p class=\"wrngclass\">Teh <b>txt</b></p>", "Teh|txt");
        row("readable attributes", Mode::Html,
            "<img src=\"pictre.png\" alt=\"A pictre\" title='Ttle' data-x=\"nope\"><input placeholder=Nme aria-label=\"Lbl\">",
            "pictre|Ttle|Nme|Lbl");
        row("meta description", Mode::Html,
            "<meta content=\"Abot us\" name=\"description\"><meta name=\"keywords\" content=\"kywords\">", "Abot|us");
        row("no code bodies", Mode::Html, "<script>var wrd = 'strng';</script><style>p{colr:red}</style><code>fooo</code>x yy",
            "yy");
        row("no comments, entities", Mode::Html, "<!-- commnt -->caf&eacute; &amp; wrd", "wrd");
        row("tag-like text", Mode::Html, "a < b and > c", "and");
        row("code off", Mode::Code, "/* commnt */ var x = 'strng';", "");
        row("code on", Mode::Code, "/* commnt */ var x = 'strng'; // lst\nfoo(\"\")", "commnt|strng|lst", true);
        row("script asked", Mode::Html, "<script>// nte\nvar wrd;</script>ok", "nte|ok", true);
        row("xml none", Mode::None, "<a>wrd</a>", "");
        row("markdown", Mode::Markdown, "Use `fooo()` [lnk](https://x.org/a)\n```js\nvar wrd;\n```\n*Emph*",
            "Use|lnk|Emph");
    }
    void words() {
        QFETCH(Mode, mode);
        QFETCH(bool, code);
        QFETCH(QByteArray, text);
        QFETCH(QString, checked);
        QStringList got;
        for (const spelling::Word& w : spelling::words(text, 0, 0, text.size(), mode, code))
            got << QString::fromUtf8(text.mid(w.from, w.to - w.from));
        QCOMPARE(got.join(QLatin1Char('|')), checked);
    }

    // Only the words beginning in the range asked for, read with what comes before it.
    void range() {
        const QByteArray page = "<script>\nvar a = 'x';\n" + QByteArray(3000, ' ') + "</script><p>Wrd one</p>";
        const qint64 from = page.indexOf("one");
        const auto got = spelling::words(page.mid(100), 100, from, page.size(), Mode::Html, false);
        QCOMPARE(got.size(), size_t(1));
        QCOMPARE(got[0].from, from);
    }

    void language_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("dictionary");
        const QStringList installed{"de_DE", "en_GB", "en_US", "fr_FR"};
        QTest::newRow("page's") << QByteArray("<!DOCTYPE html><!-- <html lang=de> --><HTML Lang=\"en-GB\">") << "fr_FR" << "de_DE" << "en_GB";
        QTest::newRow("page's language, user's region") << QByteArray("<html lang='en'>") << "en_US" << "de_DE" << "en_US";
        QTest::newRow("page's not installed") << QByteArray("<html lang=\"nl-NL\">") << "fr_FR" << "de_DE" << "fr_FR";
        QTest::newRow("no page: the user's") << QByteArray("<p>") << "en_GB" << "de_DE" << "en_GB";
        QTest::newRow("no choice: the locale's") << QByteArray("") << "" << "de_AT" << "de_DE";
        QTest::newRow("garbled lang") << QByteArray("<html lang=\"\x01\xff/..\">") << "" << "fr_FR" << "fr_FR";
    }
    void language() {
        QFETCH(QByteArray, head);
        QFETCH(QString, chosen);
        QFETCH(QString, locale);
        QFETCH(QString, dictionary);
        const QStringList installed{"de_DE", "en_GB", "en_US", "fr_FR"};
        QCOMPARE(spelling::chooseDictionary(spelling::pageLanguage(head), chosen, locale, installed), dictionary);
    }

    // A dictionary that is not one is refused at once: never a hang (a pipe), never a crash.
    void badDictionaries() {
        QTemporaryDir dir;
        const auto put = [&](const QString& name, const QByteArray& bytes) { writeBytes(dir.filePath(name), bytes); };
        put("good.aff", "SET UTF-8\n");
        put("good.dic", "2\nhello\nworld\n");
        put("latin.aff", "SET ISO8859-1\n");
        put("latin.dic", "1\ncaf\xe9\n");
        put("nocount.aff", "SET UTF-8\n");
        put("nocount.dic", "hello\nworld\n");
        put("binary.aff", QByteArray("SET\0\x01\x02", 6));
        put("binary.dic", "1\nx\n");
        put("empty.aff", "");
        put("empty.dic", "");
        put("pipe.aff", "SET UTF-8\n");
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("pipe.dic")).constData(), 0600) == 0);
        put("folder.aff", "SET UTF-8\n");
        QDir(dir.path()).mkdir("folder.dic");
        put("odd.aff", "SET NO-SUCH-ENCODING\n");
        put("odd.dic", "1\nx\n");
        struct Row {
            const char* name;
            bool loads;
        };
        for (const Row& r : {Row{"good", true}, Row{"latin", true}, Row{"missing", false}, Row{"nocount", false},
                             Row{"binary", false}, Row{"empty", false}, Row{"pipe", false}, Row{"folder", false},
                             Row{"odd", false}}) {
            QString why;
            const auto d = spelling::Dictionary::load(dir.path(), QString::fromLatin1(r.name), &why);
            QVERIFY2(bool(d) == r.loads, r.name);
            QVERIFY2(r.loads || !why.isEmpty(), r.name);
        }
        // Unreadable (root reads it all the same).
        put("locked.aff", "SET UTF-8\n");
        put("locked.dic", "1\nx\n");
        QVERIFY(QFile::setPermissions(dir.filePath("locked.dic"), QFileDevice::Permissions()));
        QCOMPARE(bool(spelling::Dictionary::load(dir.path(), "locked")), ::geteuid() == 0);
        const auto good = spelling::Dictionary::load(dir.path(), "good");
        QVERIFY(good->knows("hello") && !good->knows("helo"));
        // A word known without its accents is known with them (a loanword), a wrong one is not.
        QVERIFY(good->knows(QString::fromUtf8("héllo")) && !good->knows(QString::fromUtf8("hélo")));
        QVERIFY(good->suggest("helo", 7).contains("hello"));
        const auto latin = spelling::Dictionary::load(dir.path(), "latin");
        QVERIFY(latin->knows(QString::fromUtf8("café")) && !latin->knows(QString::fromUtf8("cafα")));
        QVERIFY(spelling::installed({dir.path()}).contains("good"));
        QVERIFY(!spelling::installed({dir.path()}).contains("missing"));
    }

    // No dictionary installed: one note in the status bar, no marks, nothing else.
    void noDictionary() {
        ScratchDir scratch;
        const QStringList was = spelling::setFolders({scratch.path()});
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        form->RTB1->SetText("Thiss is wrng");
        QCOMPARE(editcmd::checkSpellingNow(*form), 0);
        QVERIFY(frame->statusBar()->currentMessage().contains("no dictionary"));
        frame->statusBar()->clearMessage();
        QCOMPARE(editcmd::checkSpellingNow(*form), 0);
        QVERIFY(frame->statusBar()->currentMessage().isEmpty());
        spelling::setFolders(was);
        form->closeWithoutAsking();
    }

    // A misspelt word in a page is marked; the right click offers suggestions, and taking one is
    // an edit that Undo takes back.
    void frame() {
        if (!spelling::installed(spelling::systemFolders()).contains("en_US")) QSKIP("no en_US dictionary installed");
        ScratchDir scratch;
        QFile::remove(editcmd::personalWordsPath());   // read once, at the first check
        prefs::Editor p = DocumentView::preferences();
        p.spellingLanguage = "en_US";
        DocumentView::setPreferences(p);
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        RichTextBox& rtb = *form->RTB1;
        form->view()->setSyntaxKind(syntax::Kind::Html);
        rtb.SetText("<html lang=\"en\"><p title=\"Nice\">This is a tesst of <b>spelling</b>.</p>");
        QCOMPARE(editcmd::checkSpellingNow(*form, 10000), 1);
        const qint64 at = rtb.Text().indexOf("tesst") + 2;
        const QPoint point(int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(at))),
                           int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(at))) + 2);
        QMenu menu;
        menu.addAction("Undo");
        editcmd::addSpellingItems(*form, menu, rtb.mapToGlobal(point));
        QStringList captions;
        for (QAction* a : menu.actions()) captions << a->text();
        QVERIFY2(captions.contains("test") && captions.contains("Ignore") && captions.contains("Add to Dictionary"),
                 qPrintable(captions.join(',')));
        QVERIFY(captions.size() <= 1 + 1 + 7 + 1 + 2);
        menu.actions().at(captions.indexOf("test"))->trigger();
        QVERIFY(rtb.Text().contains("a test of") && form->isChanged());
        QCOMPARE(editcmd::checkSpellingNow(*form), 0);
        rtb.undo();
        QVERIFY(rtb.Text().contains("a tesst of"));
        // A word typed is marked once the keys pause and the caret has left it.
        rtb.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(rtb.byteLength() - 4));
        QTest::keyClicks(&rtb, " wrng");
        const long typed = long(rtb.byteLength() - 5);
        QTest::qWait(500);
        QVERIFY(!rtb.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, tp::indicator::kMisspelt, typed));
        QTest::keyClicks(&rtb, " ");
        QTRY_VERIFY_WITH_TIMEOUT(rtb.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, tp::indicator::kMisspelt, typed), 3000);
        // Add to Dictionary keeps the word in the user's list, and it is marked no more.
        {
            QMenu more;
            const qint64 w = rtb.Text().indexOf("wrng") + 1;
            editcmd::addSpellingItems(*form, more, rtb.mapToGlobal(QPoint(
                int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(w))),
                int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(w))) + 2)));
            QVERIFY(!more.actions().isEmpty());
            more.actions().last()->trigger();
        }
        QCOMPARE(readBytes(editcmd::personalWordsPath()), QByteArray("wrng\n"));
        QCOMPARE(editcmd::checkSpellingNow(*form), 1);   // "tesst" alone
        QFile::remove(editcmd::personalWordsPath());
        // Switched off: no marks.
        editcmd::ToggleSpelling();
        QCOMPARE(editcmd::checkSpellingNow(*form), 0);
        editcmd::ToggleSpelling();
        form->closeWithoutAsking();
    }
};

QTEST_MAIN(SpellingTest)
#include "Spelling_test.moc"
