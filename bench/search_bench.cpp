// Find Next (F3) over a large document whose only occurrence lies near its end, against the C
// library's memmem over the same bytes and against the edit control's own search.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/Form1.h"
#include "io/CodePage.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/SearchCommands.h"

#include <QApplication>
#include <QFile>
#include <cstring>

namespace {

// Peak resident memory starts again from the current resident memory (Linux 4.0 and later).
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

QString mb(qint64 bytes) { return QStringLiteral("%1 MB").arg(double(bytes) / (1 << 20), 0, 'f', 1); }

double bestOf(int repeat, const std::function<void()>& prepare, const std::function<void()>& timed) {
    double best = 1e100;
    for (int i = 0; i < repeat; ++i) {
        prepare();
        best = std::min(best, bench::seconds(timed));
    }
    return best;
}

void run(qint64 size) {
    const QByteArray needle("needle-in-the-haystack");
    qint64 expectedByte = 0;
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QApplication::processEvents();
    RichTextBox& rtb = *frame.ActiveForm()->RTB1;
    {
        QByteArray doc = bench::makeDocument(size);
        doc.replace(size - 4096, needle.size(), needle);
        const QByteArray utf8 = codepage::decodeToUtf8(doc);
        expectedByte = utf8.indexOf(needle);
        rtb.BeginLoad(utf8.size());
        rtb.AppendUtf8(utf8.constData(), utf8.size());
        rtb.EndLoad();
    }
    QApplication::processEvents();
    const qint64 length = rtb.byteLength();
    const qint64 expectedIndex = rtb.indexFromByte(expectedByte);
    const char* text = rtb.rangePointer(0, length);
    const QString tag = QStringLiteral("search %1 MB: ").arg(size >> 20);

    resetPeak();
    const qint64 hwmBefore = bench::peakResidentBytes();

    // F3 as the user runs it: a new search down from the top of the document.
    searchcmd::SearchState& s = searchcmd::state();
    auto f3From0 = [&](const QString& what, int matchCase) {
        return [&, what, matchCase] {
            rtb.SetSelStart(0);
            s.strSearchText = what;
            s.intMatchCase = std::int16_t(matchCase);
            s.intSearchDirection = 1;
            s.blnNewSearch = true;
        };
    };
    bool ok = true;
    // Misses are counted, not shown.
    struct Silent : tp::ModalSeam {
        int messages = 0;
        tp::MsgResult message(const tp::MessageRequest&) override {
            ++messages;
            return tp::MsgResult::OK;
        }
        QString fileDialog(const tp::FileDialogRequest&) override { return {}; }
        bool printDialog(const tp::PrintDialogRequest&, QPrinter&) override { return false; }
        int exec(QDialog&) override { return 0; }
    } silent;
    int misses = 0;
    auto f3 = [&] {
        searchcmd::FindInDocument(frame);
        ok = ok && rtb.SelStart() == expectedIndex && rtb.SelLength() == needle.size();
    };
    const double f3Case = bestOf(5, f3From0(QString::fromLatin1(needle), 1), f3);
    const double f3NoCase = bestOf(5, f3From0(QString::fromLatin1(needle.toUpper()), 0), f3);

    // Upwards from the end of the document (the occurrence is near it, so most of it is passed
    // only when there is no hit: search for a text that is not there).
    auto upFromEnd = [&](const QString& what, int matchCase) {
        return [&, what, matchCase] {
            rtb.SetSelStart(rtb.TextLength());
            s.strSearchText = what;
            s.intMatchCase = std::int16_t(matchCase);
            s.intSearchDirection = 0;
            s.blnNewSearch = true;
        };
    };
    tp::setModal(&silent);
    auto upMiss = [&] {
        searchcmd::FindInDocument(frame);
        ok = ok && silent.messages == ++misses;
    };
    const double upCase = bestOf(3, upFromEnd(QStringLiteral("haystack-in-the-needle"), 1), upMiss);
    const double upNoCase = bestOf(3, upFromEnd(QStringLiteral("HAYSTACK-IN-THE-NEEDLE"), 0), upMiss);
    tp::setModal(nullptr);

    const void* hit = nullptr;
    const double memmemTime = bench::seconds([&] { hit = memmem(text, size_t(length), needle.constData(), needle.size()); }, 5);
    ok = ok && hit == text + expectedByte;

    auto sciSearch = [&](const QByteArray& what, int flags) {
        rtb.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
        rtb.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, 0UL, long(length));
        const long at = rtb.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, static_cast<unsigned long>(what.size()),
                                           what.constData());
        ok = ok && at == expectedByte;
    };
    const double sciCase = bench::seconds([&] { sciSearch(needle, QsciScintillaBase::SCFIND_MATCHCASE); }, 3);
    const double sciNoCase = bench::seconds([&] { sciSearch(needle.toUpper(), 0); }, 3);

    const qint64 hwmAfter = bench::peakResidentBytes();

    bench::report(tag + QStringLiteral("F3, match case"), f3Case, QStringLiteral("memmem"), memmemTime);
    bench::report(tag + QStringLiteral("F3, match case"), f3Case, QStringLiteral("QScintilla, match case"), sciCase);
    bench::report(tag + QStringLiteral("F3, ignore case"), f3NoCase, QStringLiteral("QScintilla, ignore case"),
                  sciNoCase);
    bench::report(tag + QStringLiteral("F3 up, no hit, match case"), upCase, QStringLiteral("memmem"), memmemTime);
    bench::report(tag + QStringLiteral("F3 up, no hit, ignore case"), upNoCase, QStringLiteral("memmem"), memmemTime);
    bench::note(tag + QStringLiteral("peak memory before/after"),
                mb(hwmBefore) + QStringLiteral(" / ") + mb(hwmAfter) + QStringLiteral(" (resident ") +
                    mb(bench::residentBytes()) + QStringLiteral(", document ") + mb(length) + QStringLiteral(")"));
    if (!ok) bench::note(tag + QStringLiteral("ERROR"), QStringLiteral("a search did not find the one occurrence"));
}

bench::Register r("search", [](const bench::Options& options) {
    for (int sizeMb : options.sizesMb) run(qint64(sizeMb) << 20);
});

} // namespace
