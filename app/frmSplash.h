#pragma once
// The splash screen shown at start-up when the settings ask for it; it shows the frame as it closes.
namespace frmSplash {
void show();
} // namespace frmSplash
