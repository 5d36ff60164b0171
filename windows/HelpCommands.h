#pragma once
// The Help menu: the read-me and the product's web pages (platform/Product.h) through the
// desktop's launcher, and the About box.
#include <QString>
#include <QUrl>

class QWidget;

namespace helpcmd {

// The read-me, below the current directory at the moment of asking.
inline const QString kReadmePath = QStringLiteral("help/readme.htm");
// The installed read-me, below the data folders (share/), when the current directory has none.
inline const QString kInstalledReadmePath = QStringLiteral("tesselpad/help/readme.htm");

// The read-me of the current directory when it has one, else the installed one when there is
// one, else the current directory's (missing) read-me.
QString readmeFile();

// Each hands its page to the launcher and returns at once. When the read-me is missing or the
// launcher cannot be started a short message says what could not be opened; the editor carries on.
void Readme();
void Comments();
void Bugs();
void Web();
// Shows the About box modally; returns when it has been closed.
void About(QWidget* parent);

} // namespace helpcmd
