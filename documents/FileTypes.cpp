#include "documents/FileTypes.h"

#include <algorithm>

namespace filetypes {
namespace {

constexpr FileType kTable[] = {
    {"HTML Documents (*.htm; *.html) ", " *.htm;*.html", syntax::Kind::Html},
    {"Server-Side Includes (*.stm; *.shtm; *.shtml)", " *.stm; *.shtm; *.shtml", syntax::Kind::Html},
    {"XML Files (*.xml)", " *.xml", syntax::Kind::Xml},
    {"Java Files (*.jav; *.java)", " *.jav;*.java", syntax::Kind::Java},
    {"Style Sheets (*.css)", " *.css", syntax::Kind::Css},
    {"Active Server Pages (*.asp)", " *.asp", syntax::Kind::Html},
    {"Cold Fusion Templates (*.cfm; *.cfml)", " *.cfm; *.cfml", syntax::Kind::Html},
    {"Text Files (*.txt)", " *.txt", syntax::Kind::Plain},
    {"PHP Files (*.php)", " *.php", syntax::Kind::Php},
};

// Every kind, then every file.
QString kindsAndAllFiles() {
    QString filter;
    for (const FileType& type : kTable)
        filter += QLatin1String(type.description) + QLatin1Char('|') + QLatin1String(type.patterns) + QLatin1Char('|');
    return filter + QStringLiteral("All files (*.*) | *.*");
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
    return QStringLiteral("All Documents | ") + all.join(QLatin1Char(';')) + QLatin1Char('|') + kindsAndAllFiles();
}

QString saveFilter() { return kindsAndAllFiles(); }

} // namespace filetypes
