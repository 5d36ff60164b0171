#include "io/DiskWatch.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

#include <sys/stat.h>

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
    return id;
}

DiskChange diskChange(const FileIdentity& recorded, const FileIdentity& now) {
    if (!now.exists) return recorded.exists ? DiskChange::Deleted : DiskChange::None;
    if (!recorded.exists || now.device != recorded.device || now.inode != recorded.inode) return DiskChange::Replaced;
    if (now.size != recorded.size || now.mtimeNs != recorded.mtimeNs) return DiskChange::Modified;
    return DiskChange::None;
}

namespace {
QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }
} // namespace

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

void DiskWatcher::fileEvent(const QString& path) { look(path); }

void DiskWatcher::folderEvent(const QString& folder) {
    for (const QString& path : paths_.keys())
        if (folderOf(path) == folder) look(path);
}

void DiskWatcher::look(const QString& path) {
    const auto it = paths_.find(path);
    if (it == paths_.end()) return;
    const FileIdentity now = FileIdentity::of(path);
    if (now == it->seen) return;
    const bool otherFile = !now.exists || now.device != it->seen.device || now.inode != it->seen.inode;
    it->seen = now;
    if (otherFile) {
        // The watch still sits on the old file, which may have no name any more: follow the name.
        if (watcher_->files().contains(path)) watcher_->removePath(path);
        if (now.exists) watcher_->addPath(path);
    }
    emit changed(path);
}

} // namespace io
