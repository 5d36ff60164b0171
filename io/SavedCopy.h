#pragma once
// The copy of a file's old content that is kept while the file is rewritten in place, so that
// neither a failure nor a kill at any moment leaves the user without the old content or the new.
//
// Copies live in the user's state folder, $XDG_STATE_HOME/tesselpad/saves (by default
// ~/.local/state/tesselpad/saves). For a file page.htm saved at 14:30:15 on 7 December 2026 by
// process 4242 they are named:
//   page.htm~20261207-143015-4242.partial   the copy while it is being made (locked by its maker)
//   page.htm~20261207-143015-4242.path      the full path of the file it belongs to, one line
//   page.htm~20261207-143015-4242.old       the finished copy, flushed to disk
// A .old file with its .path is the whole old content of a file whose save did not end (the
// program was killed, or putting the old bytes back failed); it is never removed by the program.
// Unfinished copies whose maker is gone are removed by the next save that needs a copy.
#include <QByteArray>
#include <QtGlobal>

namespace fileops {

class SavedCopy {
public:
    SavedCopy() = default;
    ~SavedCopy();
    SavedCopy(const SavedCopy&) = delete;
    SavedCopy& operator=(const SavedCopy&) = delete;

    // The folder the copies go to.
    static QByteArray folder();
    // Copies the first 'size' bytes of the open file 'fromFd', whose path is 'original', and
    // flushes the copy and its folder to disk. 0 or errno.
    int make(int fromFd, qint64 size, const QByteArray& original);
    // Puts the old content back into 'toFd': the bytes, the length, flushed. 0 or errno.
    int restore(int toFd);
    // Removes the finished copy.
    void remove();
    QByteArray path() const;

private:
    void discard();
    int dirfd_ = -1;
    int fd_ = -1;
    qint64 size_ = 0;
    QByteArray stem_;
};

} // namespace fileops
