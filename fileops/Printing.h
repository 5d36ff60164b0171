#pragma once
class MDIForm1;
namespace fileops {
void mnuFilePageSetup(MDIForm1& frame);
void mnuFilePrint(MDIForm1& frame);
} // namespace fileops
