#pragma once
// The copy of a file's old content that is kept while the file is rewritten in place, so that
// neither a failure nor a kill at any moment leaves the user without the old content or the new.
//
// Copies live in the user's state folder, $XDG_STATE_HOME/tesselpad/saves (by default
// ~/.local/state/tesselpad/saves). For a file page.htm saved at 14:30:15 on 7 December 2026 by
// process 4242 they are named:
//   page.htm~20261207-143015-4242.partial   the copy while it is being made (locked by its maker)
//   page.htm~20261207-143015-4242.path      the full path of the file it belongs to, a line; then
//                                           a line with the new text's size and checksum and the
//                                           saving process (see Record)
//   page.htm~20261207-143015-4242.old       the finished copy, flushed to disk
// Both are on disk before the file is touched. The maker keeps the copy locked (flock) from its
// first byte until the save ends. A .old file with its .path is the whole old content of a file
// whose save did not end (the program was killed, or putting the old bytes back failed): the next
// start offers it (io/InterruptedSave.h). Unfinished copies whose maker is gone are removed by
// the next save that needs a copy.
#include "io/UniqueFd.h"

#include <QByteArray>
#include <QtGlobal>

namespace io {

// What the file holds once its save has ended.
struct NewContent {
    qint64 size = 0;
    quint64 hash = 0;   // io::ContentHash of the bytes
};

// What the .path file says.
struct Record {
    QByteArray original;     // the file's path
    bool hasNew = false;     // false in copies kept by older versions: only 'original' is known
    NewContent next;
    qint64 pid = 0;          // the saving process (from the copy's name when not recorded)
    quint64 started = 0;     // when it started, in clock ticks after boot (0: unknown)
};
// Reads the text of a .path file ('stem': the copy's name without its ending); false when it
// names no file by its full path, or no process.
bool parseRecord(const QByteArray& stem, const QByteArray& text, Record& record);
// When the process started (clock ticks after boot), to tell it from a later one given the same
// number; 0 when there is no such process or the system does not say.
quint64 processStart(qint64 pid);

class SavedCopy {
public:
    SavedCopy() = default;
    SavedCopy(const SavedCopy&) = delete;
    SavedCopy& operator=(const SavedCopy&) = delete;

    // The folder the copies go to.
    static QByteArray folder();
    // Removes the unfinished copies in the folder whose maker is gone, and their records.
    static void removeUnfinished(int dirfd);
    // Copies the first 'size' bytes of the open file 'fromFd', whose path is 'original', records
    // what the file is to hold, and flushes the copy, the record and their folder to disk. 0 or
    // errno.
    int make(int fromFd, qint64 size, const QByteArray& original, const NewContent& next);
    // Puts the old content back into 'toFd': the bytes, the length, flushed. 0 or errno.
    int restore(int toFd);
    // Removes the finished copy.
    void remove();
    QByteArray path() const;

private:
    void discard();
    UniqueFd dirfd_;   // the folder of copies
    UniqueFd fd_;      // the copy, locked
    qint64 size_ = 0;
    QByteArray stem_;
};

} // namespace io
