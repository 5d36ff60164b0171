// The recovery journal's cost: typing in a large document with journals on against off (per key
// and the longest key), how soon the document's journal is on disk, and the look for journals at
// start-up when there are none.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentJournal.h"
#include "documents/Form1.h"
#include "documents/Recovery.h"
#include "io/TextLoader.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>

#include <ctime>
#include <unistd.h>

namespace {

void processEvents() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

struct Typing {
    double perKey = 1e9, longest = 0, journalOnDisk = 0;
};

// Keys at the end of the document, each followed by the event processing (timers, painting)
// that the program does before the next key.
Typing type(Form1& form, int keys) {
    RichTextBox& rtb = *form.RTB1;
    rtb.selectBytes(rtb.byteLength(), rtb.byteLength());
    rtb.ensureCursorVisible();
    Typing t;
    DocumentJournal* journal = form.journal();
    const double cpu0 = bench::threadSeconds();
    const auto onDisk = [&] { return journal && t.journalOnDisk == 0 && journal->journal().installed(); };
    QElapsedTimer all;
    all.start();
    for (int i = 0; i < keys; ++i) {
        const double cpu = bench::threadSeconds();
        // Lines of 60 characters.
        const bool enter = i % 61 == 60;
        const QString text = enter ? QStringLiteral("\r") : QString(QChar(u'a' + i % 26));
        const int key = enter ? Qt::Key_Return : Qt::Key_A + i % 26;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&rtb, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(&rtb, &release);
        processEvents();
        t.longest = std::max(t.longest, bench::threadSeconds() - cpu);
        if (onDisk()) t.journalOnDisk = all.nsecsElapsed() / 1e9;
    }
    t.perKey = (bench::threadSeconds() - cpu0) / keys;
    while (journal && !onDisk() && t.journalOnDisk == 0 && all.elapsed() < 60000) {
        processEvents();
        recovery::service().writer().drain(1);
    }
    if (onDisk()) t.journalOnDisk = all.nsecsElapsed() / 1e9;
    return t;
}

Typing measure(MDIForm1& frame, const QString& path, const QByteArray& utf8, bool journal, int keys) {
    recovery::setJournalsEnabled(journal);
    Form1* form = nullptr;
    if (utf8.isEmpty()) {
        form = documents::openDocument(frame, path);
    } else {
        form = documents::NewDocument(frame);
        form->RTB1->SetTextUtf8(utf8);
    }
    processEvents();
    const Typing t = type(*form, keys);
    form->closeWithoutAsking();
    processEvents();
    recovery::service().writer().drain(60000);
    return t;
}

void run(const bench::Options& options) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(options.workDir);
    recovery::useFolder(options.workDir + QStringLiteral("/state/tesselpad/recovery"));

    // Start-up: what the look for journals adds (none there) to loading and showing the frame.
    double load = 1e9, look = 1e9;
    for (int i = 0; i < 10; ++i) {
        MDIForm1 f;
        load = std::min(load, bench::seconds([&] {
            f.MDIForm_Load();
            f.show();
            processEvents();
        }));
        look = std::min(look, bench::seconds([&] { recovery::offerAtStart(f); }));
    }
    bench::report(QStringLiteral("start-up: look for journals (none)"), look,
                  QStringLiteral("frame load and show"), load);

    MDIForm1 frame;
    frame.MDIForm_Load();
    frame.show();
    processEvents();
    constexpr int kKeys = 2000;
    for (int mb : options.sizesMb) {
        if (mb < 10) continue;
        const QByteArray doc = bench::makeDocument(qint64(mb) << 20);
        const QString path = QDir(options.workDir).filePath(QStringLiteral("journal%1.txt").arg(mb));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(doc) != doc.size()) return;
        f.close();
        const QString label = QStringLiteral("%1 MB").arg(mb);
        {
            // The worker alone: the file read again, decoded and written as a journal, flushed.
            io::Journal journal(recovery::service().writer(), 1000 + mb);
            const double build = bench::seconds([&] {
                journal.startFromFile({}, path, io::stampOfPath(path), io::pieceDecoder(io::Encoding::Windows1252), QByteArray());
                recovery::service().writer().drain(600000);
            });
            const double copy = bench::seconds([&] {
                QFile out(options.workDir + QStringLiteral("/copy"));
                if (out.open(QIODevice::WriteOnly)) out.write(doc);
                out.flush();
                ::fsync(out.handle());
            });
            bench::report(QStringLiteral("journal of %1 built from its file").arg(label), build,
                          QStringLiteral("write()+fsync() of the file"), copy);
            journal.remove();
            QFile::remove(options.workDir + QStringLiteral("/copy"));
        }
        for (const bool untitled : {false, true}) {
            const QByteArray utf8 = untitled ? QString::fromLatin1(doc).toUtf8() : QByteArray();
            Typing off, on;
            for (int round = 0; round < 5; ++round) {   // best of five, alternating
                const Typing a = measure(frame, path, utf8, false, kKeys);
                const Typing b = measure(frame, path, utf8, true, kKeys);
                off.perKey = std::min(off.perKey, a.perKey);
                off.longest = round ? std::min(off.longest, a.longest) : a.longest;
                on.perKey = std::min(on.perKey, b.perKey);
                on.longest = round ? std::min(on.longest, b.longest) : b.longest;
                on.journalOnDisk = round ? std::min(on.journalOnDisk, b.journalOnDisk) : b.journalOnDisk;
            }
            const QString what = untitled ? QStringLiteral("untitled %1").arg(label) : QStringLiteral("opened %1").arg(label);
            bench::note(QStringLiteral("%1 keys, %2 (UI thread per key)").arg(kKeys).arg(what),
                        QStringLiteral("journal on %1 ms, off %2 ms: %3x")
                            .arg(on.perKey * 1000, 0, 'f', 3)
                            .arg(off.perKey * 1000, 0, 'f', 3)
                            .arg(on.perKey / off.perKey, 0, 'f', 3));
            bench::report(QStringLiteral("longest key, %1, journal on (UI thread)").arg(what), on.longest,
                          QStringLiteral("journal off"), off.longest);
            bench::note(QStringLiteral("journal of %1 on disk").arg(what),
                        QStringLiteral("%1 s after the first key (%2)")
                            .arg(on.journalOnDisk, 0, 'f', 2)
                            .arg(untitled ? QStringLiteral("copied from the control a piece per event")
                                          : QStringLiteral("read again from the file by a worker thread")));
        }
        QFile::remove(path);
    }
    recovery::setJournalsEnabled(true);
    QDir::setCurrent(previous);
}

bench::Register reg("journal", run);

} // namespace
