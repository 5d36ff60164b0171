#include "platform/FileDrop.h"

#include "platform/FileNames.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace tp {

bool isFileList(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty()) return false;
    for (const QUrl& url : urls)
        if (!url.isLocalFile()) return false;
    return true;
}

bool offersFileCopy(const QDropEvent& e) { return (e.possibleActions() & Qt::CopyAction) && isFileList(e.mimeData()); }

namespace {
// The first file's name as the bytes the list carries: toLocalFile() would turn a byte that is not
// UTF-8 into U+FFFD, naming another file.
QByteArray firstName(const QMimeData* data) {
    return QByteArray::fromPercentEncoding(data->urls().first().path(QUrl::FullyEncoded).toLatin1());
}
} // namespace

QString firstDroppedPath(const QMimeData* data) {
    if (!isFileList(data)) return QString();
    return exactName(firstName(data)).value_or(QString());
}

QString unopenableDroppedName(const QMimeData* data) {
    if (!isFileList(data)) return QString();
    const QByteArray name = firstName(data);
    return exactName(name) ? QString() : shownName(name);
}

} // namespace tp
