// The headless presenter keeps nothing of its own: the layer's presented copy of the frame is
// what it shows, and the test seams write straight into the input state.
#include "raster/internal.hpp"

namespace raster {
namespace detail {
namespace {

class HeadlessPresenter final : public Presenter {
 public:
  std::string open(int /*width*/, int /*height*/) override { return {}; }
  void present(const Color* /*frame*/, int /*width*/, int /*height*/) override {}
  void poll(InputState& /*input*/) override {}
  std::string name() const override { return "headless"; }
};

}  // namespace

std::unique_ptr<Presenter> make_headless_presenter() {
  return std::make_unique<HeadlessPresenter>();
}

}  // namespace detail

namespace headless {

void set_mouse(int x, int y, int buttons) {
  detail::InputState& in = detail::input_state();
  in.mouse_known = true;
  in.mouse_x = x;
  in.mouse_y = y;
  in.buttons = buttons;
}

void push_key(std::string key) {
  detail::input_state().queue.push_back(std::move(key));
}

void set_key_down(int scan_code, bool down) {
  if (scan_code < 0 || scan_code >= detail::kScanCodes) return;
  detail::input_state().keys[static_cast<size_t>(scan_code)] = down;
}

const std::vector<Color>& presented_frame() {
  // Unlocked drawing shows here as it would at the next input poll.
  const detail::ScreenState& s = detail::screen();
  if (s.open && s.unshown_drawing && s.lock_count == 0) {
    detail::present_lines(0, s.frame.height - 1);
  }
  return s.presented;
}

}  // namespace headless
}  // namespace raster
