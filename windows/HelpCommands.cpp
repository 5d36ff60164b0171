#include "windows/HelpCommands.h"

namespace helpcmd {

void Readme() {}
void Comments() {}
void Bugs() {}
void Web() {}
void About(QWidget*) {}

} // namespace helpcmd
