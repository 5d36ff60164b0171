#pragma once
// The encoding of new documents: Windows-1252 unless the user chose another. The choice is kept in
// the user's configuration folder (QStandardPaths::AppConfigLocation), in the file
// "default-encoding" holding the encoding's name; never in tspd.ini.
#include "io/Encoding.h"

#include <QString>

namespace io {

QString defaultEncodingPath();
// The chosen encoding; Windows-1252 when none was chosen or the file does not name one.
Encoding defaultEncoding();
// Keeps the choice; false with a reason when it could not be written.
bool setDefaultEncoding(Encoding encoding, QString* reason = nullptr);

} // namespace io
