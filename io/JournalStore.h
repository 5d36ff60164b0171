#pragma once
// The folder of recovery journals, $XDG_STATE_HOME/tesselpad/recovery, never beside the user's
// files. Each running program is one session with a random name: its journals are
// "<session>-<n>.tpj", built under ".<session>-<n>.<k>.tmp" and renamed into place, and it holds
// "<session>.lock" locked (flock) for as long as it runs. The lock tells a session that ended
// without cleaning up (a crash, a kill, a power cut) from one that still runs: the journals of a
// running session are never taken by another program.
#include "io/JournalFormat.h"
#include "io/UniqueFd.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <vector>

namespace io {

// A session whose program is gone, claimed (its lock held) by this program.
struct OrphanSession {
    QString session;
    QStringList journals;   // "<session>-<n>.tpj"
    QStringList others;     // its temporary files
    UniqueFd lock;          // its lock file, locked; closed by releaseOrphan()
};

// A journal read for recovery, or the reason it was refused.
struct JournalRead {
    QString name;
    journal::ReadResult result;
    QString refusal;   // why the file is not used, empty when it is
};

class JournalStore {
public:
    // $XDG_STATE_HOME/tesselpad/recovery (~/.local/state/... when the variable is unset).
    static QString defaultFolder();

    explicit JournalStore(const QString& folder);
    ~JournalStore();   // lets go of the locks; removes nothing
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;

    QString folder() const { return folder_; }

    // Opens the folder for writing this session's journals, creating it (private to the user) and
    // this session's lock on first use. False with a reason when the folder is not safe to use.
    // May be called from any thread.
    bool prepare(QString& reason);
    // The folder, opened (O_PATH-like use with the *at functions); -1 before prepare().
    int folderFd() const { return dirFd_; }
    QString session() const { return session_; }
    QString journalName(int number) const;
    QString tempName(int number, int build) const;

    // Claims the sessions that ended without cleaning up: their locks are taken and held until
    // releaseOrphan(). Sessions still running are left alone. Does not create the folder.
    std::vector<OrphanSession> claimOrphans();
    void releaseOrphan(OrphanSession& orphan, bool removeLock);

    // Reads one journal of the folder, refusing symbolic links, anything but a regular file,
    // files of another user and files over maxFileBytes.
    JournalRead read(const QString& name, qint64 maxFileBytes, const journal::Limits& limits) const;
    // Moves a journal (or whatever has its name) into "kept/" beside the others, under its name
    // and the time; false with a reason when it cannot.
    bool keepAside(const QString& name, QString& reason) const;
    void remove(const QString& name) const;

    // A clean end: removes this session's journals and its lock.
    void endSession();

private:
    bool openFolder(bool create, QString& reason);

    QString folder_;
    QString session_;
    // The folder is opened once, under mutex_: dir_ owns the descriptor, dirFd_ hands its value to
    // the writer threads.
    UniqueFd dir_;
    std::atomic<int> dirFd_{-1};
    UniqueFd lock_;   // this session's lock file, locked; under mutex_
    std::mutex mutex_;
};

// The start time of a process (clock ticks since boot), or -1: with the pid, it names a process
// in a way a reused pid does not repeat.
qint64 processStartTime(qint64 pid);

} // namespace io
