// A log larger than 2 GB (ASCII and UTF-8 lines): open against read(), its memory against its size,
// F3 for a word near its end against memmem, Save against write()+fsync(), the recovery journal's
// first copy and Find in Files, and the positions past 2^31 (line count, the caret's line and
// column). Run only when named ("tesselpad_bench huge"): it needs the file's size three times over
// on the disk for a moment and twice in memory. TESSELPAD_HUGE_MB sets the size (2560 unless told).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentJournal.h"
#include "documents/Form1.h"
#include "io/JournalFormat.h"
#include "io/JournalWriter.h"
#include "io/UniqueFd.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/FindInFiles.h"
#include "search/SearchCommands.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QThread>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
double since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }
QString mb(qint64 bytes) { return QStringLiteral("%1 MB").arg(bytes >> 20); }

const QByteArray kNeedle("needle-in-the-haystack");

// Writes the log a piece at a time; returns its line count (lines end in LF; the last one too).
qint64 writeLog(const QString& path, qint64 size) {
    static const char* const lines[] = {
        "2026-12-08 06:32:07.123 INFO  [worker-3] GET /index.html 200 5123 bytes in 12 ms\n",
        "2026-12-08 06:32:07.456 WARN  [worker-1] slow query: SELECT * FROM pages WHERE id = 42\n",
        "2026-12-08 06:32:08.001 INFO  [worker-2] user \xc3\xa9lodie: caf\xc3\xa9 cr\xc3\xa8me \xe2\x82\xac 12\n",
        "2026-12-08 06:32:08.777 DEBUG [worker-4] \xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 "
        "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe3\x81\x93\xe3\x82\x93\xe3\x81\xab\xe3\x81\xa1\xe3\x81\xaf\n",
    };
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    QByteArray piece;
    qint64 written = 0, count = 0;
    quint32 seed = 99;
    while (written < size) {
        piece.clear();
        while (piece.size() < (8 << 20)) {
            seed = seed * 1103515245u + 12345u;
            piece += lines[(seed >> 16) % std::size(lines)];
            ++count;
        }
        if (written + piece.size() >= size) {
            // The word near the end, on a line of its own.
            piece += QByteArray("the ") + kNeedle + " is here\n";
            ++count;
        }
        f.write(piece);
        written += piece.size();
    }
    return count;
}

struct Silent : tp::ModalSeam {
    int messages = 0;
    QString last;
    tp::MsgResult message(const tp::MessageRequest& r) override {
        ++messages;
        last = r.text;
        return tp::MsgResult::OK;
    }
    QString fileDialog(const tp::FileDialogRequest&) override { return {}; }
    bool printDialog(const tp::PrintDialogRequest&, QPrinter&) override { return false; }
    int exec(QDialog&) override { return 0; }
};

// Whether the journal, once its writes settle, reads back as the control's text.
bool journalHolds(DocumentJournal& journal, RichTextBox& rtb, const QString& dir) {
    const QString name = QFileInfo(journal.journal().fileName()).fileName();
    QString path;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString p = it.next();
        if (QFileInfo(p).fileName() == name) path = p;
    }
    if (path.isEmpty()) return false;
    // Settled: the same size for two seconds.
    qint64 last = -1;
    for (int still = 0; still < 20;) {
        QCoreApplication::processEvents();
        QThread::msleep(100);
        const qint64 size = QFileInfo(path).size();
        still = size == last ? still + 1 : 0;
        last = size;
    }
    const UniqueFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    const io::journal::ReadResult r = io::journal::read(io::journal::FdSource(fd.get(), last));
    return r.ok() && r.text.size() == rtb.byteLength() &&
           std::memcmp(r.text.constData(), rtb.rangePointer(0, rtb.byteLength()), size_t(r.text.size())) == 0;
}

void run(const bench::Options& options) {
    const qint64 size = qEnvironmentVariableIntValue("TESSELPAD_HUGE_MB") > 0
                            ? qint64(qEnvironmentVariableIntValue("TESSELPAD_HUGE_MB")) << 20
                            : qint64(2560) << 20;
    const QString dir = options.workDir;
    if (QStorageInfo(dir).bytesAvailable() < 3 * size + (qint64(1) << 30)) {
        bench::note(QStringLiteral("huge"), QStringLiteral("skipped: not enough room in %1").arg(dir));
        return;
    }
    qputenv("XDG_STATE_HOME", QFile::encodeName(QDir(dir).filePath(QStringLiteral("state"))));
    const QString path = QDir(dir).filePath(QStringLiteral("huge.log"));
    const qint64 lines = writeLog(path, size);
    const qint64 bytes = QFileInfo(path).size();
    const QString tag = QStringLiteral("%1 log: ").arg(mb(bytes));

    // The baselines: read() of the whole file, memmem for the word in it.
    double readTime = 0, memmemTime = 0;
    qint64 needleAt = -1;
    {
        const auto t0 = Clock::now();
        const QByteArray all = bench::readPlain(path);
        readTime = since(t0);
        const auto t1 = Clock::now();
        const void* hit = memmem(all.constData(), size_t(all.size()), kNeedle.constData(), size_t(kNeedle.size()));
        memmemTime = since(t1);
        needleAt = hit ? static_cast<const char*>(hit) - all.constData() : -1;
    }
    const qint64 memory = bench::memoryToOpen(path);

    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QCoreApplication::processEvents();
    Silent silent;
    tp::setModal(&silent);
    const auto t0 = Clock::now();
    Form1* form = documents::openDocument(frame, path);
    QCoreApplication::processEvents();
    const double openTime = since(t0);
    bench::report(tag + QStringLiteral("open"), openTime, QStringLiteral("read()"), readTime);
    bench::note(tag + QStringLiteral("peak memory to open"),
                QStringLiteral("%1 (%2x the file)").arg(mb(memory)).arg(double(memory) / double(bytes), 0, 'f', 2));
    if (!form) {
        bench::note(tag + QStringLiteral("ERROR"), QStringLiteral("not opened: ") + silent.last);
        tp::setModal(nullptr);
        QFile::remove(path);
        return;
    }
    RichTextBox& rtb = *form->RTB1;
    bool ok = rtb.byteLength() == bytes && rtb.lineCount() == lines + 1;

    // F3 from the top for the word near the end.
    searchcmd::SearchState& s = searchcmd::state();
    rtb.SetSelStart(0);
    s.strSearchText = QString::fromLatin1(kNeedle);
    s.intMatchCase = 1;
    s.intSearchDirection = 1;
    s.blnNewSearch = true;
    const auto t2 = Clock::now();
    searchcmd::FindInDocument(frame);
    const double f3 = since(t2);
    const qint64 foundByte = rtb.byteFromIndex(rtb.SelStart());
    ok = ok && foundByte == needleAt && rtb.SelLength() == kNeedle.size();
    bench::report(tag + QStringLiteral("F3 for a word near the end"), f3, QStringLiteral("memmem"), memmemTime);
    // The caret's line and column there, past 2^31.
    const RichTextBox::LineColumn lc = rtb.lineColumnAt(foundByte);
    ok = ok && lc.line == lines - 1 && lc.column == 4;

    // A change at the end: the journal copies the text and then follows the changes.
    rtb.selectBytes(bytes, bytes);
    rtb.replaceBytes(bytes, bytes, "end\n");
    const auto t3 = Clock::now();
    DocumentJournal* journal = form->journal();
    while (journal && journal->state() != DocumentJournal::State::Live && since(t3) < 600) {
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    const double journalTime = since(t3);
    const bool journalLive = journal && journal->state() == DocumentJournal::State::Live;
    bench::report(tag + QStringLiteral("recovery journal's first copy"), journalTime, QStringLiteral("read()"), readTime);
    ok = ok && journalLive;
    if (journalLive) {
        // An edit past 2^31 and one before it, recorded as edits: the journal read back is the text.
        rtb.replaceBytes(bytes + 2, bytes + 3, "ND");
        rtb.replaceBytes(100, 104, "");
        journal->flush();
        const bool same = journalHolds(*journal, rtb, dir);
        bench::note(tag + QStringLiteral("journal read back after edits past 2 GB"), same ? QStringLiteral("the text") : QStringLiteral("ERROR"));
        ok = ok && same;
    }

    // Save against write()+fsync() of the same bytes.
    const auto t4 = Clock::now();
    frame.mnuFileSave_Click();
    const double saveTime = since(t4);
    const qint64 savedSize = QFileInfo(path).size();
    ok = ok && savedSize == rtb.byteLength() && silent.messages == 0;
    const QString raw = path + QStringLiteral(".raw");
    const double writeTime = bench::seconds([&] {
        bench::writePlain(raw, QByteArray::fromRawData(rtb.rangePointer(0, rtb.byteLength()), rtb.byteLength()), true);
    });
    QFile::remove(raw);
    bench::report(tag + QStringLiteral("save"), saveTime, QStringLiteral("write()+fsync()"), writeTime);
    form->closeWithoutAsking();
    QCoreApplication::processEvents();
    tp::setModal(nullptr);

    // Find in Files over the folder that holds it.
    search::Matcher matcher;
    matcher.prepare({QString::fromLatin1(kNeedle), true, false, false});
    qint64 found = 0;
    bool finished = false;
    const auto t5 = Clock::now();
    {
        findinfiles::Search search({dir, QStringLiteral("*.log"), false, {}}, matcher,
                                   {[&](findinfiles::FileResult&& r) { found += r.matches; },
                                    [&](const findinfiles::Summary&) { finished = true; }});
        search.wait();
    }
    const double fifTime = since(t5);
    ok = ok && finished && found == 1;
    bench::report(tag + QStringLiteral("Find in Files"), fifTime, QStringLiteral("read()"), readTime);
    QFile::remove(path);
    bench::note(tag + QStringLiteral("lines, positions, journal, saved bytes"), ok ? QStringLiteral("right") : QStringLiteral("ERROR"));
}

bench::Register reg("huge", run, true);

} // namespace
