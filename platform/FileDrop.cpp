#include "platform/FileDrop.h"

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

QString firstDroppedPath(const QMimeData* data) {
    if (!isFileList(data)) return QString();
    return data->urls().first().toLocalFile();
}

} // namespace tp
