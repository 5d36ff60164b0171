// Stopping Find in Files while it reads and searches one large file (600 MB of Windows-1252 text
// for the largest size asked, in the work folder, searched for a text it does not hold): the time
// from Stop to the search's end, and the time taken by dropping the search object (what a new Find
// or closing the panel costs the window). Stop comes at several moments, from the start of the
// reading to the matching.
#include "bench/Bench.h"

#include "search/FindInFiles.h"
#include "search/Matcher.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

void stopRun(const QString& folder, qint64 bytes) {
    const QString tag = QStringLiteral("find in files stop, %1 MB file: ").arg(bytes >> 20);
    {
        // Written in pieces: the whole text is never in memory at once.
        QFile f(QDir(folder).filePath(QStringLiteral("big.htm")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
        const QByteArray piece = bench::makeDocument(qint64(8) << 20);
        for (qint64 done = 0; done < bytes; done += piece.size()) f.write(piece.constData(), std::min(piece.size(), bytes - done));
    }
    search::Matcher m;
    m.prepare({QStringLiteral("needle-in-the-haystack"), false, false, false});
    {
        // The whole search, for scale.
        findinfiles::Summary all;
        findinfiles::Search::Sink sink;
        sink.finished = [&](const findinfiles::Summary& summary) { all = summary; };
        const double t = bench::seconds([&] {
            findinfiles::Search s({folder, QStringLiteral("*.htm"), false}, m, sink);
            s.wait();
        });
        bench::note(tag + QStringLiteral("whole search"), QStringLiteral("%1 s, %2 MB searched, %3 skipped")
                                                              .arg(t, 0, 'f', 2)
                                                              .arg(all.bytes >> 20)
                                                              .arg(all.tooLarge + all.binary));
    }
    double worstStop = 0, worstDrop = 0;
    for (int delayMs : {50, 200, 500, 1000, 2000}) {
        std::mutex lock;
        std::condition_variable ended;
        bool finished = false;
        findinfiles::Search::Sink sink;
        sink.finished = [&](const findinfiles::Summary&) {
            std::lock_guard<std::mutex> g(lock);
            finished = true;
            ended.notify_all();
        };
        const findinfiles::Request request{folder, QStringLiteral("*.htm"), false};
        // Stop, then the end of the search.
        auto s = std::make_unique<findinfiles::Search>(request, m, sink);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        const bool running = !s->done();
        const double stop = bench::seconds([&] {
            s->stop();
            std::unique_lock<std::mutex> g(lock);
            ended.wait(g, [&] { return finished; });
        });
        s.reset();
        // Dropped while it runs, as a new Find drops the search before it.
        s = std::make_unique<findinfiles::Search>(request, m, findinfiles::Search::Sink{});
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        const bool stillRunning = !s->done();
        const double drop = bench::seconds([&] { s.reset(); });
        if (running) worstStop = std::max(worstStop, stop);
        if (stillRunning) worstDrop = std::max(worstDrop, drop);
        const auto ms = [](double t) { return QString::number(t * 1000, 'f', 1) + QStringLiteral(" ms"); };
        bench::note(tag + QStringLiteral("at %1 ms").arg(delayMs),
                    QStringLiteral("Stop to end %1, drop %2").arg(running ? ms(stop) : QStringLiteral("(done)"),
                                                                   stillRunning ? ms(drop) : QStringLiteral("(done)")));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));   // a dropped search's threads end
    }
    bench::note(tag + QStringLiteral("worst Stop to end"), QStringLiteral("%1 ms (goal <= 100 ms)").arg(worstStop * 1000, 0, 'f', 1));
    bench::note(tag + QStringLiteral("worst drop of a running search"), QStringLiteral("%1 ms (goal <= 100 ms)").arg(worstDrop * 1000, 0, 'f', 1));
    QFile::remove(QDir(folder).filePath(QStringLiteral("big.htm")));
}

bench::Register stopSection("findinfiles-stop", [](const bench::Options& options) {
    // 600 MB for 100 MB documents (the default sizes), scaled down for smaller ones.
    const int largest = *std::max_element(options.sizesMb.begin(), options.sizesMb.end());
    const QString folder = QDir(options.workDir).filePath(QStringLiteral("stop"));
    QDir().mkpath(folder);
    stopRun(folder, qint64(std::min(600, 6 * largest)) << 20);
});

} // namespace
