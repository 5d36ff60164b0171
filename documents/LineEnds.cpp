#include "documents/LineEnds.h"

#include <cstring>

namespace lineends {

Counts count(const char* data, qint64 length, char before, char after) {
    Counts c;
    if (length <= 0) return c;
    const char* const begin = data;
    const char* const end = data + length;

    // Every LF: a pair with the CR before it, or an LF alone.
    qint64 pairsInside = 0;   // CR LF pairs whose CR lies in the range
    for (const char* p = begin; p < end;) {
        const void* hit = std::memchr(p, '\n', static_cast<size_t>(end - p));
        if (!hit) break;
        const char* lf = static_cast<const char*>(hit);
        const char prev = lf == begin ? before : lf[-1];
        if (prev != '\r') ++c.lf;
        else if (lf != begin) ++pairsInside;
        p = lf + 1;
    }
    // Every CR: it is alone unless an LF follows.
    qint64 crs = 0;
    for (const char* p = begin; p < end;) {
        const void* hit = std::memchr(p, '\r', static_cast<size_t>(end - p));
        if (!hit) break;
        ++crs;
        p = static_cast<const char*>(hit) + 1;
    }
    if (end[-1] == '\r' && after == '\n') ++pairsInside;
    c.crlf = pairsInside;
    c.cr = crs - pairsInside;
    return c;
}

Kind kindOf(const Counts& c) {
    const int kinds = (c.crlf > 0) + (c.lf > 0) + (c.cr > 0);
    if (kinds == 0) return Kind::None;
    if (kinds > 1) return Kind::Mixed;
    if (c.crlf > 0) return Kind::CrLf;
    return c.lf > 0 ? Kind::Lf : Kind::Cr;
}

Kind kindOf(const char* data, qint64 length) { return kindOf(count(data, length)); }

QString name(Kind kind) {
    switch (kind) {
    case Kind::Lf: return QStringLiteral("LF");
    case Kind::Cr: return QStringLiteral("CR");
    case Kind::Mixed: return QStringLiteral("mixed");
    case Kind::CrLf:
    case Kind::None: break;
    }
    return QStringLiteral("CR LF");
}

} // namespace lineends
