// The one screen: mode, locking and presentation, clearing, the view, the backend choice.
#include <array>
#include <cstring>

#include "raster/internal.hpp"

namespace raster {
namespace detail {

namespace {

constexpr std::array<int, 8> kValidDepths = {1, 2, 4, 8, 15, 16, 24, 32};
// Pixels are always stored as 32-bit 0xAARRGGBB whatever depth was asked for.
constexpr int kStoredDepth = 32;
constexpr int kBytesPerPixel = 4;

std::string& reason_storage() {
  static std::string reason;
  return reason;
}

}  // namespace

std::unique_ptr<Presenter> make_presenter(Backend backend) {
  switch (backend) {
    case Backend::headless:
      return make_headless_presenter();
#ifdef __EMSCRIPTEN__
    case Backend::web:
      return make_web_presenter();
#else
    case Backend::window:
      return make_window_presenter();
#endif
    default:
      return nullptr;
  }
}

ScreenState& screen() {
  static ScreenState state;
  return state;
}

int refuse(std::string reason) {
  reason_storage() = std::move(reason);
  return 1;
}

void Canvas::span(int x1, int x2, int y, Color c) const {
  if (y < clip.top || y > clip.bottom) return;
  x1 = std::max(x1, clip.left);
  x2 = std::min(x2, clip.right);
  if (x1 > x2) return;
  std::fill(row(y) + x1, row(y) + x2 + 1, c);
}

std::optional<Canvas> canvas_for(Image* target) {
  if (target != nullptr) {
    return Canvas{target->pixels.data(), target->width, target->height,
                  Rect{0, 0, target->width - 1, target->height - 1}, target};
  }
  ScreenState& s = screen();
  if (!s.open) return std::nullopt;
  return Canvas{s.frame.pixels.data(), s.frame.width, s.frame.height, s.clip, nullptr};
}

void canvas_changed(const Canvas& canvas) {
  if (canvas.image != nullptr) {
    canvas.image->mark_changed();
    return;
  }
  // Drawing outside a lock becomes visible at the next input poll, sleep or lock, so a run of
  // unlocked operations costs one presentation rather than one each.
  ScreenState& s = screen();
  if (s.lock_count == 0) s.unshown_drawing = true;
}

void present_lines(int first, int last) {
  ScreenState& s = screen();
  const int w = s.frame.width;
  s.unshown_drawing = false;
  if (s.presenter &&
      s.presenter->present_rows(s.frame.pixels.data(), w, s.frame.height, first, last)) {
    return;
  }
  if (first <= last) {
    std::memcpy(s.presented.data() + static_cast<size_t>(first) * w, s.frame.row(first),
                static_cast<size_t>(last - first + 1) * w * sizeof(Color));
  }
  if (s.presenter) s.presenter->present(s.presented.data(), w, s.frame.height);
}

void poll_presenter() {
  ScreenState& s = screen();
  if (!s.open) return;
  if (s.unshown_drawing && s.lock_count == 0) present_lines(0, s.frame.height - 1);
  if (s.presenter) s.presenter->poll(input_state());
}

}  // namespace detail

using detail::screen;

void select_backend(Backend backend) {
  screen().backend = backend;
}

std::string_view failure_reason() {
  return detail::reason_storage();
}

int screen_set_mode(int width, int height, int depth, int /*pages*/, int /*flags*/,
                    int /*refresh_rate*/) {
  if (width < 1 || height < 1) return detail::refuse("screen_set_mode: width or height below 1");
  if (width > detail::kMaxSide || height > detail::kMaxSide ||
      int64_t{width} * height > detail::kMaxPixels) {
    return detail::refuse("screen_set_mode: screen larger than the size limit");
  }
  if (std::find(detail::kValidDepths.begin(), detail::kValidDepths.end(), depth) ==
      detail::kValidDepths.end()) {
    return detail::refuse("screen_set_mode: unsupported depth");
  }
  detail::ScreenState& s = screen();
  std::unique_ptr<detail::Presenter> presenter;
  Image frame;
  std::vector<Color> presented;
  try {
    presenter = detail::make_presenter(s.backend);
    frame.pixels.assign(static_cast<size_t>(width) * height, detail::kBackground);
    presented = frame.pixels;
  } catch (const std::bad_alloc&) {
    return detail::refuse("screen_set_mode: out of memory");
  }
  if (!presenter) return detail::refuse("screen_set_mode: this build lacks the chosen backend");
  if (std::string why = presenter->open(width, height); !why.empty()) {
    return detail::refuse("screen_set_mode: " + why);
  }
  frame.width = width;
  frame.height = height;
  // The old presenter goes before the new state is in place; nothing can fail from here on.
  s.presenter = std::move(presenter);
  s.frame = std::move(frame);
  s.presented = std::move(presented);
  s.open = true;
  s.depth = detail::kStoredDepth;
  s.clip = detail::Rect{0, 0, width - 1, height - 1};
  // The graphics cursor starts at the centre of the screen (screen pixels).
  const int centre_x = width / 2;
  const int centre_y = height / 2;
  s.cursor_x = static_cast<float>(centre_x);
  s.cursor_y = static_cast<float>(centre_y);
  s.text_row = 1;
  s.text_column = 1;
  s.lock_count = 0;
  detail::input_state() = detail::InputState{};
  // Every row: a presenter with its own copy starts from the blank frame too.
  detail::present_lines(0, height - 1);
  return 0;
}

int screen_info(int& width, int& height, int& depth, int& bytes_per_pixel, int& pitch,
                int& refresh_rate, std::string& driver_name) {
  const detail::ScreenState& s = screen();
  if (!s.open) return detail::refuse("screen_info: no screen is open");
  width = s.frame.width;
  height = s.frame.height;
  depth = s.depth;
  bytes_per_pixel = detail::kBytesPerPixel;
  pitch = s.frame.width * detail::kBytesPerPixel;
  refresh_rate = 0;
  driver_name = s.presenter ? s.presenter->name() : std::string{};
  return 0;
}

Color* screen_ptr() {
  detail::ScreenState& s = screen();
  return s.open ? s.frame.pixels.data() : nullptr;
}

int screen_lock() {
  detail::ScreenState& s = screen();
  if (!s.open) return detail::refuse("screen_lock: no screen is open");
  // Unlocked drawing done before this frame is shown now, not mixed into the frame.
  if (s.lock_count == 0 && s.unshown_drawing) detail::present_lines(0, s.frame.height - 1);
  if (s.lock_count == 0 && s.presenter) s.presenter->frame_begun();
  ++s.lock_count;
  return 0;
}

int screen_unlock(int first_line, int last_line) {
  detail::ScreenState& s = screen();
  if (!s.open) return detail::refuse("screen_unlock: no screen is open");
  if (s.lock_count == 0) return detail::refuse("screen_unlock: the screen is not locked");
  if (--s.lock_count > 0) return 0;
  // Screen rows, inclusive; -1 stands for the first or the last row, others are cut to the
  // screen.
  const int last_row = s.frame.height - 1;
  const int first = first_line == -1 ? 0 : std::clamp(first_line, 0, last_row);
  const int last = last_line == -1 ? last_row : std::clamp(last_line, 0, last_row);
  detail::present_lines(first, last);
  return 0;
}

int screen_clear() {
  const auto canvas = detail::canvas_for(nullptr);
  if (!canvas) return detail::refuse("screen_clear: no screen is open");
  for (int y = canvas->clip.top; y <= canvas->clip.bottom; ++y) {
    canvas->span(canvas->clip.left, canvas->clip.right, y, detail::kBackground);
  }
  detail::canvas_changed(*canvas);
  return 0;
}

int view_set(int x1, int y1, int x2, int y2) {
  detail::ScreenState& s = screen();
  if (!s.open) return detail::refuse("view_set: no screen is open");
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  // Screen pixels, inclusive; a rectangle wholly off the screen leaves an empty clip.
  s.clip = detail::Rect{x1, y1, x2, y2}.intersect(
      detail::Rect{0, 0, s.frame.width - 1, s.frame.height - 1});
  return 0;
}

int view_set() {
  detail::ScreenState& s = screen();
  if (!s.open) return detail::refuse("view_set: no screen is open");
  s.clip = detail::Rect{0, 0, s.frame.width - 1, s.frame.height - 1};
  return 0;
}

void graphics_cursor(float& x, float& y) {
  x = screen().cursor_x;
  y = screen().cursor_y;
}

}  // namespace raster
