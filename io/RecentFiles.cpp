#include "io/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace io {
namespace {

// Names with a line break cannot be kept one a line; they are not listed.
bool listable(const QString& path) {
    return QDir::isAbsolutePath(path) && !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
}

void store(const QStringList& files) {
    const QString path = recentFilesPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The list is the program's own small file: a plain atomic save is enough, and a failure
    // only costs the list.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return;
    for (const QString& f : files) out.write(f.toUtf8() + '\n');
    out.commit();
}

} // namespace

QString recentFilesPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/recent-files");
}

QStringList recentFiles() {
    QStringList files;
    QFile in(recentFilesPath());
    // Only a regular file is read: a pipe put in its place must not block the File menu.
    if (!QFileInfo(in.fileName()).isFile() || !in.open(QIODevice::ReadOnly)) return files;
    const QByteArray bytes = in.read(64 * 1024);
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
