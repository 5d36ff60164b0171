#pragma once
// The Window menu: tiling, cascading and the list of open document windows.
class MDIForm1;

namespace windowcmd {

enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

// Run as the Window menu opens.
void mnuWindow(MDIForm1& frame);
void Arrange(MDIForm1& frame, Arrangement how);

} // namespace windowcmd
