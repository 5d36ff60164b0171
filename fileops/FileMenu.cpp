#include "fileops/FileMenu.h"

#include "app/MDIForm1.h"

#include <QAction>

namespace fileops {

void mnuFile(MDIForm1& frame) {
    const char* items[] = {"mnuFileClose", "mnuFileSave", "mnuFileSaveAs", "mnuFilePrint"};
    for (const char* name : items) frame.item(name)->setEnabled(true);
    if (!frame.ActiveForm())
        for (const char* name : items) frame.item(name)->setEnabled(false);
}

} // namespace fileops
