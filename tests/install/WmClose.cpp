// Asks a window to close the way a desktop's close button does, with
// WM_DELETE_WINDOW, so the program runs its own closing question.
// Usage: tw_wm_close WINDOW_ID
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  const xcb_atom_t atom = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(r);
  return atom;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: tw_wm_close WINDOW_ID\n", stderr);
    return 2;
  }
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fputs("tw_wm_close: cannot reach the X display\n", stderr);
    return 1;
  }
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  ev.type = Atom(c, "WM_PROTOCOLS");
  ev.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
  ev.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(c, 0, ev.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
  const bool ok = xcb_flush(c) > 0;
  xcb_disconnect(c);
  return ok ? 0 : 1;
}
