#include "app/StatusBar.h"
#include "documents/DocumentCommands.h"
#include "documents/EncodingCommands.h"
#include "documents/Form1.h"
#include "fileops/DragDrop.h"
#include "io/EncodingPreference.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

using io::Encoding;
Q_DECLARE_METATYPE(io::Encoding)

namespace {
QByteArray textOf(const Form1* form) { return form->RTB1->bytes(0, form->RTB1->byteLength()); }

// Puts text at the end of the document, as typing there does.
void typeAtEnd(Form1* form, const QString& text) {
    const qint64 end = form->RTB1->byteLength();
    form->RTB1->selectBytes(end, end);
    form->RTB1->SetSelText(text);
}

QAction* menuItem(FrameStatusBar& status, const char* submenu, Encoding encoding) {
    status.fillEncodingMenu();
    for (QAction* a : status.encodingMenu()->findChild<QMenu*>(QLatin1String(submenu))->findChildren<QAction*>())
        if (a->text() == io::encodingName(encoding)) return a;
    return nullptr;
}
} // namespace

class EncodingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { QFile::remove(io::defaultEncodingPath()); }

    // Open recognises the encoding, the control holds the text (stray bytes as they are), and
    // Save writes every byte back, with the CR LF in the file's encoding.
    void openAndSaveKeepEveryByte_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("UTF-8") << QByteArray("<p>Caf\xC3\xA9 \xE2\x82\xAC</p>") << Encoding::Utf8
                               << QByteArray("<p>Caf\xC3\xA9 \xE2\x82\xAC</p>") << QByteArray("\r\n");
        QTest::newRow("UTF-8 mark") << QByteArray("\xEF\xBB\xBFok") << Encoding::Utf8Bom << QByteArray("ok")
                                    << QByteArray("\r\n");
        // A text that ends in a line end is saved as it is.
        QTest::newRow("declared, stray byte") << QByteArray("<meta charset=utf-8>caf\xE9\0\r\n", 27) << Encoding::Utf8
                                              << QByteArray("<meta charset=utf-8>caf\xE9\0\r\n", 27) << QByteArray();
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\xE9\0\r\0\n\0\x3D\xD8\0\xDE", 12) << Encoding::Utf16LeBom
                                   << QByteArray("\xC3\xA9\r\n\xF0\x9F\x98\x80") << QByteArray("\r\0\n\0", 4);
        QTest::newRow("UTF-16 LE, U+10000 and a low half DFFF") << QByteArray("\xFF\xFE\0\xD8\0\xDC\0\xD8\xFF\xDF", 10)
                                                             << Encoding::Utf16LeBom << QByteArray("\xF0\x90\x80\x80\xF0\x90\x8F\xBF")
                                                             << QByteArray("\r\0\n\0", 4);
        QTest::newRow("UTF-16 BE, U+10FFFF") << QByteArray("\xFE\xFF\xDB\xFF\xDF\xFF", 6) << Encoding::Utf16BeBom
                                             << QByteArray("\xF4\x8F\xBF\xBF") << QByteArray("\0\r\0\n", 4);
        QTest::newRow("UTF-16 BE, lone surrogate") << QByteArray("\xFE\xFF\xDC\0\0a", 6) << Encoding::Utf16BeBom
                                                   << QByteArray("\xED\xB0\x80" "a") << QByteArray("\0\r\0\n", 4);
        QTest::newRow("UTF-16 mark, odd size") << QByteArray("\xFF\xFEx") << Encoding::Windows1252
                                               << QByteArray("\xC3\xBF\xC3\xBEx") << QByteArray("\r\n");
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9") << Encoding::Windows1252 << QByteArray("caf\xC3\xA9")
                                      << QByteArray("\r\n");
        QTest::newRow("ISO-8859-2, LF") << QByteArray("<meta charset=iso-8859-2>\nZa\xbf\xf3\xb3\xe6") << Encoding::Iso8859_2
                                        << QByteArray("<meta charset=iso-8859-2>\nZa\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87")
                                        << QByteArray("\n");
        QTest::newRow("Shift_JIS") << QByteArray("<meta charset=Shift_JIS>\x83\\\r\n") << Encoding::ShiftJis
                                   << QByteArray("<meta charset=Shift_JIS>\xE3\x82\xBD\r\n") << QByteArray();
        QTest::newRow("declared ISO-2022-JP, not exact") << QByteArray("<meta charset=iso-2022-jp>\x1b(Jx\n")
                                                         << Encoding::Windows1252
                                                         << QByteArray("<meta charset=iso-2022-jp>\x1b(Jx\n") << QByteArray();
        // UTF-8 for more than one piece of the read, then a byte that is not: read again as
        // Windows-1252 from the start.
        const QByteArray utf8 = QByteArray("\xC3\xA9t\xC3\xA9 ").repeated(1 << 20);
        QTest::newRow("UTF-8 until the end") << utf8 + "\xE9!" << Encoding::Windows1252
                                             << QByteArray("\xC3\x83\xC2\xA9t\xC3\x83\xC2\xA9 ").repeated(1 << 20) + "\xC3\xA9!"
                                             << QByteArray("\r\n");
    }
    void openAndSaveKeepEveryByte() {
        QFETCH(QByteArray, file);
        QFETCH(Encoding, encoding);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, lineEnd);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, file);
        Form1* form = documents::openDocument(*frame, path);
        QVERIFY(form);
        QCOMPARE(form->encoding(), encoding);
        QVERIFY(textOf(form) == text);
        QCOMPARE(frame->table().DocumentStates[form->slot()].Changed, 0);
        frame->mnuFileSave_Click();
        QVERIFY(readBytes(path) == file + lineEnd);
        QCOMPARE(modal.messages.size(), 0);
    }

    // As a new user would: a UTF-8 page, "é" typed at its end, saved.
    void typedCharacterIsWrittenInTheFilesEncoding() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        const QByteArray page = "<p>Caf\xC3\xA9</p>\r\n";
        writeBytes(path, page);
        Form1* form = documents::openDocument(*frame, path);
        typeAtEnd(form, QStringLiteral("\u00e9"));
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), page + "\xC3\xA9\r\n");
        // Searching for it finds it, with case and without.
        searchcmd::state().strSearchText = QStringLiteral("\u00c9");
        searchcmd::state().intMatchCase = 0;
        searchcmd::state().blnNewSearch = true;
        form->RTB1->selectBytes(0, 0);
        QVERIFY(searchcmd::FindInDocument(*frame));
        QCOMPARE(form->RTB1->SelStart(), 6);
        QCOMPARE(form->RTB1->SelText(), QStringLiteral("\u00e9"));
    }

    void savingInAnotherEncoding() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "caf\xE9");
        Form1* form = documents::openDocument(*frame, path);
        documents::setSaveEncoding(*form, Encoding::Utf16BeBom);
        QCOMPARE(frame->table().DocumentStates[form->slot()].Changed, -1);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("\xFE\xFF\0c\0a\0f\0\xE9\0\r\0\n", 14));
        // Back to Windows-1252 with a character it lacks: the save offers UTF-8; No writes nothing.
        typeAtEnd(form, QStringLiteral("\u03a9"));
        documents::setSaveEncoding(*form, Encoding::Windows1252);
        modal.answerMessage(tp::MsgResult::No);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages.last().buttons, tp::MsgButtons::YesNo);
        const QString text = modal.messages.last().text;
        QVERIFY2(text.contains(QStringLiteral("U+03A9")) && text.contains(QStringLiteral("line 1, column 5")) &&
                     text.contains(QStringLiteral("UTF-8 instead")),
                 qPrintable(text));
        QCOMPARE(readBytes(path).size(), 14);
        QCOMPARE(form->encoding(), Encoding::Windows1252);
        // Yes saves it as UTF-8.
        modal.answerMessage(tp::MsgResult::Yes);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("caf\xC3\xA9\xCE\xA9\r\n"));
        QCOMPARE(form->encoding(), Encoding::Utf8);
        QCOMPARE(frame->table().DocumentStates[form->slot()].Changed, 0);
        QCOMPARE(modal.messages.size(), 2);
    }

    void reopeningInAnotherEncoding() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.txt"));
        writeBytes(path, QByteArray("h\0i\0\xE9", 5));
        Form1* form = documents::openDocument(*frame, path);
        QCOMPARE(form->encoding(), Encoding::Windows1252);
        // An odd number of bytes cannot be UTF-16: said, and the text stays as it was.
        QVERIFY(!documents::reopenWithEncoding(*form, Encoding::Utf16Le));
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages.last().text.contains(QStringLiteral("odd number of bytes")));
        QCOMPARE(textOf(form), QByteArray("h\0i\0\xC3\xA9", 6));
        QCOMPARE(form->encoding(), Encoding::Windows1252);
        // As UTF-8 the stray byte stays a byte, and the document is unchanged.
        QVERIFY(documents::reopenWithEncoding(*form, Encoding::Utf8));
        QCOMPARE(textOf(form), QByteArray("h\0i\0\xE9", 5));
        QCOMPARE(form->encoding(), Encoding::Utf8);
        QCOMPARE(form->RTB1->TextLength(), 5);
        QCOMPARE(frame->table().DocumentStates[form->slot()].Changed, 0);
        // A changed document is not read again.
        typeAtEnd(form, QStringLiteral("x"));
        QVERIFY(!documents::canReopen(*form));
        QVERIFY(!documents::reopenWithEncoding(*form, Encoding::Windows1252));
        QCOMPARE(textOf(form), QByteArray("h\0i\0\xE9x", 6));
    }

    // The status bar names the encoding; its menu reopens, sets the save's encoding and the
    // default of new documents, which later starts remember.
    void statusBarMenuAndDefault() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        auto* status = frame->findChild<FrameStatusBar*>(QStringLiteral("FrameStatusBar"));
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, QByteArray("\xFF\xFEh\0", 4));
        Form1* form = documents::openDocument(*frame, path);
        status->refresh();
        QCOMPARE(status->codePageText(), QStringLiteral("UTF-16 LE with BOM"));
        menuItem(*status, "mnuEncodingReopen", Encoding::Windows1252)->trigger();
        QCOMPARE(textOf(form), QByteArray("\xC3\xBF\xC3\xBEh\0", 6));
        status->refresh();
        QCOMPARE(status->codePageText(), QStringLiteral("Windows-1252"));
        menuItem(*status, "mnuEncodingSave", Encoding::Utf8Bom)->trigger();
        QCOMPARE(form->encoding(), Encoding::Utf8Bom);
        QVERIFY(menuItem(*status, "mnuEncodingSave", Encoding::Utf8Bom)->isChecked());
        QVERIFY(!status->encodingMenu()->findChild<QMenu*>(QStringLiteral("mnuEncodingReopen"))->isEnabled());

        QCOMPARE(documents::NewDocument(*frame)->encoding(), Encoding::Windows1252);
        menuItem(*status, "mnuEncodingDefault", Encoding::Utf8)->trigger();
        QCOMPARE(io::defaultEncoding(), Encoding::Utf8);
        QCOMPARE(documents::NewDocument(*frame)->encoding(), Encoding::Utf8);
        // A damaged choice, or a folder in the file's place, means Windows-1252.
        writeBytes(io::defaultEncodingPath(), "UTF-9");
        QCOMPARE(io::defaultEncoding(), Encoding::Windows1252);
        QFile::remove(io::defaultEncodingPath());
        QVERIFY(QDir().mkpath(io::defaultEncodingPath()));
        QCOMPARE(io::defaultEncoding(), Encoding::Windows1252);
        QVERIFY(!io::setDefaultEncoding(Encoding::Utf8));
        QVERIFY(QDir().rmdir(io::defaultEncodingPath()));
        QCOMPARE(modal.messages.size(), 0);
    }

    // Plain ASCII without a declaration follows the encoding of new documents; a file whose
    // declared encoding would not keep its bytes says why in the status bar.
    void asciiAndNotExactFiles() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        auto* status = frame->findChild<FrameStatusBar*>(QStringLiteral("FrameStatusBar"));
        QVERIFY(io::setDefaultEncoding(Encoding::Utf8));
        const QString script = dir.file(QStringLiteral("jquery.min.js"));
        writeBytes(script, "a=1;\n");
        Form1* form = documents::openDocument(*frame, script);
        QCOMPARE(form->encoding(), Encoding::Utf8);
        typeAtEnd(form, QStringLiteral("\u00e9"));
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(script), QByteArray("a=1;\n\xC3\xA9\n"));
        const QString jis = dir.file(QStringLiteral("jis.htm"));
        writeBytes(jis, "<meta charset=iso-2022-jp>\x1b(Jx\n");
        documents::openDocument(*frame, jis);
        status->refresh();
        QCOMPARE(status->codePageText(), QStringLiteral("ISO-2022-JP declared; not exact, shown as Windows-1252"));
        QCOMPARE(modal.messages.size(), 0);
    }

    // Saving in another encoding than the page declares asks whether to change the declaration:
    // Cancel writes nothing, No leaves it, Yes changes it as one undoable change.
    void declarationFollowsTheSavedEncoding() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        const QByteArray page = "<meta charset=\"ISO-8859-1\">Pokorn\xfd\r\n";
        writeBytes(path, page);
        Form1* form = documents::openDocument(*frame, path);
        documents::setSaveEncoding(*form, Encoding::Utf8);
        modal.answerMessage(tp::MsgResult::Cancel);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), page);
        QVERIFY(modal.messages.last().text.contains(QStringLiteral("Change the declaration to UTF-8?")));
        modal.answerMessage(tp::MsgResult::No);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("<meta charset=\"ISO-8859-1\">Pokorn\xc3\xbd\r\n"));
        // Back to Windows-1252: the declaration is true again, nothing asked.
        documents::setSaveEncoding(*form, Encoding::Windows1252);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), page);
        QCOMPARE(modal.messages.size(), 2);
        // A character Windows-1252 lacks: UTF-8 instead, and the declaration with it.
        typeAtEnd(form, QStringLiteral("\u03a9"));
        modal.answerMessage(tp::MsgResult::Yes);
        modal.answerMessage(tp::MsgResult::Yes);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), 4);
        QCOMPARE(readBytes(path), QByteArray("<meta charset=\"UTF-8\">Pokorn\xc3\xbd\r\n\xce\xa9\r\n"));
        form->RTB1->SendScintilla(QsciScintillaBase::SCI_UNDO);
        QCOMPARE(textOf(form), QByteArray("<meta charset=\"ISO-8859-1\">Pokorn\xc3\xbd\r\n\xce\xa9"));
    }

    // Reopening in another encoding keeps the caret's line.
    void reopenKeepsTheCaretLine() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("long.txt"));
        writeBytes(path, QByteArray("line \xe9\n").repeated(300));
        Form1* form = documents::openDocument(*frame, path);
        RichTextBox& rtb = *form->RTB1;
        rtb.selectBytes(rtb.lineStartByte(200) + 3, rtb.lineStartByte(200) + 3);
        QVERIFY(documents::reopenWithEncoding(*form, Encoding::Iso8859_2));
        QCOMPARE(form->encoding(), Encoding::Iso8859_2);
        QCOMPARE(rtb.lineOfByte(rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)), 200);
    }

    // The text a drop adds is decoded as Open would decode its file.
    void droppedFileIsDecoded() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* form = frame->ActiveForm();
        form->RTB1->SetText(QStringLiteral("x"));
        const QString utf16 = dir.file(QStringLiteral("a.txt")), stray = dir.file(QStringLiteral("b.htm"));
        writeBytes(utf16, QByteArray("\xFF\xFE\xE9\0\r\0\n\0z\0", 10));
        writeBytes(stray, "<meta charset=utf-8>\xE9");
        const QString latin2 = dir.file(QStringLiteral("c.htm"));
        writeBytes(latin2, "<meta charset=latin2>\xB1");
        fileops::documentDropFile(*form->RTB1, utf16);
        fileops::documentDropFile(*form->RTB1, stray);
        fileops::documentDropFile(*form->RTB1, latin2);
        QCOMPARE(textOf(form), QByteArray("x\xC3\xA9\r\nz<meta charset=utf-8>\xE9<meta charset=latin2>\xC4\x85"));
        QCOMPARE(form->RTB1->TextLength(), 48);
    }
};

QTEST_MAIN(EncodingsTest)
#include "Encodings_test.moc"
