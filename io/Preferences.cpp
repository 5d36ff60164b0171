#include "io/Preferences.h"

#include "io/AtomicFile.h"
#include "io/SmallFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace prefs {
namespace {
// The file holds a few short lines; anything larger is not ours and gives the defaults.
constexpr qint64 kReadLimit = 64 * 1024;

const QByteArray kGroup = QByteArrayLiteral("editor");
const QByteArray kTabWidth = QByteArrayLiteral("tabWidth");
const QByteArray kSpaces = QByteArrayLiteral("indentWithSpaces");
const QByteArray kZoom = QByteArrayLiteral("zoom");
const QByteArray kFinalLineEnd = QByteArrayLiteral("finalLineEnd");
const QByteArray kFoldMargin = QByteArrayLiteral("foldMargin");
const QByteArray kCloseTags = QByteArrayLiteral("closeTags");
const QByteArray kTabbedDocuments = QByteArrayLiteral("tabbedDocuments");
const QByteArray kPairBrackets = QByteArrayLiteral("pairBrackets");
const QByteArray kAbbreviationsOnTab = QByteArrayLiteral("abbreviationsOnTab");
const QByteArray kCompleteAsYouType = QByteArrayLiteral("completeAsYouType");
const QByteArray kCheckMarkup = QByteArrayLiteral("checkMarkup");
const QByteArray kCheckAllReports = QByteArrayLiteral("checkAllReports");
const QByteArray kSpelling = QByteArrayLiteral("spelling");
const QByteArray kSpellCode = QByteArrayLiteral("spellCode");
const QByteArray kSpellingLanguage = QByteArrayLiteral("spellingLanguage");
const QByteArray kReopenSession = QByteArrayLiteral("reopenSession");
const QByteArray kBrowser = QByteArrayLiteral("browser");
const QByteArray kDesktopRecent = QByteArrayLiteral("desktopRecent");

// One "key=value" line of the file, under its "[group]".
struct Entry {
    QByteArray group;
    QByteArray key;
    QByteArray value;   // as written, so that entries this version does not know are kept as they were
};

// The entries of an INI file as QSettings writes it: "[group]" lines, "key=value" lines, blanks
// around both dropped, lines starting with ';' or '#' and lines without '=' skipped.
QList<Entry> parse(const QByteArray& text) {
    QList<Entry> entries;
    QByteArray group;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            group = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0) continue;
        entries.append({group, line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return entries;
}

// The entries of the file; empty when it is missing, is not a regular file or is too large.
QList<Entry> readEntries() {
    QByteArray text;
    // Never waits: a pipe or a device under the name reads as no file (io/SmallFile.h).
    if (!io::readSmallFile(QFile::encodeName(path()), kReadLimit + 1, text) || text.size() > kReadLimit) return {};
    return parse(text);
}

// A value of ours, without the quotes QSettings may put around it.
QByteArray valueOf(const QList<Entry>& entries, const QByteArray& key) {
    for (const Entry& e : entries) {
        if (e.group != kGroup || e.key != key) continue;
        const QByteArray& v = e.value;
        return v.size() >= 2 && v.startsWith('"') && v.endsWith('"') ? v.mid(1, v.size() - 2) : v;
    }
    return {};
}

// An integer value, or 'fallback' when the entry is missing or not a whole number.
int intValue(const QList<Entry>& entries, const QByteArray& key, int fallback) {
    bool ok = false;
    const int v = valueOf(entries, key).toInt(&ok);
    return ok ? v : fallback;
}

void set(QList<Entry>& entries, const QByteArray& key, const QByteArray& value) {
    for (Entry& e : entries) {
        if (e.group == kGroup && e.key == key) {
            e.value = value;
            return;
        }
    }
    entries.append({kGroup, key, value});
}

// The file's text: entries of one group together, in the order their groups first came.
QByteArray textOf(const QList<Entry>& entries) {
    QList<QByteArray> groups;
    for (const Entry& e : entries)
        if (!groups.contains(e.group)) groups.append(e.group);
    QByteArray text;
    for (const QByteArray& group : groups) {
        if (!text.isEmpty()) text += '\n';
        if (!group.isEmpty()) text += '[' + group + "]\n";
        for (const Entry& e : entries)
            if (e.group == group) text += e.key + '=' + e.value + '\n';
    }
    return text;
}
} // namespace

bool validTabWidth(int width) { return width == 2 || width == 4 || width == 8; }

QString path() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/editor.conf");
}

Editor read() {
    Editor e;
    const QList<Entry> entries = readEntries();
    const int width = intValue(entries, kTabWidth, e.tabWidth);
    if (validTabWidth(width)) e.tabWidth = width;
    const QByteArray spaces = valueOf(entries, kSpaces).toLower();
    if (spaces == "true" || spaces == "1") e.indentWithSpaces = true;
    const QByteArray tabbed = valueOf(entries, kTabbedDocuments).toLower();
    if (tabbed == "true" || tabbed == "1") e.tabbedDocuments = true;
    const QByteArray session = valueOf(entries, kReopenSession).toLower();
    if (session == "true" || session == "1") e.reopenSession = true;
    // Switches that are on unless the file turns them off.
    for (const auto& [key, on] : {std::pair{kFinalLineEnd, &e.finalLineEnd}, std::pair{kFoldMargin, &e.foldMargin},
                                  std::pair{kCloseTags, &e.closeTags},
                                  std::pair{kPairBrackets, &e.pairBrackets},
                                  std::pair{kAbbreviationsOnTab, &e.abbreviationsOnTab},
                                  std::pair{kCompleteAsYouType, &e.completeAsYouType},
                                  std::pair{kCheckMarkup, &e.checkMarkup},
                                  std::pair{kSpelling, &e.spelling}}) {
        const QByteArray v = valueOf(entries, key).toLower();
        if (v == "false" || v == "0") *on = false;
    }
    const QByteArray all = valueOf(entries, kCheckAllReports).toLower();
    if (all == "true" || all == "1") e.checkAllReports = true;
    const QByteArray code = valueOf(entries, kSpellCode).toLower();
    if (code == "true" || code == "1") e.spellCode = true;
    // A dictionary's name ("en_US", "de_DE_frami", "sr-Latn"): anything else is no choice.
    const QByteArray language = valueOf(entries, kSpellingLanguage);
    if (language.size() <= 32 && std::all_of(language.begin(), language.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        }))
        e.spellingLanguage = QString::fromLatin1(language);
    const int zoom = intValue(entries, kZoom, e.zoom);
    if (zoom >= kZoomMin && zoom <= kZoomMax) e.zoom = zoom;
    return e;
}

Desktop readDesktop() {
    Desktop d;
    const QList<Entry> entries = readEntries();
    d.browser = QString::fromUtf8(valueOf(entries, kBrowser)).trimmed();
    const QByteArray recent = valueOf(entries, kDesktopRecent).toLower();
    if (recent == "false" || recent == "0") d.recentList = false;
    return d;
}

bool write(const Editor& editor) {
    if (!QDir().mkpath(QFileInfo(path()).absolutePath())) return false;
    // Entries this version does not know are kept.
    QList<Entry> entries = readEntries();
    set(entries, kTabWidth, QByteArray::number(editor.tabWidth));
    set(entries, kSpaces, editor.indentWithSpaces ? "true" : "false");
    set(entries, kZoom, QByteArray::number(std::clamp(editor.zoom, kZoomMin, kZoomMax)));
    set(entries, kFinalLineEnd, editor.finalLineEnd ? "true" : "false");
    set(entries, kFoldMargin, editor.foldMargin ? "true" : "false");
    set(entries, kCloseTags, editor.closeTags ? "true" : "false");
    set(entries, kPairBrackets, editor.pairBrackets ? "true" : "false");
    set(entries, kAbbreviationsOnTab, editor.abbreviationsOnTab ? "true" : "false");
    set(entries, kCompleteAsYouType, editor.completeAsYouType ? "true" : "false");
    set(entries, kTabbedDocuments, editor.tabbedDocuments ? "true" : "false");
    set(entries, kCheckMarkup, editor.checkMarkup ? "true" : "false");
    set(entries, kCheckAllReports, editor.checkAllReports ? "true" : "false");
    set(entries, kSpelling, editor.spelling ? "true" : "false");
    set(entries, kSpellCode, editor.spellCode ? "true" : "false");
    set(entries, kSpellingLanguage, editor.spellingLanguage.toLatin1());
    set(entries, kReopenSession, editor.reopenSession ? "true" : "false");
    // Replaced whole by a rename: a pipe or a folder under the name is refused, never written into.
    return io::writeAtomically(path(), textOf(entries), /*allowInPlace=*/false).ok;
}

} // namespace prefs
