#pragma once
// Unsaved work kept across a crash: the program's journals (one per changed document, written by
// DocumentJournal) and, at start-up, the offer of what a program that ended without cleaning up
// left behind.
#include "io/Encoding.h"
#include "io/JournalStore.h"
#include "io/JournalWriter.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class DocumentFrame;
class Form1;

namespace recovery {

// The journal folder and writer of this program, made on first use. Never destroyed: windows
// still holding journals may outlive any owner (endSession() is the clean end).
class Service {
public:
    explicit Service(const QString& folder);
    io::JournalStore& store() { return *store_; }
    io::JournalWriter& writer() { return *writer_; }
    int nextNumber() { return ++numbers_; }

private:
    std::unique_ptr<io::JournalStore> store_;
    std::unique_ptr<io::JournalWriter> writer_;
    int numbers_ = 0;
};

Service& service();
// Starts a fresh service in another folder (tests and the benchmark); the old one stays alive.
void useFolder(const QString& folder);
// A clean end of the program: writes nothing more and removes this program's journals.
void endSession(int timeoutMs = 5000);
// Whether document windows made from now on keep journals (on unless the benchmark says).
bool journalsEnabled();
void setJournalsEnabled(bool enabled);
// Tells the user, once per run, that unsaved work cannot be kept for recovery.
void reportProblem(const QString& reason);

// A journal found at start-up that can be recovered.
struct Found {
    QString journal;                 // its name in the folder
    io::journal::Header header;
    QByteArray text;                 // the document's text (UTF-8)
    qint64 lastChange = 0;           // ms since the epoch
    qint64 goodBytes = 0;            // the part of the journal that was used
    bool damagedEnd = false;         // its end was cut short or damaged (an older text)
    bool fileChanged = false;        // the file has changed on disk since the work began
    bool fileMissing = false;        // the file no longer exists
};

struct Refused {
    QString journal;
    QString reason;
    bool keptAside = false;
};

// What the user chose for the documents offered, in the order offered.
enum class Choice { Recover, Discard, Later };

// The journals left by programs that ended without cleaning up. Their sessions are claimed (no
// other program offers them meanwhile) until the object goes.
class Offer {
public:
    // Looks for them; costs a folder listing when there are none.
    explicit Offer(Service& service);
    ~Offer();   // lets go of the sessions, removing those with nothing left
    Offer(const Offer&) = delete;
    Offer& operator=(const Offer&) = delete;

    const std::vector<Found>& found() const { return found_; }
    const std::vector<Refused>& refused() const { return refused_; }
    QString folder() const { return service_.store().folder(); }

    // The journal has been taken over by a recovered window (DocumentJournal::adopt), or discarded.
    void recovered(std::size_t index);
    void discard(std::size_t index);

private:
    Service& service_;
    std::vector<io::OrphanSession> sessions_;
    std::vector<Found> found_;
    std::vector<Refused> refused_;
    std::vector<bool> settled_;
};

// Describes a found journal for the user: "<caption or file>", when, how much text, and a note
// when its file changed on disk or its end was damaged.
QString describeWhen(const Found& f);
QString describeSize(const Found& f);
QString describeNote(const Found& f);

// The start-up question, through the modal seam: tells of journals that were refused, then lists
// the recoverable ones; Enter recovers. 'choices' gets one choice per found document. False when
// there was nothing to ask.
bool ask(const Offer& offer, std::vector<Choice>& choices);

// Opens a found document as a changed window (under its file's name when it had one), and lets
// the window's journal take over the one found. Writes nothing to the user's files.
Form1* openRecovered(DocumentFrame& frame, const Found& found);
// At start-up: finds what programs that ended without cleaning up left (saves in place that did
// not end, then unsaved work), asks, and recovers or discards as the user chose.
void offerAtStart(DocumentFrame& frame);

} // namespace recovery
