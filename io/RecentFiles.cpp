#include "io/RecentFiles.h"

#include "io/DesktopRecent.h"

#include "io/SmallFile.h"
#include "io/UniqueFd.h"
#include "platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace io {
namespace {

QByteArray toLine(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (!name.contains('\n') && !name.contains('\r')) return name;
    return "file://" + name.toPercentEncoding("/");
}

std::optional<QString> fromLine(const QByteArray& line) {
    const bool url = line.startsWith("file://");
    if (!url && line.contains('\r')) return std::nullopt;   // a plain line holds no line break
    std::optional<QString> path = tp::exactName(url ? QByteArray::fromPercentEncoding(line.sliced(7)) : line);
    if (!path || !QDir::isAbsolutePath(*path)) return std::nullopt;
    return path;
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
    for (const QString& f : files) text += toLine(f) + '\n';
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
    if (!io::readSmallFile(QFile::encodeName(recentFilesPath()), 64 * 1024, bytes)) return files;
    for (const QByteArray& line : bytes.split('\n')) {
        const std::optional<QString> path = fromLine(line);
        if (files.size() < kRecentFiles && path && !files.contains(*path)) files << *path;
    }
    return files;
}

void rememberFile(const QString& path) {
    if (!QDir::isAbsolutePath(path)) return;
    // The desktop's list too, also for a file that is first on ours already: its time changes.
    addToDesktopRecentSoon(path);
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
