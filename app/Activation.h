#pragma once
// Bringing the frame to the front for a launch that handed its files over. Desktops that guard
// against windows stealing the focus (GNOME, KDE) let a window come forward only with the token of
// a launch the user made: on Wayland an xdg-activation token (XDG_ACTIVATION_TOKEN), on X11 a
// startup notification id (DESKTOP_STARTUP_ID, whose "_TIME" part is the moment of the user's
// click). The launching process passes its token to the frame through the instance channel.
#include <QByteArray>
#include <cstdint>

class QWidget;

namespace activation {

// Raises and activates 'window' (a top-level window already shown) with the token, or without one
// as Qt does when the token is empty or the platform takes none.
void bringToFront(QWidget& window, const QByteArray& token);

// The X server time in a startup notification id ("..._TIME12345"); 0 when it has none.
std::uint32_t startupTime(const QByteArray& startupId);

} // namespace activation
