// Asks a window to close the way a window manager's close button does: a WM_PROTOCOLS client
// message carrying WM_DELETE_WINDOW. (Destroying the window, as some tools do, asks nothing.)
//
//   e2e_send_close NAME   finds the window titled NAME on $DISPLAY; exit 0 once sent
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace {

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
struct XFreer {
  void operator()(void* data) const {
    if (data != nullptr) XFree(data);
  }
};
template <typename T>
using XPtr = std::unique_ptr<T, XFreer>;

bool has_name(Display* display, Window window, std::string_view name) {
  char* raw = nullptr;
  if (XFetchName(display, window, &raw) == 0) return false;
  const XPtr<char> title(raw);
  return title && name == title.get();
}

// Depth-first over the window tree; 0 when no window has the name.
Window find_window(Display* display, Window window, std::string_view name, int depth = 0) {
  if (has_name(display, window, name)) return window;
  if (depth > 32) return 0;
  Window root = 0;
  Window parent = 0;
  Window* raw_children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, window, &root, &parent, &raw_children, &count) == 0) return 0;
  const XPtr<Window> children(raw_children);
  for (unsigned int i = 0; i < count; ++i) {
    if (Window found = find_window(display, children.get()[i], name, depth + 1)) return found;
  }
  return 0;
}

bool accepts_delete(Display* display, Window window, Atom wm_delete) {
  Atom* raw = nullptr;
  int count = 0;
  if (XGetWMProtocols(display, window, &raw, &count) == 0) return false;
  const XPtr<Atom> protocols(raw);
  for (int i = 0; i < count; ++i) {
    if (protocols.get()[i] == wm_delete) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_send_close WINDOW_NAME\n");
    return 2;
  }
  const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
  if (!display) {
    std::fprintf(stderr, "e2e_send_close: cannot open the display\n");
    return 1;
  }
  Display* d = display.get();
  const Window window = find_window(d, DefaultRootWindow(d), argv[1]);
  if (window == 0) {
    std::fprintf(stderr, "e2e_send_close: no window named \"%s\"\n", argv[1]);
    return 1;
  }
  const Atom wm_protocols = XInternAtom(d, "WM_PROTOCOLS", False);
  const Atom wm_delete = XInternAtom(d, "WM_DELETE_WINDOW", False);
  // A window manager offers the request only to windows that ask for it.
  if (!accepts_delete(d, window, wm_delete)) {
    std::fprintf(stderr, "e2e_send_close: the window does not take WM_DELETE_WINDOW\n");
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = wm_protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(wm_delete);
  event.xclient.data.l[1] = CurrentTime;
  if (XSendEvent(d, window, False, NoEventMask, &event) == 0) {
    std::fprintf(stderr, "e2e_send_close: sending failed\n");
    return 1;
  }
  XSync(d, False);
  return 0;
}
