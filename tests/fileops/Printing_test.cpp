#include "app/MDIForm1.h"
#include "documents/Form1.h"
#include "fileops/Printing.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QMdiArea>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

QString runTool(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000)) return QStringLiteral("<%1 failed>").arg(tool);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of a PDF file as pdftotext reads it, its lines trimmed and empty lines dropped.
QStringList pdfLines(const QString& pdf) {
    QStringList lines;
    for (const QString& l : runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                                .split(QLatin1Char('\n'))) {
        const QString t = l.trimmed();
        if (!t.isEmpty()) lines << t;
    }
    return lines;
}

// A print dialog answer that sends the output to a PDF file and confirms.
std::function<bool(const tp::PrintDialogRequest&, QPrinter&)> toPdf(const QString& path,
                                                                     std::function<void(QPrinter&)> alsoDo = {}) {
    return [path, alsoDo](const tp::PrintDialogRequest&, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (alsoDo) alsoDo(printer);
        return true;
    };
}

const QString kText = QStringLiteral("first line\r\nsecond SELECTED part tail\r\nthird ALSO line\r\nlast");

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is needed to read the printed PDF");
    }

    void printsTheWholeTextWithoutASelection() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox* rtb = frame->ActiveForm()->RTB1;
        rtb->SetText(kText);
        rtb->SetSelStart(3);
        const QString pdf = dir.file("all.pdf");
        modal.answerPrint(toPdf(pdf));
        fileops::mnuFilePrint(*frame);

        QCOMPARE(modal.printDialogs.size(), 1);
        const tp::PrintDialogRequest& asked = modal.printDialogs[0];
        QCOMPARE(asked.title, QStringLiteral("Print"));
        QVERIFY(asked.noPageNumbers);
        QVERIFY(!asked.selection);
        QCOMPARE(frame->CommonDialog1.Flags, 264);
        QVERIFY(frame->CommonDialog1.CancelError);
        QCOMPARE(pdfLines(pdf), QStringList({"first line", "second SELECTED part tail", "third ALSO line", "last"}));
        QCOMPARE(rtb->Text(), kText);
        QCOMPARE(rtb->SelStart(), 3);
        QCOMPARE(modal.messages.size(), 0);
    }

    // Exactly the selected characters are printed, also where the selection starts and ends
    // inside lines, whatever range or pages the dialog was left with.
    void printsExactlyTheSelection_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<bool>("userChoseAllPages");
        QTest::newRow("inside a line") << QStringLiteral("SELECTED part") << QStringList{"SELECTED part"} << false;
        QTest::newRow("dialog switched to all pages") << QStringLiteral("SELECTED part") << QStringList{"SELECTED part"}
                                                      << true;
        QTest::newRow("across lines") << QStringLiteral("SELECTED part tail\r\nthird ALSO")
                                      << QStringList{"SELECTED part tail", "third ALSO"} << false;
    }
    void printsExactlyTheSelection() {
        QFETCH(QString, selected);
        QFETCH(QStringList, printed);
        QFETCH(bool, userChoseAllPages);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox* rtb = frame->ActiveForm()->RTB1;
        rtb->SetText(kText);
        rtb->SetSelStart(kText.indexOf(selected));
        rtb->SetSelLength(selected.size());
        const QString pdf = dir.file("sel.pdf");
        modal.answerPrint(toPdf(pdf, [userChoseAllPages](QPrinter& printer) {
            if (!userChoseAllPages) return;
            printer.setPrintRange(QPrinter::AllPages);
            printer.setFromTo(2, 3);
        }));
        fileops::mnuFilePrint(*frame);

        QCOMPARE(modal.printDialogs.size(), 1);
        QVERIFY(modal.printDialogs[0].selection);
        QCOMPARE(frame->CommonDialog1.Flags, 265);
        QCOMPARE(pdfLines(pdf), printed);
        QCOMPARE(rtb->SelText(), selected);   // the document is left as it was
    }

    void printUsesTheDocumentsFixedWidthFont() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty()) QSKIP("pdffonts is missing");
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox* rtb = frame->ActiveForm()->RTB1;
        rtb->SetText(kText);
        rtb->SetSelStart(2);
        rtb->SetSelLength(4);
        const QString pdf = dir.file("font.pdf");
        modal.answerPrint(toPdf(pdf));
        fileops::mnuFilePrint(*frame);
        const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
        const QString family = QFontInfo(rtb->font()).family().remove(QLatin1Char(' '));
        QVERIFY2(fonts.contains(family, Qt::CaseInsensitive), qPrintable(family + "\n" + fonts));
    }

    // Copies and a page range chosen in the dialog are printed as asked, at least 10 mm from the
    // paper's edges (the printer's own minimum where it is more).
    void copiesRangeAndMargins() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        QString text;
        for (int i = 1; i <= 300; ++i) text += QStringLiteral("line %1\r\n").arg(i);
        frame->ActiveForm()->RTB1->SetText(text);
        auto print = [&](const QString& name, int copies, int from, int to) {
            modal.answerPrint(toPdf(dir.file(name), [=](QPrinter& printer) {
                printer.setCopyCount(copies);
                printer.setPrintRange(from ? QPrinter::PageRange : QPrinter::AllPages);
                printer.setFromTo(from, to);
                printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Millimeter);
            }));
            fileops::mnuFilePrint(*frame);
            const QString info = runTool(QStringLiteral("pdfinfo"), {dir.file(name)});
            return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
        };
        const int pages = print("once.pdf", 1, 0, 0);
        QVERIFY(pages >= 3);
        QCOMPARE(print("twice.pdf", 2, 0, 0), 2 * pages);
        QCOMPARE(print("range.pdf", 2, 2, 3), 4);
        auto page = [&](const char* file, const char* n, const char* how = "-layout") {
            return runTool("pdftotext", {how, "-f", n, "-l", n, dir.file(file), "-"});
        };
        QCOMPARE(page("range.pdf", "1"), page("once.pdf", "2"));
        // The first word's top left corner, in points (10 mm = 28.35 pt, less the glyphs' bearing).
        const auto corner = QRegularExpression(QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\""))
                                .match(page("once.pdf", "1", "-bbox"));
        QVERIFY(corner.captured(1).toDouble() > 27.5 && corner.captured(2).toDouble() > 27.5);
        QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(1, 30, 1, 1),
                           QPageLayout::Millimeter, QMarginsF(12, 3, 15, 5));
        QCOMPARE(fileops::printableMargins(layout), QMarginsF(12, 30, 15, 10));
        QCOMPARE(modal.messages.size(), 0);
    }

    // Cancel prints nothing and says nothing; a print that could not be made says why.
    void cancelIsQuietAFailureSaysWhy() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->RTB1->SetText(kText);
        const QString pdf = dir.file("cancel.pdf");
        modal.answerPrint([pdf](const tp::PrintDialogRequest&, QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return false;
        });
        fileops::mnuFilePrint(*frame);
        QCOMPARE(modal.printDialogs.size(), 1);
        QVERIFY(!QFileInfo::exists(pdf));
        QCOMPARE(modal.messages.size(), 0);
        const QString lost = dir.file("no such folder/out.pdf");
        modal.answerPrint(toPdf(lost));
        fileops::mnuFilePrint(*frame);
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, "Can't print Document\r\n\r\n" + lost + ": " + tp::errnoText(ENOENT));
    }

    void emptyDocumentPrintsOneBlankPage() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString pdf = dir.file("blank.pdf");
        modal.answerPrint(toPdf(pdf));
        fileops::mnuFilePrint(*frame);
        QVERIFY(QFileInfo::exists(pdf));
        QVERIFY(runTool(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        QCOMPARE(pdfLines(pdf), QStringList());
    }

    void printWithoutADocumentShowsNoDialog() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        QVERIFY(!frame->ActiveForm());
        fileops::mnuFilePrint(*frame);
        QCOMPARE(modal.printDialogs.size(), 0);
        QCOMPARE(modal.messages.size(), 0);
    }

    // Page Setup needs no document, prints nothing and shows the options the last Print left.
    void pageSetupOnlyShowsTheDialog() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        const QString pdf = dir.file("setup.pdf");
        modal.answerPrint(toPdf(pdf));
        fileops::mnuFilePageSetup(*frame);
        QCOMPARE(modal.printDialogs.size(), 1);
        QCOMPARE(modal.printDialogs[0].title, QStringLiteral("Page Setup"));
        QVERIFY(!modal.printDialogs[0].noPageNumbers);   // the dialog's first options
        QVERIFY(frame->CommonDialog1.CancelError);
        QVERIFY(!QFileInfo::exists(pdf));

        // After a Print with a selection, Page Setup shows the same options; a cancel is quiet.

        auto* form = frame->loadDocumentWindow(frame->claimSlot());
        frame->showDocumentWindow(form);
        form->RTB1->SetText(kText);
        form->RTB1->SetSelStart(0);
        form->RTB1->SetSelLength(5);
        modal.answerPrint(toPdf(dir.file("p.pdf")));
        fileops::mnuFilePrint(*frame);
        modal.answerPrint([](const tp::PrintDialogRequest&, QPrinter&) { return false; });
        fileops::mnuFilePageSetup(*frame);
        QCOMPARE(modal.printDialogs.size(), 3);
        QCOMPARE(modal.printDialogs[2].title, QStringLiteral("Page Setup"));
        QVERIFY(modal.printDialogs[2].noPageNumbers);
        QVERIFY(modal.printDialogs[2].selection);
        QCOMPARE(frame->CommonDialog1.Flags, 265);
        QCOMPARE(modal.messages.size(), 0);
    }
};

QTEST_MAIN(PrintingTest)
#include "Printing_test.moc"
