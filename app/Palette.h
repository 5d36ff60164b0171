#pragma once
// A light or dark palette on request, for trying the program's colours without changing the
// desktop's theme: TESSELPAD_PALETTE=dark (or light) in the environment starts Tesselpad with
// Qt's Fusion style and that palette. Anything else leaves the desktop's style and palette alone.
#include <QPalette>

namespace palettes {

QPalette dark();
// Applies the palette TESSELPAD_PALETTE asks for, if any.
void applyFromEnvironment();

} // namespace palettes
