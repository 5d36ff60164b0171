#include "io/DiskWatch.h"

#include "io/ContentHash.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <utility>

namespace io {

FileIdentity FileIdentity::of(const QString& path) {
    FileIdentity id;
    struct stat st {};
    // stat() never opens the file, so a pipe or a device cannot block here.
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0) return id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return id;
}

FileIdentity FileIdentity::of(const FileStamp& stamp) {
    FileIdentity id;
    if (!stamp.valid()) return id;
    id.exists = true;
    id.device = stamp.device;
    id.inode = stamp.inode;
    id.size = stamp.size;
    id.mtimeNs = stamp.mtimeNs;
    id.ctimeNs = stamp.ctimeNs;
    return id;
}

namespace {
constexpr qint64 kSecond = 1000000000;
}

bool FileIdentity::timesMayHideWritesAfter(qint64 whenNs) const {
    if (!exists) return false;
    // Whole seconds (or two, FAT) where the times have no fraction; elsewhere the kernel's clock
    // tick (1 to 10 ms). Both with room to spare.
    return std::max(mtimeNs, ctimeNs) + (wholeSecondTimes() ? 3 * kSecond : kSecond / 10) > whenNs;
}

bool FileIdentity::wholeSecondTimes() const { return mtimeNs % kSecond == 0 && ctimeNs % kSecond == 0; }

DiskChange diskChange(const FileIdentity& recorded, const FileIdentity& now) {
    if (!now.exists) return recorded.exists ? DiskChange::Deleted : DiskChange::None;
    if (!recorded.exists || now.device != recorded.device || now.inode != recorded.inode) return DiskChange::Replaced;
    if (now != recorded) return DiskChange::Modified;
    return DiskChange::None;
}

namespace {
QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

qint64 clockNs() {
    timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct OwnWrite {
    FileIdentity file;
    std::optional<quint64> hash;
};
// The files this program's saves left, by device and inode. GUI thread only.
QHash<std::pair<quint64, quint64>, OwnWrite>& ownWrites() {
    static QHash<std::pair<quint64, quint64>, OwnWrite> writes;
    return writes;
}
} // namespace

DiskRecord DiskRecord::now(const QString& path, std::optional<quint64> hash) {
    DiskRecord r;
    r.atNs = clockNs();   // before the file is looked at: a write after this moment is not in it
    r.file = FileIdentity::of(path);
    r.hash = hash;
    return r;
}

void noteOwnWrite(const FileIdentity& written, std::optional<quint64> hash) {
    if (!written.exists) return;
    if (ownWrites().size() >= 4096) ownWrites().clear();   // a bound; only the wording of a question is at stake
    ownWrites().insert({written.device, written.inode}, {written, hash});
}

DiskCheck checkDisk(DiskRecord& record, const QString& path, const FileIdentity& now, bool thorough) {
    const DiskChange byIdentity = diskChange(record.file, now);
    const auto unchanged = [&record, &now](qint64 atNs) {
        record.file = now;
        record.atNs = atNs;
        record.touched = false;
        return DiskCheck{};
    };
    if (byIdentity != DiskChange::None) {
        // Left so by a save of this program: its bytes are known without reading them.
        const auto own = ownWrites().constFind({now.device, now.inode});
        if (now.exists && own != ownWrites().cend() && own->file == now) {
            if (record.hash && own->hash == record.hash) return unchanged(clockNs());
            return {byIdentity, true};
        }
        // Another file, or another size: changed whatever it holds.
        if (byIdentity != DiskChange::Modified || now.size != record.file.size || !record.hash)
            return {byIdentity, false};
    } else if (!record.hash || !record.file.timesMayHideWritesAfter(record.atNs) ||
               !(record.touched || (thorough && record.file.wholeSecondTimes()))) {
        return {};
    }
    // The same file and size, with other times (a touch, a change of permissions) or with times
    // that may hide a write: its bytes decide.
    const qint64 at = clockNs();
    const std::optional<quint64> hash = hashOfFile(path, now.device, now.inode, now.size);
    if (hash && hash == record.hash) return unchanged(at);
    return {DiskChange::Modified, false};
}

DiskWatcher::DiskWatcher(QObject* parent) : QObject(parent), watcher_(new QFileSystemWatcher(this)) {
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &DiskWatcher::fileEvent);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &DiskWatcher::folderEvent);
}

void DiskWatcher::watch(const QString& path) {
    if (path.isEmpty()) return;
    Followed& f = paths_[path];
    if (f.count++ > 0) return;
    f.seen = FileIdentity::of(path);
    if (f.seen.exists) watcher_->addPath(path);
    // The folder tells when the name is taken away or given again (a delete, a rename over it).
    const QString folder = folderOf(path);
    if (folders_[folder]++ == 0) watcher_->addPath(folder);
}

void DiskWatcher::unwatch(const QString& path) {
    const auto it = paths_.find(path);
    if (it == paths_.end() || --it->count > 0) return;
    paths_.erase(it);
    if (watcher_->files().contains(path)) watcher_->removePath(path);
    const QString folder = folderOf(path);
    if (--folders_[folder] == 0) {
        folders_.remove(folder);
        watcher_->removePath(folder);
    }
}

void DiskWatcher::refresh(const QString& path) { look(path, false, false); }

void DiskWatcher::fileEvent(const QString& path) { look(path, true); }

void DiskWatcher::folderEvent(const QString& folder) {
    for (const QString& path : paths_.keys())
        if (folderOf(path) == folder) look(path, false);
}

void DiskWatcher::look(const QString& path, bool written, bool tell) {
    const auto it = paths_.find(path);
    if (it == paths_.end()) return;
    const FileIdentity now = FileIdentity::of(path);
    if (now == it->seen) {
        // The file was written to, but its times may not show it.
        if (written && tell && now.exists) emit touched(path);
        return;
    }
    const bool otherFile = !now.exists || now.device != it->seen.device || now.inode != it->seen.inode;
    it->seen = now;
    if (otherFile) {
        // The watch still sits on the old file, which may have no name any more: follow the name.
        if (watcher_->files().contains(path)) watcher_->removePath(path);
        if (now.exists) watcher_->addPath(path);
    }
    if (tell) emit changed(path);
}

} // namespace io
