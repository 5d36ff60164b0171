#pragma once
// Writing recovery journals off the user-interface thread. Two worker threads serve every journal:
// one appends the small records of edits and flushes each to disk (they must be there within a
// second of typing), the other builds whole texts (from the document's file, from pieces the
// window copies out of its edit control, or by compacting a journal) without holding up the first.
// A text being built goes to a temporary file that replaces the journal only once it is complete
// and on disk; the edits made meanwhile are copied or written into it just before.
#include "io/JournalFormat.h"
#include "io/JournalStore.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <optional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace io {

// One thread running jobs in the order they were posted.
class WorkQueue {
public:
    WorkQueue() = default;
    ~WorkQueue();   // shutdown()
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    void post(std::function<void()> job);
    // Waits until every job posted so far has run; false when the timeout passed first.
    bool drain(int timeoutMs);
    // Runs what is queued and stops the thread; jobs posted afterwards run at once in the caller.
    void shutdown();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::function<void()>> jobs_;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

// Turns file bytes into the document's UTF-8 text: 'out' has room for 4 bytes per input byte.
using Decoder = std::function<qint64(const char* in, qint64 length, char* out)>;

struct JournalShared;

class JournalWriter {
public:
    explicit JournalWriter(JournalStore& store);
    // Finishes the queued work, then stops the threads. Every Journal must be gone before.
    ~JournalWriter();

    JournalStore& store() { return store_; }
    // Waits (up to timeoutMs) until everything asked of the writer so far is done and on disk.
    bool drain(int timeoutMs);
    // Test seam: when set, called before each write of a journal file with its size; an errno
    // value other than 0 makes that write fail with it.
    void setFaultInjector(std::function<int(qint64)> injector);

private:
    friend class Journal;
    struct Impl;
    JournalStore& store_;
    std::unique_ptr<Impl> impl_;
};

// One document's journal, driven from one thread (the window's). Every call only queues work;
// calls take effect in the order they are made.
class Journal {
public:
    Journal(JournalWriter& writer, int number);
    ~Journal();   // leaves the journal on disk: only remove() deletes it

    int number() const;
    QString fileName() const;

    // A fresh text replaces what the journal held. From the document's file, as it was when it was
    // opened or saved: the file must still match 'stamp', end in 'tail' (left out of the text) and,
    // when 'hash' is given, hold the bytes of that checksum (io/ContentHash.h: a rewrite within the
    // same second may leave the stamp as it was); otherwise failed() turns true and the text must
    // come in pieces instead.
    void startFromFile(const journal::Header& header, const QString& path, const FileStamp& stamp,
                       Decoder decode, const QByteArray& tail, std::optional<quint64> hash = std::nullopt);
    // Or in pieces, in order, followed by the edits made to the part already given meanwhile.
    void startFromPieces(const journal::Header& header);
    void addPiece(const QByteArray& bytes);
    void endPieces(const std::vector<journal::Edit>& after);

    // Takes over a journal of the folder (one left by a program that ended without cleaning up)
    // whose text the document now holds: it is renamed to this journal's name and cut to its
    // first 'goodBytes' bytes (the part that was read), so that it is never missing from the disk.
    void adopt(const QString& name, qint64 goodBytes);

    // Edits since the last write, all in one record.
    void append(const std::vector<journal::Edit>& edits);
    // Rewrites the journal as its text alone (the edits applied).
    void compact();
    // Deletes the journal.
    void remove();

    // What the worker threads found, for the window's thread.
    // The journal's text is on disk (and the edits sent since, within a moment).
    bool installed() const;
    // A write failed or the file no longer matched: a fresh text is needed.
    bool failed() const;
    // Why it failed, for a message; empty when no write failed (the file no longer matched).
    QString problem() const;
    // Bytes of edits appended since the text was written.
    qint64 appendedBytes() const;

private:
    // A new generation whose edits wait for its text; returns it.
    int startText();

    JournalWriter& writer_;
    std::shared_ptr<JournalShared> shared_;
    int generation_ = 0;
};

} // namespace io
