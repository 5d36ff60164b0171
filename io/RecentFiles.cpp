#include "io/RecentFiles.h"

#include "io/SmallFile.h"
#include "io/UniqueFd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace io {
namespace {

// Names with a line break cannot be kept one a line; they are not listed.
bool listable(const QString& path) {
    return QDir::isAbsolutePath(path) && !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
}

void store(const QStringList& files) {
    const QString path = recentFilesPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The program's own small file: written beside and renamed over the old one, so that a reader
    // sees one list or the other, but not flushed to disk first, since every open and save
    // writes it and a crash costs no more than the list.
    const QByteArray fresh = QFile::encodeName(path + QStringLiteral(".new"));
    // Whatever has the name (a leftover, a pipe that would never let a writer go) is removed, and
    // the file made anew: only a new regular file is written to.
    ::unlink(fresh.constData());
    const UniqueFd out(::open(fresh.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!out) return;
    QByteArray text;
    for (const QString& f : files) text += f.toUtf8() + '\n';
    const bool written = ::write(out.get(), text.constData(), size_t(text.size())) == text.size();
    if (!written || std::rename(fresh.constData(), QFile::encodeName(path).constData()) != 0)
        ::unlink(fresh.constData());
}

} // namespace

QString recentFilesPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/recent-files");
}

QStringList recentFiles() {
    QStringList files;
    QByteArray bytes;
    // Read without blocking: a pipe put in its place must not hold up the File menu.
    if (!fileops::readSmallFile(QFile::encodeName(recentFilesPath()), 64 * 1024, bytes)) return files;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString path = QString::fromUtf8(line);
        if (files.size() < kRecentFiles && listable(path) && !files.contains(path)) files << path;
    }
    return files;
}

void rememberFile(const QString& path) {
    if (!listable(path)) return;
    QStringList files = recentFiles();
    if (!files.isEmpty() && files.first() == path) return;
    files.removeAll(path);
    files.prepend(path);
    store(files.mid(0, kRecentFiles));
}

void forgetFile(const QString& path) {
    QStringList files = recentFiles();
    if (files.removeAll(path) > 0) store(files);
}

} // namespace io
