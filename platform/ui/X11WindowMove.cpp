#include "platform/ui/X11WindowMove.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef LAUNCHER_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace platform {

#ifdef LAUNCHER_HAVE_XCB

namespace {

// EWMH: the direction "move", and a request from an ordinary program.
constexpr uint32_t kMoveDirection = 8;
constexpr uint32_t kSourceApplication = 1;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, void (*)(void*)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Whether the window manager names the atom among what it supports.
bool Supported(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t wanted) {
  const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
  if (supported == XCB_ATOM_NONE || wanted == XCB_ATOM_NONE) return false;
  const xcb_get_property_cookie_t cookie =
      xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096);
  std::unique_ptr<xcb_get_property_reply_t, void (*)(void*)> reply(
      xcb_get_property_reply(connection, cookie, nullptr), std::free);
  if (!reply || reply->format != 32) return false;
  const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
  const int count = xcb_get_property_value_length(reply.get()) / 4;
  for (int i = 0; i < count; ++i)
    if (atoms[i] == wanted) return true;
  return false;
}

}  // namespace

bool StartX11WindowMove(QWindow& window, QPoint globalPress) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* connection = x11->connection();
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  if (!screen) return false;
  const xcb_atom_t moveResize = Atom(connection, "_NET_WM_MOVERESIZE");
  if (!Supported(connection, screen->root, moveResize)) return false;

  // The request names the pointer's place when the drag began: the window
  // manager moves the window by what the pointer went since, all of it.
  const QPoint press = globalPress * window.devicePixelRatio();
  xcb_client_message_event_t request{};
  request.response_type = XCB_CLIENT_MESSAGE;
  request.format = 32;
  request.window = static_cast<xcb_window_t>(window.winId());
  request.type = moveResize;
  request.data.data32[0] = static_cast<uint32_t>(press.x());
  request.data.data32[1] = static_cast<uint32_t>(press.y());
  request.data.data32[2] = kMoveDirection;
  request.data.data32[3] = XCB_BUTTON_INDEX_1;
  request.data.data32[4] = kSourceApplication;
  // The window manager takes the pointer; ours lets it go.
  xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&request));
  xcb_flush(connection);
  return true;
}

#else

bool StartX11WindowMove(QWindow&, QPoint) {
  return false;
}

#endif

}  // namespace platform
