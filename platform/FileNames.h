#pragma once
// File names are the bytes the system keeps. The program holds them as text and turns the text
// back into bytes (QFile::encodeName) for every file operation; a name that is not UTF-8 does not
// survive that trip (each stray byte becomes U+FFFD), and its text would then name another file,
// a namesake spelled with U+FFFD. So every name that comes in as bytes (the command line, a
// launch's hand-over, a folder's listing, the list of recent files) passes exactName() first, and
// a name it cannot keep is reported by shownName(), never opened.
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tp {

// The name as text, when the text gives back these very bytes; nothing otherwise.
std::optional<QString> exactName(QByteArrayView name);

// The name for a message: its UTF-8 text, with every byte that is not part of it written \xHH.
QString shownName(QByteArrayView name);

} // namespace tp
