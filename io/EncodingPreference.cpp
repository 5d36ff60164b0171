#include "io/EncodingPreference.h"

#include "io/AtomicFile.h"
#include "io/SmallFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace io {

QString defaultEncodingPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/default-encoding");
}

Encoding defaultEncoding() {
    QByteArray bytes;
    // Read without blocking: a pipe or a folder in the file's place reads as no choice.
    if (!io::readSmallFile(QFile::encodeName(defaultEncodingPath()), 256, bytes)) return Encoding::Windows1252;
    return encodingFromName(QString::fromUtf8(bytes.trimmed())).value_or(Encoding::Windows1252);
}

bool setDefaultEncoding(Encoding encoding, QString* reason) {
    const QString path = defaultEncodingPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const io::WriteResult written =
        io::writeAtomically(path, (encodingName(encoding) + QLatin1Char('\n')).toUtf8(), /*allowInPlace=*/false);
    if (!written.ok && reason) *reason = written.reason;
    return written.ok;
}

} // namespace io
