#pragma once
// Reading a small file (a settings file, a system file) without ever blocking: a pipe, a device
// or a folder that took the file's name is refused, and a file that has nothing more to give
// for now counts as ended.
#include <QByteArray>

namespace io {

// Reads up to 'limit' bytes of the regular file 'path'. False when it cannot be opened or is
// not a regular file.
bool readSmallFile(const QByteArray& path, qint64 limit, QByteArray& out);

// Reads up to 'want' bytes from the file into 'buf'; fewer only at its end or when reading would
// block (a file opened with O_NONBLOCK that has nothing more for now). -1 with errno on an error.
qint64 readAvailable(int fd, char* buf, qint64 want);

} // namespace io
