// Replace All, regular-expression Find Next and Find in Files, each against a real baseline on the
// same bytes in the same run:
//   replace      Replace All of a million occurrences against QScintilla's own find/replace loop;
//   regex        a regular-expression search over the whole document: PCRE2 on the edit control's
//                buffer against std::regex on the same bytes and QRegularExpression on its QString;
//   findinfiles  a generated site of 5,000 files against grep -rnF / grep -rnE (warm cache).
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/Form1.h"
#include "io/CodePage.h"
#include "platform/RichTextBox.h"
#include "search/FindInFiles.h"
#include "search/Matcher.h"
#include "search/ReplaceCommands.h"
#include "search/Replacement.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <regex>

#include <unistd.h>

namespace {

void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

QString mb(qint64 bytes) { return QStringLiteral("%1 MB").arg(double(bytes) / (1 << 20), 0, 'f', 1); }

// The benchmark document as the edit control holds it (UTF-8), with 'needle' put at the start of
// 'count' lines spread evenly over it.
QByteArray documentWith(qint64 size, const QByteArray& needle, qint64 count) {
    const QByteArray doc = codepage::decodeToUtf8(bench::makeDocument(size));
    QByteArray out;
    out.reserve(doc.size() + count * (needle.size() + 1) + 16);
    qint64 from = 0;
    for (qint64 i = 1; i <= count; ++i) {
        qint64 at = count ? doc.indexOf('\n', doc.size() * i / (count + 1)) : -1;
        if (at < 0 || at < from) at = from - 1;
        out.append(doc.constData() + from, at + 1 - from);
        out.append(needle).append(' ');
        from = at + 1;
    }
    out.append(doc.constData() + from, doc.size() - from);
    return out;
}

void load(RichTextBox& rtb, const QByteArray& utf8) {
    rtb.BeginLoad(utf8.size());
    rtb.AppendUtf8(utf8.constData(), utf8.size());
    rtb.EndLoad();
}

void replaceRun(qint64 size) {
    const QByteArray needle("needle"), with("NEEDLE-X");
    const qint64 count = std::max<qint64>(1, size / 100);   // a million in 100 MB
    const QByteArray text = documentWith(size, needle, count);
    const QString tag = QStringLiteral("replace %1 MB: ").arg(size >> 20);
    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    QApplication::processEvents();
    RichTextBox& rtb = *frame.ActiveForm()->RTB1;
    bool ok = true;

    search::Matcher m;
    m.prepare({QString::fromLatin1(needle), true, false, false});
    search::Replacement r;
    r.prepare(QString::fromLatin1(with), m);

    load(rtb, text);
    rtb.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    QApplication::processEvents();
    resetPeak();
    const qint64 before = bench::residentBytes();
    qint64 replaced = 0;
    // Replace All as the command does it (one undo step, through the control's program edit).
    const double ours = bench::seconds([&] { replaced = replacecmd::replaceAllIn(rtb, m, r, 0, rtb.byteLength()); });
    const qint64 peak = bench::peakResidentBytes() - before;
    ok = ok && replaced == count && rtb.byteLength() == text.size() + count * (with.size() - needle.size());
    rtb.SendScintilla(QsciScintillaBase::SCI_UNDO);   // one step takes it all back
    ok = ok && rtb.byteLength() == text.size() && !rtb.SendScintilla(QsciScintillaBase::SCI_CANUNDO);

    // QScintilla's own loop: find, replace, find the next, as its documentation shows. Each turn
    // costs about the same wherever it is in the document (about a millisecond), so the first
    // turns are timed and the time scaled to all of them: the whole loop takes a quarter of an
    // hour on 100 MB.
    // Timed twice: as the control is, and without the notices after each change (QScintilla's
    // accessibility support counts every character up to each change), as our edit runs.
    const qint64 sample = std::min<qint64>(count, 5000);
    const auto sciLoop = [&](bool quiet) {
        load(rtb, text);
        QApplication::processEvents();
        const long mask = rtb.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK);
        if (quiet) rtb.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
        qint64 theirs = 0;
        const double t = bench::seconds([&] {
            bool found = rtb.findFirst(QString::fromLatin1(needle), false, true, false, false, true, 0, 0, false);
            while (found && theirs < sample) {
                rtb.replace(QString::fromLatin1(with));
                ++theirs;
                found = rtb.findNext();
            }
        });
        rtb.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
        ok = ok && theirs == sample;
        return t * double(count) / double(sample);
    };
    const double sciQuiet = sciLoop(true);
    const double sci = sciLoop(false);
    const QString timed = sample < count ? QStringLiteral(" (%1 timed)").arg(sample) : QString();
    const QString name = tag + QStringLiteral("Replace All, %1 replacements").arg(count);
    bench::report(name, ours, QStringLiteral("QScintilla loop, quiet") + timed, sciQuiet);
    bench::report(name, ours, QStringLiteral("QScintilla loop") + timed, sci);
    bench::note(tag + QStringLiteral("peak memory growth"),
                mb(peak) + QStringLiteral(" for a document of ") + mb(text.size()) +
                    QStringLiteral(" (%1x)").arg(double(peak) / double(text.size()), 0, 'f', 2));
    if (!ok) bench::note(tag + QStringLiteral("ERROR"), QStringLiteral("a replacement count or the undo went wrong"));
}

void regexRun(qint64 size) {
    // The only occurrence is on the last line.
    const QByteArray text = codepage::decodeToUtf8(bench::makeDocument(size)) + "\r\nneedle-in-the-haystack\r\n";
    const QString tag = QStringLiteral("regex %1 MB: ").arg(size >> 20);
    RichTextBox rtb;
    load(rtb, text);
    const qint64 length = rtb.byteLength();
    const char* buffer = rtb.rangePointer(0, length);
    const qint64 expected = text.indexOf("needle-in-the-");
    bool ok = true;

    struct Case {
        const char* name;
        const char* pattern;
        bool matchCase;
    };
    for (const Case& c : {Case{"literal", "needle-in-the-\\w+", true}, Case{"ignore case", "NEEDLE-IN-THE-\\w+", false},
                          Case{"class first", "[mn]eedle-in-the-\\w+", true}}) {
        search::Matcher m;
        m.prepare({QString::fromLatin1(c.pattern), c.matchCase, false, true});
        search::Match hit;
        const double ours = bench::seconds([&] { hit = m.findForward(buffer, length, 0); }, 3);
        ok = ok && hit.start == expected;

        const auto flags = std::regex::ECMAScript | (c.matchCase ? std::regex::flag_type() : std::regex::icase);
        const std::regex stdRe(c.pattern, flags);
        std::cmatch sm;
        const double stdTime = bench::seconds([&] { std::regex_search(buffer, buffer + length, sm, stdRe); });
        ok = ok && sm.position(0) == expected;

        QString asString;
        const double toQString = bench::seconds([&] { asString = rtb.Text(); });
        QRegularExpression qre(QString::fromLatin1(c.pattern), QRegularExpression::MultilineOption |
                                   (c.matchCase ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption));
        qre.optimize();
        QRegularExpressionMatch qm;
        const double qtTime = bench::seconds([&] { qm = qre.match(asString); }, 3);
        ok = ok && qm.hasMatch() && rtb.byteFromIndex(qm.capturedStart()) == expected;

        const QString name = tag + QStringLiteral("find ") + QLatin1String(c.name);
        bench::report(name, ours, QStringLiteral("std::regex"), stdTime);
        bench::report(name, ours, QStringLiteral("QRegularExpression"), qtTime);
        bench::report(name, ours, QStringLiteral("QRegularExpression+QString"), qtTime + toQString);
    }
    // The whole-word search, plain text, against Find's plain search.
    search::Matcher word, plain;
    word.prepare({QStringLiteral("needle-in-the-haystack"), true, true, false});
    plain.prepare({QStringLiteral("needle-in-the-haystack"), true, false, false});
    search::Match wordHit, plainHit;
    const double wordTime = bench::seconds([&] { wordHit = word.findForward(buffer, length, 0); }, 3);
    const double plainTime = bench::seconds([&] { plainHit = plain.findForward(buffer, length, 0); }, 3);
    ok = ok && wordHit.start == expected && plainHit.start == expected;
    bench::report(tag + QStringLiteral("find whole word"), wordTime, QStringLiteral("plain text (memmem)"), plainTime);
    if (!ok) bench::note(tag + QStringLiteral("ERROR"), QStringLiteral("an engine did not find the occurrence"));
}

// A generated site: 'files' files of about 'fileBytes' each, 50 to a folder, with a few needles.
void makeSite(const QString& root, int files, qint64 fileBytes) {
    const QByteArray base = bench::makeDocument(fileBytes * 4);
    for (int i = 0; i < files; ++i) {
        const QString dir = root + QStringLiteral("/section%1").arg(i / 50, 3, 10, QLatin1Char('0'));
        if (i % 50 == 0) QDir().mkpath(dir);
        QByteArray content = base.mid((i * 7919) % (fileBytes * 3), fileBytes);
        for (int k = 1; k <= 3; ++k) content.replace(qint64(content.size()) * k / 4, 22, "needle-in-the-haystack");
        QFile f(dir + QStringLiteral("/page%1.htm").arg(i));
        if (f.open(QIODevice::WriteOnly)) f.write(content);
    }
}

qint64 grepLines(const QStringList& args, double& secs) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));   // bytes, like the files
    p.setProcessEnvironment(env);
    QByteArray out;
    secs = bench::seconds([&] {   // best of three, as ours
        p.start(QStringLiteral("grep"), args);
        p.waitForStarted();
        out.clear();
        while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
            p.waitForReadyRead(50);
            out += p.readAllStandardOutput();
        }
    }, 3);
    return out.count('\n');
}

qint64 ourSearch(const QString& root, const QString& what, bool regex, double& secs) {
    search::Matcher m;
    m.prepare({what, true, false, regex});
    qint64 hits = 0;
    secs = bench::seconds([&] {
        hits = 0;
        findinfiles::Search::Sink sink;
        sink.file = [&](findinfiles::FileResult&& r) { hits += qint64(r.hits.size()); };
        findinfiles::Search s({root, QStringLiteral("*.htm;*.html"), true}, m, sink);
        s.wait();
    }, 3);
    return hits;
}

void findInFilesRun(int files, qint64 fileBytes) {
    QTemporaryDir site(QStringLiteral("/tmp/tspd-bench-site-XXXXXX"));
    makeSite(site.path(), files, fileBytes);
    const QString tag = QStringLiteral("find in files %1 x %2 KB: ").arg(files).arg(fileBytes >> 10);
    // The new files written out and read once: a warm cache.
    ::sync();
    double t = 0;
    grepLines({QStringLiteral("-rF"), QStringLiteral("zzz-warm-up"), site.path()}, t);
    bool ok = true;
    struct Case {
        const char* name;
        const char* pattern;
        bool regex;
    };
    for (const Case& c : {Case{"text", "needle-in-the-haystack", false}, Case{"regex", "needle-in-[a-z]+-haystack", true}}) {
        double ours = 0, grep = 0;
        const qint64 ourHits = ourSearch(site.path(), QString::fromLatin1(c.pattern), c.regex, ours);
        const qint64 grepHits = grepLines({c.regex ? QStringLiteral("-rnE") : QStringLiteral("-rnF"),
                                           QString::fromLatin1(c.pattern), site.path()},
                                          grep);
        ok = ok && ourHits == grepHits && ourHits == qint64(files) * 3;
        bench::report(tag + QLatin1String(c.name), ours, c.regex ? QStringLiteral("grep -rnE") : QStringLiteral("grep -rnF"),
                      grep);
    }
    if (!ok) bench::note(tag + QStringLiteral("ERROR"), QStringLiteral("the hit counts differ"));
}

bench::Register replaceSection("replace", [](const bench::Options& options) {
    for (int sizeMb : options.sizesMb) replaceRun(qint64(sizeMb) << 20);
});
bench::Register regexSection("regex", [](const bench::Options& options) {
    for (int sizeMb : options.sizesMb) regexRun(qint64(sizeMb) << 20);
});
bench::Register filesSection("findinfiles", [](const bench::Options& options) {
    // 5,000 files of 100 KB (500 MB) for the largest size asked, scaled down for smaller ones.
    const int largest = *std::max_element(options.sizesMb.begin(), options.sizesMb.end());
    findInFilesRun(std::max(50, 50 * largest), 100 * 1024);
});

} // namespace
