#include "platform/FileNames.h"

#include "platform/Utf8.h"

#include <QFile>

namespace tp {

std::optional<QString> exactName(QByteArrayView name) {
    const QByteArray bytes = name.toByteArray();
    QString text = QFile::decodeName(bytes);
    if (QFile::encodeName(text) != bytes) return std::nullopt;
    return text;
}

QString shownName(QByteArrayView name) {
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    const qsizetype n = name.size();
    QByteArray shown;
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int length = utf8::decode(p + i, n - i, cp);
        if (length > 0) {
            shown.append(name.data() + i, length);
            i += length;
        } else {
            shown += "\\x" + QByteArray::number(p[i], 16).toUpper().rightJustified(2, '0');
            ++i;
        }
    }
    return QString::fromUtf8(shown);
}

} // namespace tp
