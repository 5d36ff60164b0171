#include "io/SessionFile.h"

#include "io/AtomicFile.h"
#include "io/JournalStore.h"
#include "io/SmallFile.h"
#include "platform/FileNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace io {
namespace {

const QByteArray kHeader = QByteArrayLiteral("TESSELPAD SESSION 1");

// A whole number of at least 0, or nothing.
std::optional<qint64> count(const QByteArray& field) {
    bool ok = false;
    const qint64 n = field.toLongLong(&ok);
    if (!ok || n < 0) return std::nullopt;
    return n;
}

std::optional<SessionDocument> parseDocument(const QList<QByteArray>& fields) {
    if (fields.size() < 7) return std::nullopt;
    SessionDocument d;
    // The name passes the same test as every name that comes in as bytes: one that the text
    // cannot give back exactly would open its namesake.
    const std::optional<QString> path = tp::exactName(QByteArray::fromPercentEncoding(fields[1]));
    const std::optional<qint64> caret = count(fields[2]);
    const std::optional<qint64> firstLine = count(fields[3]);
    if (!path || !QDir::isAbsolutePath(*path) || !caret || !firstLine) return std::nullopt;
    d.path = *path;
    d.caret = *caret;
    d.firstLine = *firstLine;
    d.encoding = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[4]));
    d.colouring = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[5]));
    if (fields[6] != "-") {
        for (const QByteArray& line : fields[6].split(',')) {
            const std::optional<qint64> n = count(line);
            if (!n) return std::nullopt;
            d.folded << *n;
        }
        std::sort(d.folded.begin(), d.folded.end());
    }
    return d;
}

} // namespace

QString sessionPath() { return QFileInfo(JournalStore::defaultFolder()).path() + QStringLiteral("/session"); }

QByteArray sessionText(const Session& session) {
    QByteArray text = kHeader + '\n';
    for (const SessionDocument& d : session.documents) {
        QByteArray folded;
        for (qint64 line : d.folded) folded += (folded.isEmpty() ? "" : ",") + QByteArray::number(line);
        text += "file\t" + QFile::encodeName(d.path).toPercentEncoding("/") + '\t' + QByteArray::number(d.caret) + '\t' +
                QByteArray::number(d.firstLine) + '\t' + d.encoding.toUtf8().toPercentEncoding(" ") + '\t' +
                d.colouring.toUtf8().toPercentEncoding() + '\t' + (folded.isEmpty() ? QByteArray("-") : folded) +
                '\n';
    }
    if (session.active >= 0) text += "active\t" + QByteArray::number(session.active) + '\n';
    return text;
}

std::optional<Session> parseSession(const QByteArray& text, QString& reason) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.first() != kHeader) {
        reason = QCoreApplication::translate("Session", "It is not a list of documents of this program.");
        return std::nullopt;
    }
    Session s;
    int active = -1;
    for (const QByteArray& line : lines.mid(1)) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.first() == "file" && s.documents.size() < kSessionDocuments) {
            if (std::optional<SessionDocument> d = parseDocument(fields)) s.documents << *d;
        } else if (fields.first() == "active" && fields.size() >= 2) {
            active = int(count(fields[1]).value_or(-1));
        }
    }
    s.active = active < s.documents.size() ? active : -1;
    return s;
}

SessionRead readSession(const QString& path) {
    SessionRead r;
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 && errno == ENOENT) return r;
    r.status = SessionRead::Status::Refused;
    QByteArray text;
    // Never waits: a pipe or a device under the name is refused unread (io/SmallFile.h).
    if (!readSmallFile(name, kSessionFileLimit + 1, text)) {
        r.reason = QCoreApplication::translate("Session", "It is not a file that can be read.");
    } else if (text.size() > kSessionFileLimit) {
        r.reason = QCoreApplication::translate("Session", "It is larger than %1 MB.").arg(kSessionFileLimit >> 20);
    } else if (std::optional<Session> s = parseSession(text, r.reason)) {
        r.status = SessionRead::Status::Read;
        r.session = std::move(*s);
    }
    return r;
}

bool writeSession(const Session& session, QString& reason, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        reason = QCoreApplication::translate("Session", "Its folder cannot be made.");
        return false;
    }
    // Replaced whole by a rename: a pipe or a folder under the name is refused, never written into.
    const WriteResult written = writeAtomically(path, sessionText(session), /*allowInPlace=*/false);
    reason = written.reason;
    return written.ok;
}

} // namespace io
