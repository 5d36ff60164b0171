#pragma once
// Writing a file whole or not at all: the bytes go to a temporary file in the same folder, are
// flushed to disk and then renamed over the old file, which keeps its permissions. A symbolic link
// is followed, so the file it points to is replaced and the link stays.
#include <QByteArrayView>
#include <QString>
#include <functional>

namespace fileops {

struct WriteResult {
    bool ok = false;
    QString reason;   // why it failed, for the user
};

// Receives the file's bytes piece by piece; false stops the write.
using Sink = std::function<bool(const char* data, qint64 length)>;
// Produces the whole content through the sink; returns false (with a reason) to abandon the write.
using Producer = std::function<bool(const Sink& sink, QString& reason)>;

// allowInPlace: when the folder cannot take a temporary file but the file itself can be written,
// write the file in place (not atomic, but the only way to save there).
WriteResult writeAtomically(const QString& path, const Producer& produce, bool allowInPlace);
WriteResult writeAtomically(const QString& path, QByteArrayView bytes, bool allowInPlace);

// Test seam: when set, called before every write(2) of the given size; returning an errno value
// other than 0 makes that write fail with it (a full disk, an I/O error).
void setWriteFaultInjector(std::function<int(qint64 length)> injector);

} // namespace fileops
