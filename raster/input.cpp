// Mouse and keyboard readings; each asks the presenter for pending events first.
#include "raster/internal.hpp"

namespace raster {
namespace detail {

InputState& input_state() {
  static InputState input;
  return input;
}

}  // namespace detail

int mouse_state(int& x, int& y, int& wheel, int& buttons, int& clip) {
  detail::poll_presenter();
  const detail::InputState& in = detail::input_state();
  if (!detail::screen().open || !in.mouse_known) {
    x = y = wheel = buttons = clip = -1;
    return detail::refuse("mouse_state: no pointer position is known");
  }
  // Screen pixels.
  x = in.mouse_x;
  y = in.mouse_y;
  wheel = in.wheel;
  buttons = in.buttons;
  clip = 0;
  return 0;
}

int key_down(int scan_code) {
  if (!detail::screen().open || scan_code < 0 || scan_code >= detail::kScanCodes) return 0;
  detail::poll_presenter();
  return detail::input_state().keys[static_cast<size_t>(scan_code)] ? -1 : 0;
}

std::string key_read() {
  if (!detail::screen().open) return {};
  detail::poll_presenter();
  auto& queue = detail::input_state().queue;
  if (queue.empty()) return {};
  std::string key = std::move(queue.front());
  queue.pop_front();
  return key;
}

}  // namespace raster
