#include "app/Activation.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace activation {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// X11: the window takes the launch's id (_NET_STARTUP_ID, which window managers read for the time
// of the user's click), asks to be activated with that time, and the launch's busy feedback ends
// (the startup notification "remove" message). False when any of it cannot be done.
bool activateOnX11(QWidget& window, const QByteArray& id) {
    const std::uint32_t time = startupTime(id);
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || time == 0) return false;
    const auto w = xcb_window_t(window.winId());
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return false;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, "_NET_STARTUP_ID"), atom(c, "UTF8_STRING"), 8,
                        std::uint32_t(id.size()), id.constData());

    xcb_client_message_event_t active{};
    active.response_type = XCB_CLIENT_MESSAGE;
    active.format = 32;
    active.window = w;
    active.type = atom(c, "_NET_ACTIVE_WINDOW");
    active.data.data32[0] = 1;   // from an application
    active.data.data32[1] = time;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&active));

    // The message goes in pieces of 20 bytes, its closing NUL included.
    const QByteArray remove = QByteArrayLiteral("remove: ID=") + id + '\0';
    const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN"), more = atom(c, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at < remove.size(); at += 20) {
        xcb_client_message_event_t piece{};
        piece.response_type = XCB_CLIENT_MESSAGE;
        piece.format = 8;
        piece.window = w;
        piece.type = at == 0 ? begin : more;
        std::memcpy(piece.data.data8, remove.constData() + at, std::min<qsizetype>(20, remove.size() - at));
        xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&piece));
    }
    xcb_flush(c);
    return true;
}

} // namespace

std::uint32_t startupTime(const QByteArray& startupId) {
    const qsizetype at = startupId.lastIndexOf("_TIME");
    if (at < 0) return 0;
    bool ok = false;
    const qulonglong time = startupId.mid(at + 5).toULongLong(&ok);
    return ok && time <= 0xffffffffULL ? std::uint32_t(time) : 0;
}

void bringToFront(QWidget& window, const QByteArray& token) {
    if (window.isMinimized()) window.showNormal();
    window.raise();
    const QString platform = QGuiApplication::platformName();
    if (!token.isEmpty() && platform == QLatin1String("xcb") && activateOnX11(window, token)) return;
    // Qt's Wayland plugin reads the token from the environment when the window asks to be
    // activated, and takes it out again.
    if (!token.isEmpty() && platform.startsWith(QLatin1String("wayland"))) qputenv("XDG_ACTIVATION_TOKEN", token);
    window.activateWindow();
}

} // namespace activation
