#include "platform/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <vector>

// The compiled translations are a resource of this library (CMakeLists.txt); naming their
// initializer keeps the linker from dropping them from the program.
static void initTranslationResources() { Q_INIT_RESOURCE(translations); }

namespace tp {

namespace {

const QString kBuiltIn = QStringLiteral(":/i18n");

// Owned by the GUI thread; deleted before the application object by installTranslations(C).
std::vector<std::unique_ptr<QTranslator>>& installed() {
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

void removeAll() {
    for (const auto& t : installed()) QCoreApplication::removeTranslator(t.get());
    installed().clear();
}

// Loads 'prefix'_<language>.qm from 'folder' (the file for "de_DE", else for "de").
bool add(const QLocale& language, const QString& prefix, const QString& folder) {
    auto t = std::make_unique<QTranslator>();
    if (!t->load(language, prefix, QStringLiteral("_"), folder)) return false;
    QCoreApplication::installTranslator(t.get());
    installed().push_back(std::move(t));
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
