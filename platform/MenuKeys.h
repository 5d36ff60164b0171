#pragma once
// Keyboard use of a menu bar.
class QMenuBar;

namespace tp {

// Escape from an open menu of the bar gives the keys back to the widget that had them, rather
// than leaving the bar in its keyboard mode (where the next letter opens another menu and nothing
// shows where the keys go).
void returnKeysOnEscape(QMenuBar& bar);

} // namespace tp
