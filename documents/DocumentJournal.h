#pragma once
// Keeps a changed document's text in a recovery journal (io/JournalWriter.h), so that it survives
// a crash. It follows the edit control's notices before each change, which carry the position and
// length of the change, and reads the inserted bytes once the change is made: no notice after a
// change is needed, so typing keeps its speed on large documents.
//
// Timing: the edits of a moment are written at most flushMs after the first of them (so at most
// about half a second after typing stops, and every half second while it goes on), and after
// idleMs without typing a journal that grew by many edits is rewritten as its text alone.
// The first write of a journal takes the document's whole text: read from its file again by a
// worker thread when the document still is what was opened or saved there, else copied out of the
// edit control a piece at a time, between events.
#include "io/JournalWriter.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class RichTextBox;

class DocumentJournal : public QObject {
    Q_OBJECT
public:
    struct Timing {
        int flushMs = 500;
        int idleMs = 2000;
        qint64 compactBytes = qint64(1) << 20;   // edits worth compacting, at least
    };
    enum class State { Idle, FromFile, Pieces, Live };

    // 'changed' tells whether the document has unsaved changes; only then is a journal kept.
    DocumentJournal(RichTextBox& rtb, io::JournalWriter& writer, int number, std::function<bool()> changed,
                    QObject* parent = nullptr);
    ~DocumentJournal() override;   // leaves the journal on disk

    static void setTiming(const Timing& timing);   // for tests and the benchmark

    // What the journal says the document is: its caption and file.
    void setIdentity(const QString& caption, const QString& path);
    // The encoding the document's file is written in, and how its bytes become the text.
    void setEncoding(const QString& name, io::Decoder decode);
    // The text is now what the file holds (just opened or read again), or that without the 'tail'
    // the save added (just saved); either way the journal kept so far is removed.
    // 'hash': the checksum of the file's bytes read or written (io/ContentHash.h), when known.
    void loadedFrom(const QString& path, const io::FileStamp& stamp, std::optional<quint64> hash = std::nullopt);
    void savedTo(const QString& path, const io::FileStamp& stamp, const QByteArray& tail,
                 std::optional<quint64> hash = std::nullopt);
    // The text was recovered from a journal of the folder, written while 'fileStamp' was the
    // document's file: that journal becomes this one.
    void adopt(const QString& journalName, qint64 goodBytes, const io::FileStamp& fileStamp);
    // Removes the journal (the document was closed without saving, or saved).
    void discard();
    // Writes what is waiting now instead of at the next tick.
    void flush();

    State state() const { return state_; }
    // The file the text can be read from for the journal's first copy, as it was then; invalid
    // when the text must be copied from the control.
    io::FileStamp baseStamp() const { return base_.stamp; }
    io::Journal& journal() { return journal_; }

signals:
    // A journal could not be written; the reason names the folder or the error.
    void problem(const QString& reason);

private:
    struct Pending {
        std::vector<io::journal::Edit>* into = nullptr;
        qint64 position = 0;
        qint64 length = 0;
    };
    struct FileBase {
        QString path;
        io::FileStamp stamp;
        QByteArray tail;
        std::optional<quint64> hash;
        bool valid() const { return stamp.valid(); }
    };

    void onModified(qint64 position, int modificationType, qint64 length);
    void onChange();
    void finishInsert();
    void record(std::vector<io::journal::Edit>& into, qint64 position, qint64 removed, const QByteArray& inserted);
    void scheduleFlush();
    void startPieces();
    void copyPiece();
    void onIdle();
    bool checkFailure();
    io::journal::Header header() const;

    RichTextBox& rtb_;
    io::Journal journal_;
    std::function<bool()> changed_;
    QString caption_, path_, encoding_;
    io::Decoder decode_;
    io::FileStamp fileStamp_;
    FileBase base_;          // the file the text can be read from, while valid
    State state_ = State::Idle;
    bool posted_ = false;     // the journal may exist on disk
    bool beforeSeen_ = false;
    bool textReplaced_ = false;   // a load replaced the text under a journal
    Pending pending_;
    std::vector<io::journal::Edit> edits_;   // not yet written
    qint64 editBytes_ = 0;
    qint64 moves_ = 0;        // how far apart the edits since the last compaction lie
    qint64 lastPosition_ = 0;
    // Copying the text in pieces: everything before the frontier has been copied; edits before it
    // are written after the text, edits after it are in the copy.
    qint64 frontier_ = 0;
    std::vector<io::journal::Edit> afterCopy_;
    int failures_ = 0;
    qint64 retryAt_ = 0;
    QString lastProblem_;
    QTimer flushTimer_, idleTimer_, copyTimer_;
};
