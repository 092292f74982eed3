// How long a window's event loop keeps it from answering, seen from outside:
// sends the window the window manager's ping every few milliseconds and
// prints each answer's delay, so the longest delay bounds the longest busy
// stretch of the program's user-interface thread.
//   Usage: tw_ping_probe WINDOW_ID   (runs until stdin closes or the window goes)
// Output lines: "<wall clock ms> <delay ms>", one per answered ping.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

constexpr int kPingIntervalMs = 5;

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
  const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
  free(r);
  return a;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
    return 2;
  }
  const xcb_window_t window = xcb_window_t(strtoul(argv[1], nullptr, 0));
  int screenNo = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNo);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNo; ++i) xcb_screen_next(&it);
  const xcb_window_t root = it.data->root;
  // Qt sends its answer to the root window for whoever selects the root's
  // structure events; the window's end is one of the root's substructure.
  const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS"), ping = Atom(c, "_NET_WM_PING");
  std::map<uint32_t, double> sent;
  uint32_t seq = 1;
  double next = NowMs();
  setvbuf(stdout, nullptr, _IOLBF, 0);
  for (;;) {
    const double now = NowMs();
    if (now >= next) {
      xcb_client_message_event_t ev{};
      ev.response_type = XCB_CLIENT_MESSAGE;
      ev.format = 32;
      ev.window = window;
      ev.type = protocols;
      ev.data.data32[0] = ping;
      ev.data.data32[1] = seq;
      ev.data.data32[2] = window;
      xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
      xcb_flush(c);
      sent[seq++] = now;
      next = now + kPingIntervalMs;
    }
    pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {0, POLLIN, 0}};
    poll(fds, 2, std::max(0, int(next - NowMs())));
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      char buf[256];
      if (read(0, buf, sizeof buf) <= 0) break;
    }
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
      if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
        const auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
        if (m->type == protocols && m->data.data32[0] == ping) {
          const auto at = sent.find(m->data.data32[1]);
          if (at != sent.end()) {
            const double t = NowMs();
            printf("%.1f %.1f\n", t, t - at->second);
            // Earlier pings are answered in order: forget them.
            sent.erase(sent.begin(), std::next(at));
          }
        }
      } else if ((e->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
                 reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window == window) {
        free(e);
        return 0;
      }
      free(e);
    }
    if (xcb_connection_has_error(c)) return 1;
  }
  xcb_disconnect(c);
  return 0;
}
