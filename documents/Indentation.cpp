#include "documents/Indentation.h"

namespace indentation {

qint64 leadingBlanks(const char* line, qint64 length) {
    qint64 n = 0;
    while (n < length && (line[n] == ' ' || line[n] == '\t')) ++n;
    return n;
}

QByteArray step(bool spaces, int width) { return spaces ? QByteArray(width, ' ') : QByteArray("\t"); }

qint64 unindentStep(const char* line, qint64 length, int width) {
    if (length > 0 && line[0] == '\t') return 1;
    qint64 n = 0;
    while (n < length && n < width && line[n] == ' ') ++n;
    if (n < width && n < length && line[n] == '\t') ++n;
    return n;
}

} // namespace indentation
