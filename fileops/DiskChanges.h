#pragma once
// What the user is asked when the file behind a window changed on disk since the window opened
// or last saved it: when the window is next active (reload, or keep the window's text), and
// before a save would write over the changed file.
#include "io/DiskWatch.h"

#include <QString>

namespace fileops {

enum class OverwriteAnswer {
    Write,    // the file has not changed, or the user chose to replace it
    SaveAs,   // write the text under another name instead
    Cancel,   // write nothing: the file stays as it is, the window keeps its text and stays changed
};
// Before a save writes to the window's own file, recorded as 'recorded' when it was opened or
// last saved: asks when the file changed, was replaced or deleted since.
OverwriteAnswer askBeforeOverwrite(const QString& path, const io::FileIdentity& recorded);

// When the window becomes active: asks about a change since 'recorded' that the user has not been
// told about yet ('told' is what the user was last told of, and is updated). True when the user
// chose to reload the file. A deleted file is only reported.
bool askAboutChange(const QString& path, const io::FileIdentity& recorded, io::FileIdentity& told, bool unsaved);

} // namespace fileops
