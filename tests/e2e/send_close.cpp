// Asks a window to close the way a window manager's close button does: a WM_PROTOCOLS client
// message carrying WM_DELETE_WINDOW. (Destroying the window, as some tools do, asks nothing.)
//   e2e_send_close WINDOW_ID   the window on $DISPLAY (as xdotool prints it); exit 0 once sent
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  Display* d = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
  if (d == nullptr) {
    std::fprintf(stderr, "usage: e2e_send_close WINDOW_ID, on $DISPLAY\n");
    return 1;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  const Atom wm_delete = XInternAtom(d, "WM_DELETE_WINDOW", False);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(wm_delete);
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(d, window, False, NoEventMask, &event) != 0;
  XSync(d, False);
  XCloseDisplay(d);
  if (!sent) std::fprintf(stderr, "e2e_send_close: sending failed\n");
  return sent ? 0 : 1;
}
