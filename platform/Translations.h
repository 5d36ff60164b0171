#pragma once
// The language the program speaks: its own texts (translations/tesselpad_<lang>.ts, built into the
// program) and Qt's for the standard dialogs (qtbase_<lang>.qm from the system's Qt translations),
// both in the user's first language, so that an Open dialog never mixes two. English is the
// language of the sources: a user whose first language is English (or the C locale) gets no
// translation at all, even with a translated language later in the list (LANGUAGE=en:de).
#include <QLocale>
#include <QStringList>

namespace tp {

// Installs the translators for 'locale' (QLocale::system() follows LANGUAGE, LC_ALL, LC_MESSAGES and
// LANG), replacing those of an earlier call: Qt's and the program's own for its first language.
// Returns the language of the program's texts ("de"), or an empty string when they stay English
// (Qt's dialogs may still be translated then). Call on the GUI thread, with the application
// object up.
QString installTranslations(const QLocale& locale = QLocale::system());

// The languages the program itself is translated into ("de", ...), from the built-in files.
QStringList shippedLanguages();

} // namespace tp
