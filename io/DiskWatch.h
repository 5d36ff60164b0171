#pragma once
// Noticing that another program changed, replaced or deleted a file that a window holds.
//
// A window records its file's identity when it opens or saves it; comparing that record with the
// file as it is now tells what happened since. The watcher only says when to look: it follows
// each file by its name, also across the rename-over-it of programs that save atomically (and of
// our own writer), which leaves an inotify watch on the old, unlinked file.
#include <QHash>
#include <QObject>
#include <QString>

class QFileSystemWatcher;

namespace io {

// What a file is at one moment: which file (device and inode, a symbolic link followed), its size
// and its modification time to the nanosecond.
struct FileIdentity {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;

    static FileIdentity of(const QString& path);
    bool operator==(const FileIdentity&) const = default;
};

enum class DiskChange {
    None,       // still the file that was recorded
    Modified,   // the same file, written to
    Replaced,   // another file now has the name (renamed over it, or made anew after a delete)
    Deleted,    // nothing has the name any more
};

// What happened to a file between the recorded identity and 'now'.
DiskChange diskChange(const FileIdentity& recorded, const FileIdentity& now);

// Follows files by name; several windows may follow the same file (each unwatch() ends one). The
// file itself is watched for writes, its folder for the name being taken away or given again.
class DiskWatcher : public QObject {
    Q_OBJECT
public:
    explicit DiskWatcher(QObject* parent = nullptr);

    void watch(const QString& path);
    void unwatch(const QString& path);

signals:
    // Something happened to the file of that name (written, replaced, deleted or made again).
    void changed(const QString& path);

private:
    struct Followed {
        int count = 0;       // how many windows follow the name
        FileIdentity seen;   // the file as last looked at
    };
    void fileEvent(const QString& path);
    void folderEvent(const QString& folder);
    // Looks at the file again; re-arms the watch on another file and tells when anything differs.
    void look(const QString& path);

    QFileSystemWatcher* watcher_;
    QHash<QString, Followed> paths_;
    QHash<QString, int> folders_;   // the folders of the followed names, watched too
};

} // namespace io
