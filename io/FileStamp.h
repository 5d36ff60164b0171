#pragma once
// A file as it was at one moment: enough to tell whether it has changed since.
#include <QString>

struct stat;

namespace io {

struct FileStamp {
    qint64 size = -1;   // -1: no file
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 device = 0;
    quint64 inode = 0;

    bool valid() const { return size >= 0; }
    // The same file with the same contents, as far as the file system tells.
    bool sameFile(const FileStamp& o) const {
        return size == o.size && mtimeNs == o.mtimeNs && ctimeNs == o.ctimeNs && device == o.device &&
               inode == o.inode;
    }
    // The same size and modification time: what a user would call unchanged.
    bool sameContents(const FileStamp& o) const { return size == o.size && mtimeNs == o.mtimeNs; }
};

FileStamp stampOf(const struct stat& st);
// The file a path names (following links); invalid when there is none.
FileStamp stampOfPath(const QString& path);

} // namespace io
