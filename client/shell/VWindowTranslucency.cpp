#include "shell/VWindowTranslucency.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>

namespace {

// A compositing manager owns the selection "_NET_WM_CM_S<screen>" (EWMH).
bool X11CompositorRunning() {
  int screen = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screen);
  if (connection == nullptr) return false;
  bool running = false;
  if (xcb_connection_has_error(connection) == 0) {
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()),
        nullptr);
    if (atom != nullptr && atom->atom != XCB_ATOM_NONE) {
      xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
          connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
      running = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
      free(owner);
    }
    free(atom);
  }
  xcb_disconnect(connection);
  return running;
}

}  // namespace

bool VWindowTranslucency::available() {
  static const bool translucent =
      QGuiApplication::platformName() != QLatin1String("xcb") || X11CompositorRunning();
  return translucent;
}
