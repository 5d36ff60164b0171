#include "app/frmSplash.h"

#include "app/Main.h"

namespace frmSplash {
void show() { showMainFrame(); }
} // namespace frmSplash
