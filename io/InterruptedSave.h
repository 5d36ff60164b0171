#pragma once
// Saves in place that did not end: a program killed while it rewrote a file leaves the file part
// new, part old, and the old content whole in the saves folder (io/SavedCopy.h). At the next
// start, unfinished copies (their file not touched yet) are removed, and each finished one is
// either removed at once, when the file holds the new text whole (the size and checksum recorded
// before the file was touched) or its old content whole, or offered to the user: put the old
// content back, keep the file as it is, or decide later.
//
// A copy is left alone while its save may still run or its maker may still be dealing with it:
// while it is locked (the saving program keeps it locked to the end of the save), and while the
// process that made it runs (its number and start time must both match, as numbers are reused).
//
// Cost at start-up: a folder listing; for each copy found, its file is read only when its size is
// that of the new text (a checksum at memory speed) or of the copy (a comparison that stops at the
// first difference): about 0.1 s for 100 MB, at most 0.4 s when both sizes are the same.
#include "io/AtomicFile.h"
#include "io/UniqueFd.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace io {

struct InterruptedSave {
    QString file;       // the file whose save did not end
    QString copy;       // the copy of its old content
    qint64 oldSize = 0;
    QDateTime began;    // when the copy was made
};

class InterruptedSaves {
public:
    // Looks through the saves folder. The copies found stay locked against other programs until
    // the object goes.
    InterruptedSaves();
    InterruptedSaves(const InterruptedSaves&) = delete;
    InterruptedSaves& operator=(const InterruptedSaves&) = delete;

    const std::vector<InterruptedSave>& found() const { return found_; }
    // Copies removed without asking, their file holding the new text or the old one whole.
    int settled() const { return settled_; }

    // Writes the old content back to the file through the one writer (io/AtomicFile.h); the copy
    // is removed once that worked, and kept when it did not.
    io::WriteResult restore(std::size_t index);
    // The file stays as it is; the copy is removed.
    void remove(std::size_t index);

private:
    void removeCopy(const QByteArray& stem);

    UniqueFd folder_;
    std::vector<InterruptedSave> found_;
    std::vector<QByteArray> stems_;     // each found copy's name without its ending
    std::vector<UniqueFd> locks_;       // each found copy, open and locked
    int settled_ = 0;
};

} // namespace io
