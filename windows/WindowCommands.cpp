#include "windows/WindowCommands.h"

#include "app/MDIForm1.h"

#include <QMdiArea>

namespace windowcmd {

void mnuWindow(MDIForm1&) {}

void Arrange(MDIForm1& frame, Arrangement how) {
    switch (how) {
    case Arrangement::Cascade: frame.mdiArea()->cascadeSubWindows(); break;
    case Arrangement::TileHorizontal:
    case Arrangement::TileVertical: frame.mdiArea()->tileSubWindows(); break;
    case Arrangement::ArrangeIcons: break;
    }
}

} // namespace windowcmd
