#include "fileops/Printing.h"

#include "app/MDIForm1.h"

namespace fileops {

void mnuFilePageSetup(MDIForm1&) {}
void mnuFilePrint(MDIForm1&) {}

} // namespace fileops
