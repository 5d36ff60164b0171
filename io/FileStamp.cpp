#include "io/FileStamp.h"

#include <QFile>

#include <sys/stat.h>

namespace io {

FileStamp stampOf(const struct stat& st) {
    FileStamp s;
    s.size = st.st_size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.ctimeNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    return s;
}

FileStamp stampOfPath(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return stampOf(st);
}

} // namespace io
