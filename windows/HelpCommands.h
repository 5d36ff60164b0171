#pragma once
// The Help menu: the read-me and the product's web pages through the desktop's launcher, and
// the About box.
class QWidget;

namespace helpcmd {

void Readme();
void Comments();
void Bugs();
void Web();
void About(QWidget* parent);

} // namespace helpcmd
