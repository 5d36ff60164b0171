#include "platform/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <utility>

// The compiled translations are a resource of this library (CMakeLists.txt); naming their
// initializer keeps the linker from dropping them from the program.
static void initTranslationResources() { Q_INIT_RESOURCE(translations); }

namespace tp {

namespace {

const QString kBuiltIn = QStringLiteral(":/i18n");

// The translators in force, children of the application object (which deletes them with itself,
// never later). Used on the GUI thread only.
QList<QPointer<QTranslator>>& installed() {
    static QList<QPointer<QTranslator>> translators;
    return translators;
}

void removeAll() {
    for (const QPointer<QTranslator>& t : std::as_const(installed())) {
        if (!t) continue;
        QCoreApplication::removeTranslator(t);
        delete t.data();
    }
    installed().clear();
}

// Loads 'prefix'_<language>.qm from 'folder' (the file for "de_DE", else for "de").
bool add(const QLocale& language, const QString& prefix, const QString& folder) {
    auto* t = new QTranslator(QCoreApplication::instance());
    if (!t->load(language, prefix, QStringLiteral("_"), folder)) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    installed() << t;
    return true;
}

} // namespace

QStringList shippedLanguages() {
    static const bool initialised = (initTranslationResources(), true);
    Q_UNUSED(initialised);
    QStringList languages;
    for (const QString& file : QDir(kBuiltIn).entryList({QStringLiteral("tesselpad_*.qm")}, QDir::Files, QDir::Name))
        languages << file.mid(10, file.size() - 13);
    return languages;
}

QString installTranslations(const QLocale& locale) {
    removeAll();
    // The first language the user asks for decides alone: one that is English, C or unknown leaves
    // the program in English, and the standard dialogs with it.
    const QStringList wanted = locale.uiLanguages();
    if (wanted.isEmpty()) return QString();
    const QLocale first(wanted.first());
    if (first.language() == QLocale::C || first.language() == QLocale::English ||
        first.language() == QLocale::AnyLanguage)
        return QString();
    shippedLanguages();   // the resources, before the first load from them
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Qt's own first: the program's texts are looked up in the translators installed last first.
    add(first, QStringLiteral("qtbase"), qtFolder);
    add(first, QStringLiteral("qscintilla"), qtFolder);
    if (!add(first, QStringLiteral("tesselpad"), kBuiltIn)) return QString();
    return QLocale::languageToCode(first.language());
}

} // namespace tp
