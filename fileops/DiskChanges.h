#pragma once
// What the user is asked when the file behind a window changed on disk since the window read or
// last wrote it: when the window is next active (reload, or keep the window's text), and before a
// save would write over the changed file.
#include "io/DiskWatch.h"

#include <QHash>
#include <QObject>
#include <QString>

class DocumentFrame;
class Form1;

namespace fileops {

enum class OverwriteAnswer {
    Write,    // the file has not changed, or the user chose to replace it
    SaveAs,   // write the text under another name instead
    Cancel,   // write nothing: the file stays as it is, the window keeps its text and stays changed
};
// Before a save writes to the window's own file, recorded as 'recorded' when it was read or last
// written: asks when the file has been changed, replaced or deleted since, by another program or
// by a save from another window. Where the file's times cannot tell, its content is compared.
OverwriteAnswer askBeforeOverwrite(const QString& path, io::DiskRecord& recorded);

// Asks about a change to the window's file that the user has not been told of yet. Changed or
// replaced: Yes reloads the file, No keeps the window's text (Save will ask before writing).
// Deleted: said once; the document counts as changed, so that closing asks before its text goes.
void checkDiskChange(DocumentFrame& frame, Form1& form);

// Follows the files of a frame's windows and checks the active window when the frame is active:
// each time a window or the frame becomes active, and as soon as its file changes while it is.
// A check waits while a dialog or a menu is open.
class DiskFollower : public QObject {
    Q_OBJECT
public:
    explicit DiskFollower(DocumentFrame& frame);
    // Follows the window's file, and the files it is given later, until the window is gone.
    void follow(Form1& form);

private:
    void scheduleCheck();
    void checkActive();

    DocumentFrame& frame_;
    io::DiskWatcher watcher_;
    QHash<Form1*, QString> files_;
    bool scheduled_ = false;
};

} // namespace fileops
