#include "documents/LineEnds.h"

#include "platform/RichTextBox.h"

#include <cstring>

#include <QCoreApplication>

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

Kind mostFrequent(const Counts& c) {
    if (c.crlf == 0 && c.lf == 0 && c.cr == 0) return Kind::None;
    if (c.crlf >= c.lf && c.crlf >= c.cr) return Kind::CrLf;
    return c.lf >= c.cr ? Kind::Lf : Kind::Cr;
}

QByteArrayView bytes(Kind kind) {
    switch (kind) {
    case Kind::Lf: return QByteArrayView("\n", 1);
    case Kind::Cr: return QByteArrayView("\r", 1);
    default: return QByteArrayView("\r\n", 2);
    }
}

QByteArray converted(QByteArrayView text, Kind to) {
    const QByteArrayView end = bytes(to);
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    const char* p = text.data();
    const char* const stop = p + text.size();
    while (p < stop) {
        // The next CR or LF, found with memchr for each: text of one kind is passed over once.
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(stop - p)));
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', size_t((lf ? lf : stop) - p)));
        const char* eol = cr ? cr : lf;
        if (!eol) {
            out.append(p, stop - p);
            break;
        }
        out.append(p, eol - p);
        out.append(end.data(), end.size());
        p = eol + (*eol == '\r' && eol + 1 < stop && eol[1] == '\n' ? 2 : 1);
    }
    return out;
}

QString converted(const QString& text, Kind to) {
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) return text;
    const QString end = QString::fromLatin1(bytes(to));
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype n = text.size();
    qsizetype from = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        out.append(QStringView(text).sliced(from, i - from));
        out.append(end);
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
        from = i + 1;
    }
    out.append(QStringView(text).sliced(from));
    return out;
}

Kind enterKind(const RichTextBox& rtb) {
    switch (rtb.SendScintilla(QsciScintillaBase::SCI_GETEOLMODE)) {
    case QsciScintillaBase::SC_EOL_LF: return Kind::Lf;
    case QsciScintillaBase::SC_EOL_CR: return Kind::Cr;
    default: return Kind::CrLf;
    }
}

void setEnterKind(RichTextBox& rtb, Kind kind) {
    const int mode = kind == Kind::Lf   ? QsciScintillaBase::SC_EOL_LF
                     : kind == Kind::Cr ? QsciScintillaBase::SC_EOL_CR
                                        : QsciScintillaBase::SC_EOL_CRLF;
    rtb.SendScintilla(QsciScintillaBase::SCI_SETEOLMODE, mode);
}

QString name(Kind kind) {
    switch (kind) {
    case Kind::Lf: return QStringLiteral("LF");
    case Kind::Cr: return QStringLiteral("CR");
    case Kind::Mixed: return QCoreApplication::translate("LineEnds", "mixed");
    case Kind::CrLf:
    case Kind::None: break;
    }
    return QStringLiteral("CR LF");
}

} // namespace lineends
