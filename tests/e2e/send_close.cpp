// Asks a window to close the way a window manager's close button does: a WM_PROTOCOLS client
// message carrying WM_DELETE_WINDOW. (Destroying the window, as some tools do, asks nothing.)
//   e2e_send_close NAME   finds the window titled NAME on $DISPLAY; exit 0 once sent
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <string_view>

namespace {

// Depth-first over the window tree; 0 when no window has the name.
Window find_window(Display* d, Window window, std::string_view name, int depth = 0) {
  char* title = nullptr;
  const bool match = XFetchName(d, window, &title) != 0 && title != nullptr && name == title;
  if (title != nullptr) XFree(title);
  if (match) return window;
  Window root = 0, parent = 0, *children = nullptr, found = 0;
  unsigned int count = 0;
  if (depth > 32 || XQueryTree(d, window, &root, &parent, &children, &count) == 0) return 0;
  for (unsigned int i = 0; i < count && found == 0; ++i)
    found = find_window(d, children[i], name, depth + 1);
  if (children != nullptr) XFree(children);
  return found;
}

// A window manager offers the request only to windows that ask for it.
bool accepts_delete(Display* d, Window window, Atom wm_delete) {
  Atom* protocols = nullptr;
  int count = 0;
  bool found = false;
  if (XGetWMProtocols(d, window, &protocols, &count) == 0) return false;
  for (int i = 0; i < count; ++i)
    found = found || protocols[i] == wm_delete;
  XFree(protocols);
  return found;
}

int refuse(const char* why) {
  std::fprintf(stderr, "e2e_send_close: %s\n", why);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return refuse("usage: e2e_send_close WINDOW_NAME");
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return refuse("cannot open the display");
  const Window window = find_window(d, DefaultRootWindow(d), argv[1]);
  const Atom wm_delete = XInternAtom(d, "WM_DELETE_WINDOW", False);
  if (window == 0 || !accepts_delete(d, window, wm_delete))
    return refuse("no window of that name takes WM_DELETE_WINDOW");
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
  return sent ? 0 : refuse("sending failed");
}
