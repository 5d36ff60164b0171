#pragma once
// Noticing that another program changed, replaced or deleted a file that a window holds.
//
// A window records its file's identity when it opens or saves it; comparing that record with the
// file as it is now tells what happened since. Where the times cannot tell (a write within the
// same second on a file system that keeps whole seconds, that kept the size), the hash of the
// bytes read or written decides. The watcher says when to look: it follows each file by its name,
// also across the rename-over-it of programs that save atomically (and of our own writer), which
// leaves an inotify watch on the old, unlinked file; and its notices of writes are the evidence
// that makes a window read its file again when the times may hide a write.
#include "io/FileStamp.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class QFileSystemWatcher;

namespace io {

// What a file is at one moment: which file (device and inode, a symbolic link followed), its size
// and its modification and change times to the nanosecond. The change time is set by the system
// at every write and cannot be set back, as the modification time can.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;

    static FileIdentity of(const QString& path);
    // The file as a recovery journal kept it.
    static FileIdentity of(const FileStamp& stamp);
    // Whether a write at 'whenNs' or later could leave the file's times as they are: the times
    // move in steps of the file system's clock, whole seconds (or two) where they have no
    // fraction, a few milliseconds where they have one.
    bool timesMayHideWritesAfter(qint64 whenNs) const;
    bool wholeSecondTimes() const;
    bool operator==(const FileIdentity&) const = default;
};

enum class DiskChange {
    None,       // still the file that was recorded
    Modified,   // the same file, written to
    Replaced,   // another file now has the name (renamed over it, or made anew after a delete)
    Deleted,    // nothing has the name any more
};

// What happened to a file between the recorded identity and 'now', as far as its identity tells.
DiskChange diskChange(const FileIdentity& recorded, const FileIdentity& now);

// What a window knows of its file: the file as it was when the window last read or wrote it, and
// a hash of the bytes it read or wrote there (io/ContentHash.h), for what the times cannot tell.
// Used on the GUI thread only.
struct DiskRecord {
    FileIdentity file;
    std::optional<quint64> hash;   // none when unknown (a recovered window, a failed save)
    qint64 atNs = 0;               // when it was recorded, on the system's clock
    bool touched = false;          // the file was written to since, though its identity may not show it

    // The file at 'path' as it is now.
    static DiskRecord now(const QString& path, std::optional<quint64> hash);
};

struct DiskCheck {
    DiskChange change = DiskChange::None;
    bool ownSave = false;   // the file is as a save of this program (from another window) left it
};

// What happened to the file at 'path', which is 'now', since 'record'. When it is the same file
// with the same size, its bytes decide (read again and hashed, if the record has a hash): when its
// times differ (a touch, a change of permissions), and when they are the same but may hide a write,
// once the watcher saw one (DiskWatcher::touched) or, when 'thorough' (before a save writes over
// it), on a file system of whole-second times, where a write within the same second is no rare
// chance and the watcher may miss it (a file system inotify does not see, no watch left). A file
// whose bytes prove unchanged brings the record up to date. Changes by a save of this program are
// told as such, and need no reading. GUI thread only, as DiskRecord.
DiskCheck checkDisk(DiskRecord& record, const QString& path, const FileIdentity& now, bool thorough);

// This program wrote 'written' (as it is just after the write) with bytes of the hash 'hash'; other
// windows of the same file will recognise it. GUI thread only.
void noteOwnWrite(const FileIdentity& written, std::optional<quint64> hash);

// Follows files by name; several windows may follow the same file (each unwatch() ends one). The
// file itself is watched for writes, its folder for the name being taken away or given again.
class DiskWatcher : public QObject {
    Q_OBJECT
public:
    explicit DiskWatcher(QObject* parent = nullptr);

    void watch(const QString& path);
    void unwatch(const QString& path);
    // Follows the file that has the name now, without telling: its window has just read or
    // written it. Called at once, so that writes to a new file (the writer renames one over the
    // old) are seen from the moment it was recorded, not only once the watcher's notices come in.
    void refresh(const QString& path);

signals:
    // Something happened to the file of that name (written, replaced, deleted or made again).
    void changed(const QString& path);
    // The file of that name was written to, but its identity did not change: a write within one
    // step of the file system's clock that kept the size (or one more notice of a write already
    // told).
    void touched(const QString& path);

private:
    struct Followed {
        int count = 0;       // how many windows follow the name
        FileIdentity seen;   // the file as last looked at
    };
    void fileEvent(const QString& path);
    void folderEvent(const QString& folder);
    // Looks at the file again; re-arms the watch on another file and tells when anything differs.
    // 'written': the watched file itself had a write (not only its folder a change).
    void look(const QString& path, bool written, bool tell = true);

    QFileSystemWatcher* watcher_;
    QHash<QString, Followed> paths_;
    QHash<QString, int> folders_;   // the folders of the followed names, watched too
};

} // namespace io
