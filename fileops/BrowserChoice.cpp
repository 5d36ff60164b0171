#include "fileops/BrowserChoice.h"

#include "io/Preferences.h"
#include "io/SmallFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace fileops {
namespace {
// Desktop entries and mimeapps.list files are a few kilobytes; anything larger is not one.
constexpr qint64 kEntryLimit = 256 * 1024;

// Debian's own ways to the user's browser, tried in this order when the desktop names none.
const QStringList kFallbacks = {QStringLiteral("sensible-browser"), QStringLiteral("x-www-browser")};

QByteArray readSmall(const QString& path) {
    QByteArray text;
    if (!io::readSmallFile(QFile::encodeName(path), kEntryLimit + 1, text) || text.size() > kEntryLimit) return {};
    return text;
}

// The value of 'key' in '[group]' of a desktop-entry style file (also mimeapps.list), raw.
QString valueIn(const QByteArray& text, const QByteArray& group, const QByteArray& key) {
    bool inGroup = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inGroup = line == '[' + group + ']';
            continue;
        }
        if (!inGroup || line.startsWith('#')) continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == key) return QString::fromUtf8(line.mid(eq + 1).trimmed());
    }
    return {};
}

// The general escapes of a desktop entry's string values.
QString unescapeValue(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar c = value[++i];
        out += c == u's' ? QChar(u' ') : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c;
    }
    return out;
}

// Words of an Exec line: spaces separate them, double quotes group them, and inside quotes a
// backslash takes the next character as it is. False when a quote is left open.
bool execWords(const QString& line, QStringList& words) {
    QString word;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"') quoted = false;
            else if (c == u'\\' && i + 1 < line.size()) word += line[++i];
            else word += c;
        } else if (c == u'"') {
            quoted = inWord = true;
        } else if (c == u' ' || c == u'\t') {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return !quoted;
}
// Words of a command as a POSIX shell splits them, without expanding anything: blanks separate
// them, single quotes keep everything, double quotes keep all but \\, \", \$ and \`, and a
// backslash outside quotes keeps the next character. False when a quote is left open.
bool shellWords(const QString& line, QStringList& words) {
    QString word;
    bool inWord = false;
    QChar quote;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quote == u'\'') {
            if (c == u'\'') quote = QChar();
            else word += c;
        } else if (quote == u'"') {
            if (c == u'"') quote = QChar();
            else if (c == u'\\' && i + 1 < line.size() && QStringLiteral("\\\"$`").contains(line[i + 1])) word += line[++i];
            else word += c;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            inWord = true;
        } else if (c == u'\\' && i + 1 < line.size()) {
            word += line[++i];
            inWord = true;
        } else if (c == u' ' || c == u'\t') {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words << word;
    return quote.isNull();
}
} // namespace

BrowserLaunch commandFromExec(const QString& exec, const QString& file) {
    QStringList words;
    if (!execWords(unescapeValue(exec), words) || words.isEmpty()) return {};
    const QString url = QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded());
    bool placed = false;
    QStringList out;
    for (const QString& word : words) {
        // A field code that stands alone is the file itself, or nothing.
        if (word == QLatin1String("%f") || word == QLatin1String("%F") || word == QLatin1String("%u") || word == QLatin1String("%U")) {
            if (!placed) out << (word.at(1).toLower() == u'f' ? file : url);
            placed = true;
            continue;
        }
        QString expanded;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] != u'%' || i + 1 == word.size()) {
                expanded += word[i];
                continue;
            }
            const QChar code = word[++i];
            if (code == u'%') expanded += u'%';
            else if ((code == u'f' || code == u'F') && !placed) expanded += file, placed = true;
            else if ((code == u'u' || code == u'U') && !placed) expanded += url, placed = true;
            // %i, %c, %k and the deprecated codes: dropped.
        }
        if (!expanded.isEmpty() || !word.contains(u'%')) out << expanded;
    }
    if (out.isEmpty() || out.first().isEmpty()) return {};
    if (!placed) out << file;
    return {out.takeFirst(), out, {}};
}

QString execOfDesktopEntry(const QByteArray& text) {
    const QByteArray group = QByteArrayLiteral("Desktop Entry");
    if (valueIn(text, group, "Hidden") == QLatin1String("true")) return {};
    return valueIn(text, group, "Exec");
}

BrowserLaunch commandFromPreference(const QString& command, const QString& file) {
    QStringList words;
    if (!shellWords(command, words) || words.isEmpty() || words.first().isEmpty()) return {};
    bool placed = false;
    for (qsizetype i = 1; i < words.size(); ++i) {
        if (words[i] == QLatin1String("%s") || words[i] == QLatin1String("%f") || words[i] == QLatin1String("%u")) {
            words[i] = words[i] == QLatin1String("%u") ? QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded()) : file;
            placed = true;
        }
    }
    if (!placed) words << file;
    return {words.takeFirst(), words, {}};
}

bool isOwnEntry(const QString& desktopId, const QString& program) {
    const QString name = QFileInfo(program).fileName();
    return desktopId.startsWith(QLatin1String("tesselpad")) || name == QLatin1String("tesselpad") ||
           name == QLatin1String("tesselpad-launch");
}

BrowserLaunch chooseBrowser(const BrowserSources& s, const QString& file) {
    if (!s.preference.trimmed().isEmpty()) {
        BrowserLaunch launch = commandFromPreference(s.preference, file);
        if (launch.program.isEmpty())
            launch.missing = QCoreApplication::translate("BrowserChoice", "The browser command in %1 cannot be read: %2").arg(prefs::path(), s.preference);
        return launch;
    }
    if (!s.handlerEntry.isEmpty()) {
        BrowserLaunch launch = commandFromExec(execOfDesktopEntry(s.handlerEntry), file);
        if (!launch.program.isEmpty() && !isOwnEntry(s.handlerId, launch.program)) return launch;
    }
    if (!s.onPath.isEmpty()) return {s.onPath.first(), {file}, {}};
    BrowserLaunch none;
    none.missing = QCoreApplication::translate("BrowserChoice", "No web browser was found: the desktop names none for web addresses "
                                  "(x-scheme-handler/https), and Debian's sensible-browser and x-www-browser "
                                  "have none to start. Install a browser, or name one in %1 as a line "
                                  "browser=firefox under [editor].")
                       .arg(prefs::path());
    return none;
}

BrowserLaunch browserFor(const QString& file) {
    BrowserSources s;
    s.preference = prefs::readDesktop().browser;
    if (s.preference.isEmpty()) {
        // The mimeapps.list files, most particular first: the desktop's own, then the general one,
        // in the configuration folders, then (an older place) in the data folders.
        QStringList lists;
        const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
        for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
            for (const QString& d : desktops) lists << dir + u'/' + d + QStringLiteral("-mimeapps.list");
            lists << dir + QStringLiteral("/mimeapps.list");
        }
        const QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
        for (const QString& dir : dataDirs) lists << dir + QStringLiteral("/applications/mimeapps.list");
        for (const QByteArray& scheme : {QByteArrayLiteral("x-scheme-handler/https"), QByteArrayLiteral("x-scheme-handler/http")}) {
            for (const QString& list : lists) {
                const QString ids = valueIn(readSmall(list), "Default Applications", scheme);
                for (const QString& id : ids.split(u';', Qt::SkipEmptyParts)) {
                    if (isOwnEntry(id, {}) || id.contains(u'/')) continue;
                    for (const QString& dir : dataDirs) {
                        const QByteArray entry = readSmall(dir + QStringLiteral("/applications/") + id);
                        // An entry of a browser since removed is passed over.
                        const QString program = commandFromExec(execOfDesktopEntry(entry), file).program;
                        if (program.isEmpty() || QStandardPaths::findExecutable(program).isEmpty()) continue;
                        s.handlerId = id;
                        s.handlerEntry = entry;
                        break;
                    }
                    if (!s.handlerEntry.isEmpty()) break;
                }
                if (!s.handlerEntry.isEmpty()) break;
            }
            if (!s.handlerEntry.isEmpty()) break;
        }
        // sensible-browser is there on every Debian system, browser or not: it counts only when
        // it has one to start (the BROWSER variable or one of the alternatives it tries).
        const auto found = [](const char* name) { return !QStandardPaths::findExecutable(QLatin1String(name)).isEmpty(); };
        const bool debianHasOne = !qEnvironmentVariableIsEmpty("BROWSER") || found("x-www-browser") || found("gnome-www-browser");
        for (const QString& name : kFallbacks)
            if (!QStandardPaths::findExecutable(name).isEmpty() && (debianHasOne || name != kFallbacks.first())) s.onPath << name;
    }
    BrowserLaunch launch = chooseBrowser(s, file);
    if (!launch.program.isEmpty() && !launch.program.contains(u'/') && QStandardPaths::findExecutable(launch.program).isEmpty()) {
        launch.missing = QCoreApplication::translate("BrowserChoice", "The browser %1 is not installed (no such program on PATH).").arg(launch.program);
        launch.program.clear();
    }
    return launch;
}

} // namespace fileops
