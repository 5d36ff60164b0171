// Syntax colouring: opening and typing in HTML documents with colouring on its default setting,
// against the same bytes as a plain-text file (no lexer).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/Syntax.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

namespace {
using bench::processEvents;
using bench::typeKeys;

struct Timings {
    double open = 0, typeEnd = 0, typeMiddle = 0;
    bool coloured = false;
};

Timings measure(MDIForm1& frame, const QString& path, int keys) {
    Timings t;
    Form1* form = nullptr;
    t.open = bench::seconds([&] {
        form = documents::openDocument(frame, path);
        processEvents();
    });
    if (!form) return t;
    RichTextBox& rtb = *form->RTB1;
    t.coloured = DocumentView::of(form)->colouring();
    const qint64 end = rtb.byteLength();
    t.typeEnd = bench::seconds([&] {
        rtb.selectBytes(end, end);
        rtb.ensureCursorVisible();
        typeKeys(rtb, keys);
    });
    const long middleLine = rtb.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(end / 2));
    const qint64 middle = rtb.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(middleLine));
    t.typeMiddle = bench::seconds([&] {
        rtb.selectBytes(middle, middle);
        rtb.ensureCursorVisible();
        typeKeys(rtb, keys);
    });
    form->closeWithoutAsking();
    processEvents();
    return t;
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);   // the settings file is looked for here
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    processEvents();
    constexpr int kKeys = 200;
    bench::note(QStringLiteral("colouring limit"),
                QStringLiteral("%1 MB").arg(syntax::colouringLimit() / double(1 << 20), 0, 'f', 0));
    for (const int mb : {100, 18, 5}) {
        const QByteArray doc = bench::makeDocument(qint64(mb) << 20);
        const QString html = QDir(options.workDir).filePath(QStringLiteral("page%1.html").arg(mb));
        const QString text = QDir(options.workDir).filePath(QStringLiteral("page%1.txt").arg(mb));
        bench::writeFile(html, doc);
        bench::writeFile(text, doc);
        const Timings plain = measure(frame, text, kKeys);
        const Timings ours = measure(frame, html, kKeys);
        const QString size = QStringLiteral("%1 MB .html").arg(mb);
        bench::note(QStringLiteral("colouring on %1").arg(size), ours.coloured ? QStringLiteral("on") : QStringLiteral("off"));
        bench::report(QStringLiteral("open %1").arg(size), ours.open, QStringLiteral("same bytes as .txt"), plain.open);
        bench::report(QStringLiteral("%1 keys at the end, %2").arg(kKeys).arg(size), ours.typeEnd,
                      QStringLiteral("same bytes as .txt"), plain.typeEnd);
        bench::report(QStringLiteral("%1 keys in the middle, %2").arg(kKeys).arg(size), ours.typeMiddle,
                      QStringLiteral("same bytes as .txt"), plain.typeMiddle);
        if (mb < 20) {
            // Saving a plain document under an HTML name colours it whole at once.
            Form1* form = documents::openDocument(frame, text);
            processEvents();
            const double t = bench::seconds([&] {
                form->setFile(html, html);
                processEvents();
            });
            bench::note(QStringLiteral("colouring switched on for %1 (Save As)").arg(size),
                        QStringLiteral("%1 s").arg(t, 0, 'f', 4));
            form->closeWithoutAsking();
            processEvents();
        }
        QFile::remove(html);
        QFile::remove(text);
    }
    bench::note(QStringLiteral("peak resident memory"),
                QStringLiteral("%1 MB").arg(bench::peakResidentBytes() >> 20));
    QDir::setCurrent(previous);
}

bench::Register reg("syntax", run);

} // namespace
