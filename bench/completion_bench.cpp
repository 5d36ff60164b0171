// The completion list at the end of a 10 MB page: the time of the list's computation (the context
// before the caret and the filtered entries, for each kind of list), and a key typed until the
// list shows against the same key with the automatic lists off.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/Completion.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>

namespace {
using Sci = QsciScintillaBase;

void idle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void setLists(bool on) {
    prefs::Editor p = DocumentView::preferences();
    p.completeAsYouType = on;
    DocumentView::setPreferences(p);
}

// Seconds to compute the list with the caret at the end of the text (the editor's own text, read
// as the list reads it), best of 20.
double computeAtEnd(RichTextBox& rtb, completion::Language language, bool asked) {
    return bench::seconds(
        [&] {
        const qint64 caret = rtb.byteLength();
        const qint64 from = std::max<qint64>(0, caret - completion::kReach);
        const completion::Context c =
            completion::contextAt(QByteArrayView(rtb.rangePointer(from, caret - from), caret - from), language, asked);
        const QByteArray typed = rtb.bytes(caret - c.typed, c.typed);
        const qint64 lo = std::max<qint64>(0, caret - completion::kWordReach);
        const QList<QByteArray> list = completion::choices(c, typed, QByteArrayView(rtb.rangePointer(lo, caret - lo), caret - lo));
        if (list.isEmpty()) qWarning("completion bench: no entries");
        },
        20);
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    const QString html = QDir(options.workDir).filePath(QStringLiteral("page10.html"));
    bench::writeFile(html, bench::makeDocument(qint64(10) << 20));
    Form1* form = documents::openDocument(frame, html);
    if (!form) return;
    RichTextBox& rtb = *form->RTB1;
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&rtb, &end);
    idle();
    // Each case appends its text at the end and measures there.
    const struct {
        const char* what;
        const char* text;
        bool asked;
    } cases[] = {
        {"element after '<'", "\r\n<", false},
        {"attribute", "<input ty", false},
        {"enumerated value", "<input type=\"", false},
        {"character reference", "> Tom &co", false},
        {"CSS in <style>", "<style>body { disp", false},
        {"words (Ctrl+Space) in <script>", "<script>var x = doc", true},
    };
    double slowest = 0;
    for (const auto& c : cases) {
        const qint64 at = rtb.byteLength();
        rtb.editInOneStep([&] { rtb.replaceBytes(at, at, c.text); });
        const double s = computeAtEnd(rtb, completion::Language::Html, c.asked);
        slowest = std::max(slowest, s);
        bench::note(QStringLiteral("list computed at the end of 10 MB .html: %1").arg(QLatin1String(c.what)),
                    QStringLiteral("%1 ms").arg(s * 1000, 0, 'f', 3));
        rtb.editInOneStep([&] { rtb.replaceBytes(at, rtb.byteLength(), {}); });
    }
    bench::note(QStringLiteral("list computed at the end of 10 MB .html, slowest kind"), QStringLiteral("%1 ms").arg(slowest * 1000, 0, 'f', 3));

    // '<' typed until the list shows (and Escape closes it), against the same key with the lists off.
    const auto typeLt = [&](bool on) {
        setLists(on);
        return bench::seconds(
            [&] {
            QKeyEvent lt(QEvent::KeyPress, Qt::Key_Less, Qt::NoModifier, QStringLiteral("<"));
            QApplication::sendEvent(&rtb, &lt);
            idle();
            // The list follows once the keys pause: its time counts, up to 100 ms.
            QElapsedTimer waited;
            waited.start();
            while (on && !rtb.SendScintilla(Sci::SCI_AUTOCACTIVE) && waited.elapsed() < 100)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            if (on && !rtb.SendScintilla(Sci::SCI_AUTOCACTIVE)) qWarning("completion bench: no list");
            rtb.SendScintilla(Sci::SCI_AUTOCCANCEL);
            rtb.SendScintilla(Sci::SCI_DELETEBACK);
            idle();
            },
            10);
    };
    typeLt(true);   // warms up
    const double off = typeLt(false), on = typeLt(true);
    bench::report(QStringLiteral("'<' at the end of 10 MB .html until the list shows"), on, QStringLiteral("lists off"), off);
    setLists(true);
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    QFile::remove(html);
    QDir::setCurrent(previous);
}

bench::Register reg("completion", run);

} // namespace
