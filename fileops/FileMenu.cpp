#include "fileops/FileMenu.h"

#include "documents/DocumentFrame.h"

namespace fileops {

void mnuFile(DocumentFrame& frame) {
    frame.setItemsEnabled({"mnuFileClose", "mnuFileSave", "mnuFileSaveAs", "mnuFilePrint"},
                          frame.ActiveForm() != nullptr);
}

} // namespace fileops
