#include "documents/FileTypes.h"

#include <algorithm>

#include <QCoreApplication>

namespace filetypes {
namespace {

constexpr FileType kTable[] = {
    {QT_TRANSLATE_NOOP("FileTypes", "HTML Documents (*.htm; *.html) "), " *.htm;*.html", syntax::Kind::Html},
    {QT_TRANSLATE_NOOP("FileTypes", "Server-Side Includes (*.stm; *.shtm; *.shtml)"), " *.stm; *.shtm; *.shtml", syntax::Kind::Html},
    {QT_TRANSLATE_NOOP("FileTypes", "XML Files (*.xml)"), " *.xml", syntax::Kind::Xml},
    {QT_TRANSLATE_NOOP("FileTypes", "Java Files (*.jav; *.java)"), " *.jav;*.java", syntax::Kind::Java},
    {QT_TRANSLATE_NOOP("FileTypes", "Style Sheets (*.css)"), " *.css", syntax::Kind::Css},
    {QT_TRANSLATE_NOOP("FileTypes", "Active Server Pages (*.asp)"), " *.asp", syntax::Kind::Html},
    {QT_TRANSLATE_NOOP("FileTypes", "Cold Fusion Templates (*.cfm; *.cfml)"), " *.cfm; *.cfml", syntax::Kind::Html},
    {QT_TRANSLATE_NOOP("FileTypes", "Text Files (*.txt)"), " *.txt", syntax::Kind::Plain},
    {QT_TRANSLATE_NOOP("FileTypes", "PHP Files (*.php)"), " *.php", syntax::Kind::Php},
};

// Every kind, then every file.
QString kindsAndAllFiles() {
    QString filter;
    for (const FileType& type : kTable)
        filter += QCoreApplication::translate("FileTypes", type.description) + QLatin1Char('|') + QLatin1String(type.patterns) + QLatin1Char('|');
    return filter + QCoreApplication::translate("FileTypes", "All files (*.*) | *.*");
}

} // namespace

std::span<const FileType> table() { return kTable; }

QStringList extensions(const FileType& type) {
    QStringList result;
    for (const QString& pattern : QString::fromLatin1(type.patterns).split(QLatin1Char(';'))) {
        const QString p = pattern.trimmed();
        if (p.startsWith(QLatin1String("*."))) result << p.mid(2).toLower();
    }
    return result;
}

QString openFilter() {
    // Each kind's extensions in alphabetical order, the kinds in the table's order.
    QStringList all;
    for (const FileType& type : kTable) {
        QStringList own = extensions(type);
        std::sort(own.begin(), own.end());
        for (const QString& ext : own) all << QStringLiteral("*.") + ext;
    }
    return QCoreApplication::translate("FileTypes", "All Documents | ") + all.join(QLatin1Char(';')) + QLatin1Char('|') + kindsAndAllFiles();
}

QString saveFilter() { return kindsAndAllFiles(); }

} // namespace filetypes
