#include "io/Preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace prefs {
namespace {
const QString kTabWidth = QStringLiteral("editor/tabWidth");
const QString kSpaces = QStringLiteral("editor/indentWithSpaces");
const QString kZoom = QStringLiteral("editor/zoom");
const QString kFinalLineEnd = QStringLiteral("editor/finalLineEnd");

// An integer value, or 'fallback' when the entry is missing or not a whole number.
int intValue(const QSettings& s, const QString& key, int fallback) {
    bool ok = false;
    const int v = s.value(key).toString().trimmed().toInt(&ok);
    return ok ? v : fallback;
}
} // namespace

bool validTabWidth(int width) { return width == 2 || width == 4 || width == 8; }

QString path() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/editor.conf");
}

Editor read() {
    Editor e;
    const QSettings s(path(), QSettings::IniFormat);
    if (s.status() != QSettings::NoError) return e;
    const int width = intValue(s, kTabWidth, e.tabWidth);
    if (validTabWidth(width)) e.tabWidth = width;
    const QString spaces = s.value(kSpaces).toString().trimmed().toLower();
    if (spaces == QLatin1String("true") || spaces == QLatin1String("1")) e.indentWithSpaces = true;
    const QString finalLineEnd = s.value(kFinalLineEnd).toString().trimmed().toLower();
    if (finalLineEnd == QLatin1String("false") || finalLineEnd == QLatin1String("0")) e.finalLineEnd = false;
    const int zoom = intValue(s, kZoom, e.zoom);
    if (zoom >= kZoomMin && zoom <= kZoomMax) e.zoom = zoom;
    return e;
}

bool write(const Editor& editor) {
    if (!QDir().mkpath(QFileInfo(path()).absolutePath())) return false;
    QSettings s(path(), QSettings::IniFormat);
    s.setValue(kTabWidth, editor.tabWidth);
    s.setValue(kSpaces, editor.indentWithSpaces);
    s.setValue(kZoom, std::clamp(editor.zoom, kZoomMin, kZoomMax));
    s.setValue(kFinalLineEnd, editor.finalLineEnd);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace prefs
