#pragma once
// The product: its name, version, author, web pages and contact address, for every place that
// shows them (title bars, the splash screen, the About box, the Help menu, --help and --version).
// The build reads the version from here too (CMakeLists.txt, the manual pages); a test holds the
// read-me (help/readme.htm) to them, and the packaging test holds the Debian package's version
// (debian/changelog) and maintainer address (debian/control) to what --version and --help print.
#include <QString>

namespace product {

inline const QString kName = QStringLiteral("Tesselpad");
// The desktop entry's name (tesselpad.desktop) and the package's.
inline const QString kDesktopName = QStringLiteral("tesselpad");

// The version: major.minor is what the program shows; the package adds the patch level.
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionPatch = 0;
inline QString shownVersion() { return QStringLiteral("%1.%2").arg(kVersionMajor).arg(kVersionMinor); }

inline const QString kAuthor = QStringLiteral("Tessa Lindqvist");
inline const QString kHomePage = QStringLiteral("http://www.tesselpad.example/");
inline const QString kFeedbackPage = QStringLiteral("http://www.tesselpad.example/feedback.htm");
inline const QString kContactEmail = QStringLiteral("tspd@tesselpad.example");

} // namespace product
