#include "fileops/DragDrop.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "platform/RichTextBox.h"

#include <QMimeData>
#include <QUrl>

namespace fileops {

bool isFileList(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty()) return false;
    for (const QUrl& url : urls)
        if (!url.isLocalFile()) return false;
    return true;
}

QString firstDroppedPath(const QMimeData* data) {
    if (!isFileList(data)) return QString();
    return data->urls().first().toLocalFile();
}

void frameDropFile(MDIForm1& frame, const QString& strFilename) { documents::openDocument(frame, strFilename); }

void documentDropFile(RichTextBox&, const QString&) {}

QByteArray joinDroppedLines(QByteArrayView) { return QByteArray(); }

} // namespace fileops
