#include "io/DesktopRecent.h"

#include "io/AtomicFile.h"
#include "io/Preferences.h"
#include "io/SmallFile.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>

namespace io {
namespace {
// Busy desktops keep a few megabytes of recent files; a larger file is not touched.
constexpr qint64 kReadLimit = 16 * 1024 * 1024;
// Files added at once, at most: the newest.
constexpr qsizetype kBatch = 50;

const QString kApp = QStringLiteral("Tesselpad");
const QString kBookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

QString attr(const QString& value) { return value.toHtmlEscaped(); }

QString stamp(const QDateTime& when) { return when.toUTC().toString(Qt::ISODateWithMs); }

QString applicationElement(const QString& time, int count) {
    return QStringLiteral("<bookmark:application name=\"%1\" exec=\"&apos;tesselpad %u&apos;\" modified=\"%2\" count=\"%3\"/>")
        .arg(kApp, time, QString::number(count));
}

QString bookmarkStartTag(const QString& href, const QString& added, const QString& time) {
    return QStringLiteral("<bookmark href=\"%1\" added=\"%2\" modified=\"%3\" visited=\"%3\">").arg(attr(href), attr(added), time);
}

QString newBookmark(const QString& href, const QString& added, const QString& mime, const QString& time) {
    return QStringLiteral("  ") + bookmarkStartTag(href, added, time) +
           QStringLiteral("\n    <info>\n      <metadata owner=\"http://freedesktop.org\">\n"
                          "        <mime:mime-type type=\"%1\"/>\n        <bookmark:applications>\n          ")
               .arg(attr(mime)) +
           applicationElement(time, 1) +
           QStringLiteral("\n        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n");
}

// Where the file's bookmark and this program's entry in it are, as offsets into the text.
struct Places {
    qint64 xbelEnd = -1;          // where "</xbel>" starts
    qint64 bookmark = -1;         // where the file's <bookmark> starts
    qint64 bookmarkTagEnd = -1;   // and its start tag ends
    qint64 bookmarkEnd = -1;      // and its element ends
    QString added;
    qint64 app = -1, appEnd = -1;   // this program's <bookmark:application>
    int count = 0;
    qint64 appsEnd = -1;          // where "</bookmark:applications>" starts
};

// False when the text is not a bookmark file whose prefixes are the usual ones.
bool locate(const QString& text, const QString& href, Places& at) {
    QXmlStreamReader r(text);
    int depth = 0;
    bool inOurs = false;
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType token = r.readNext();
        // The reader's offset is where a tag ends; it starts at the '<' before (a tag holds no
        // other: attribute values have theirs escaped).
        const qint64 prev = r.characterOffset();
        const qint64 start = text.lastIndexOf(u'<', prev - 1);
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QString name = r.qualifiedName().toString();
            if (depth == 1) {
                if (name != QLatin1String("xbel")) return false;
                bool bookmarkNs = false, mimeNs = false;
                for (const QXmlStreamNamespaceDeclaration& d : r.namespaceDeclarations()) {
                    bookmarkNs |= d.prefix() == QLatin1String("bookmark") && d.namespaceUri() == kBookmarkNs;
                    mimeNs |= d.prefix() == QLatin1String("mime") && d.namespaceUri() == kMimeNs;
                }
                if (!bookmarkNs || !mimeNs) return false;
            } else if (depth == 2 && name == QLatin1String("bookmark") && at.bookmark < 0 &&
                       r.attributes().value(QLatin1String("href")) == href) {
                inOurs = true;
                at.bookmark = start;
                at.bookmarkTagEnd = prev;
                at.added = r.attributes().value(QLatin1String("added")).toString();
            } else if (inOurs && name == QLatin1String("bookmark:application") && at.app < 0 &&
                       r.attributes().value(QLatin1String("name")) == kApp) {
                at.app = start;
                at.count = r.attributes().value(QLatin1String("count")).toInt();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QString name = r.qualifiedName().toString();
            if (inOurs && name == QLatin1String("bookmark:application") && at.app >= 0 && at.appEnd < 0) at.appEnd = prev;
            if (inOurs && name == QLatin1String("bookmark:applications") && at.appsEnd < 0) at.appsEnd = start;
            if (inOurs && depth == 2) {
                at.bookmarkEnd = prev;
                inOurs = false;
            }
            if (depth == 1) at.xbelEnd = start;
            --depth;
        }
    }
    return !r.hasError() && at.xbelEnd >= 0;
}
} // namespace

QString desktopRecentPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/recently-used.xbel");
}

QByteArray withDesktopRecent(const QByteArray& old, const QString& file, const QString& mimeType, const QDateTime& now) {
    const QString href = QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded());
    const QString time = stamp(now);
    if (old.isEmpty()) {
        return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"\n"
                               "      xmlns:bookmark=\"%1\"\n      xmlns:mime=\"%2\"\n>\n")
                    .arg(kBookmarkNs, kMimeNs) +
                newBookmark(href, time, mimeType, time) + QStringLiteral("</xbel>\n"))
            .toUtf8();
    }
    // The file is UTF-8; anything else is not touched.
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(old);
    if (decode.hasError()) return {};
    Places at;
    if (!locate(text, href, at)) return {};
    if (at.bookmark < 0) {
        text.insert(at.xbelEnd, newBookmark(href, time, mimeType, time));
    } else if (at.appsEnd < 0 || at.bookmarkEnd < 0) {
        // A bookmark without a list of applications: made anew, its first date kept.
        text.replace(at.bookmark, at.bookmarkEnd - at.bookmark,
                     newBookmark(href, at.added.isEmpty() ? time : at.added, mimeType, time).trimmed());
    } else {
        // Later places first, so that the earlier offsets stay true.
        if (at.app >= 0 && at.appEnd > at.app) text.replace(at.app, at.appEnd - at.app, applicationElement(time, at.count + 1));
        else text.insert(at.appsEnd, QStringLiteral("  ") + applicationElement(time, 1) + QStringLiteral("\n        "));
        text.replace(at.bookmark, at.bookmarkTagEnd - at.bookmark, bookmarkStartTag(href, at.added.isEmpty() ? time : at.added, time));
    }
    return text.toUtf8();
}

bool addToDesktopRecent(const QString& file) { return addToDesktopRecent(QStringList{file}); }

void addToDesktopRecentSoon(const QString& file) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        addToDesktopRecent(file);
        return;
    }
    static QStringList pending;   // the GUI thread's
    const bool first = pending.isEmpty();
    pending.removeAll(file);
    pending.append(file);
    if (!first) return;
    QTimer::singleShot(0, app, [] {
        const QStringList files = pending.mid(std::max<qsizetype>(0, pending.size() - kBatch));
        pending.clear();
        addToDesktopRecent(files);
    });
}

bool addToDesktopRecent(const QStringList& files) {
    if (!prefs::readDesktop().recentList) return false;
    const QString path = desktopRecentPath();
    QByteArray old;
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        // A pipe, a device or a folder under the name is never waited on nor replaced.
        if (!readSmallFile(QFile::encodeName(path), kReadLimit + 1, old) || old.size() > kReadLimit || old.isEmpty())
            return false;
    }
    const QMimeDatabase mimes;
    const QDateTime now = tp::sys().now();
    QByteArray text = old;
    for (const QString& file : files) {
        if (!QDir::isAbsolutePath(file)) continue;
        // By the name only: the file itself is not read again for this.
        const QString mime = mimes.mimeTypeForFile(file, QMimeDatabase::MatchExtension).name();
        text = withDesktopRecent(text, file, mime, now);
        if (text.isEmpty()) return false;
    }
    if (text == old || !QDir().mkpath(info.absolutePath())) return false;
    return writeAtomically(path, text, /*allowInPlace=*/false).ok;
}

} // namespace io
