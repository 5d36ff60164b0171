#pragma once
// Writing a file whole or not at all, keeping what it is.
//
// The normal way: the bytes go to a temporary file in the same folder (unnamed where the file
// system allows), which takes the old file's owner, permissions, access control list and extended
// attributes, is flushed to disk and then renamed over the old file. A symbolic link is followed,
// so the file it points to is replaced and the link stays.
//
// The safe in-place way, where the rename would not keep the file what it is or cannot be done
// (other hard links, an owner this user cannot give, a folder that takes no new file, a rename
// the system refuses): the old content is first copied to the user's state folder and flushed
// (see io/SavedCopy.h), then the file is overwritten, cut to length and flushed, and the copy is
// removed. A failure puts the old bytes back from the copy; if even that fails the message names
// the copy. Without a copy the file is not overwritten.
#include "io/WriteSteps.h"

#include <QByteArrayView>
#include <QString>
#include <functional>

namespace io {

struct WriteResult {
    bool ok = false;
    QString reason;   // why it failed, for the user
};

// Receives the file's bytes piece by piece; false stops the write.
using Sink = std::function<bool(const char* data, qint64 length)>;
// Produces the whole content through the sink; returns false (with a reason) to abandon the write.
using Producer = std::function<bool(const Sink& sink, QString& reason)>;

// allowInPlace: the safe in-place way may be taken (see above); without it such a file is
// replaced by a rename all the same, or not written when its folder takes no new file.
WriteResult writeAtomically(const QString& path, const Producer& produce, bool allowInPlace);
WriteResult writeAtomically(const QString& path, QByteArrayView bytes, bool allowInPlace);

// Test seam: when set, called before every write(2) of the given size; returning an errno value
// other than 0 makes that write fail with it (a full disk, an I/O error). setFaultInjector()
// (io/WriteSteps.h) reaches every other step too.
void setWriteFaultInjector(std::function<int(qint64 length)> injector);

} // namespace io
