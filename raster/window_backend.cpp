// The SDL2 window backend: shows finished frames 1:1 in a window and turns SDL events into the
// layer's input state (screen pixels, PC scan codes, key strings).
#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "raster/backend.hpp"
#include "raster/window_keys.hpp"

namespace raster::detail {
namespace {

// ---- SDL resources ----

struct WindowDeleter {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

// Holds one reference on SDL's video subsystem.
class VideoSubsystem {
 public:
  VideoSubsystem() = default;
  VideoSubsystem(const VideoSubsystem&) = delete;
  VideoSubsystem& operator=(const VideoSubsystem&) = delete;
  ~VideoSubsystem() { release(); }

  bool acquire() {
    if (held_) return true;
    held_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return held_;
  }
  void release() {
    if (held_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    held_ = false;
  }

 private:
  bool held_ = false;
};

// SDL's drivers that show nothing. SDL falls back to them when no display can be reached; a
// program would then run invisibly, so that counts as no display unless the user chose the
// driver through SDL_VIDEODRIVER.
constexpr std::array<std::string_view, 2> kInvisibleDrivers = {"offscreen", "dummy"};

std::string sdl_error() {
  return SDL_GetError();
}

// Also written to standard error: a program that cannot open its window usually just stops.
std::string failed(std::string why) {
  std::fprintf(stderr, "raster: %s\n", why.c_str());
  return why;
}

std::string no_real_display() {
  const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
  if (chosen != nullptr && *chosen != '\0') return {};
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string_view name = driver != nullptr ? driver : "";
  if (std::find(kInvisibleDrivers.begin(), kInvisibleDrivers.end(), name) ==
      kInvisibleDrivers.end()) {
    return {};
  }
  return "no display to open a window on (SDL found only its \"" + std::string(name) +
         "\" driver; set DISPLAY, or SDL_VIDEODRIVER to choose a driver)";
}

// A press shorter than this still shows in the button bits for this long, so a program that
// samples the mouse once per frame sees quick clicks.
constexpr uint32_t kMinClickMs = 100;

class WindowPresenter final : public Presenter {
 public:
  std::string open(int width, int height) override {
    window_.reset();
    // Ctrl+C should end the program as usual rather than arrive as a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_HIGHDPI_DISABLED, "1");
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
    if (!video_.acquire()) return failed("cannot initialise video: " + sdl_error());
    if (std::string why = no_real_display(); !why.empty()) {
      video_.release();
      return failed(why);
    }
    window_.reset(SDL_CreateWindow("hexmap", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                   height, SDL_WINDOW_SHOWN));
    if (!window_) {
      video_.release();
      return failed("cannot open a " + std::to_string(width) + "x" + std::to_string(height) +
                    " window: " + sdl_error());
    }
    if (SDL_GetWindowSurface(window_.get()) == nullptr) {
      window_.reset();
      video_.release();
      return failed("no surface for the window: " + sdl_error());
    }
    SDL_StartTextInput();
    buttons_ = {};
    suppress_text_ = false;
    return {};
  }

  void present(const Color* frame, int width, int height) override {
    if (!window_ || frame == nullptr || width < 1 || height < 1) return;
    SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
    if (surface == nullptr) return;
    // Only the part both share is copied: a window manager may have forced another size.
    const int w = std::min(width, surface->w);
    const int h = std::min(height, surface->h);
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    copy_frame(frame, width, w, h, surface);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(window_.get());
  }

  void poll(InputState& input) override {
    if (!window_) return;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
      handle(event, input);
    const uint32_t now = SDL_GetTicks();
    for (int b = 0; b < 2; ++b) {
      Button& held = buttons_[b];
      if (held.release_pending && now - held.pressed_at >= kMinClickMs) {
        held.release_pending = false;
        input.buttons &= ~(1 << b);
      }
    }
  }

  std::string name() const override { return "SDL2 window"; }

 private:
  struct Button {
    uint32_t pressed_at = 0;
    bool release_pending = false;
  };

  // The alpha byte of frame pixels means nothing on screen: it is dropped or made opaque.
  static void copy_frame(const Color* frame, int frame_width, int w, int h, SDL_Surface* surface) {
    const uint32_t format = surface->format->format;
    auto* dst = static_cast<uint8_t*>(surface->pixels);
    if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
      for (int y = 0; y < h; ++y) {
        const Color* src = frame + static_cast<size_t>(y) * frame_width;
        auto* row = reinterpret_cast<uint32_t*>(dst + static_cast<size_t>(y) * surface->pitch);
        for (int x = 0; x < w; ++x)
          row[x] = src[x] | 0xFF000000u;
      }
      return;
    }
    SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGB888, frame, frame_width * 4, format, dst,
                      surface->pitch);
  }

  void handle(const SDL_Event& event, InputState& input) {
    switch (event.type) {
      case SDL_MOUSEMOTION:
        set_mouse(event.motion.x, event.motion.y, input);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        set_mouse(event.button.x, event.button.y, input);
        button(event.button.button, event.type == SDL_MOUSEBUTTONDOWN, input);
        break;
      case SDL_MOUSEWHEEL: {
        const int steps =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        input.wheel += steps;
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const bool down = event.type == SDL_KEYDOWN;
        const int code = pc_scan_code(event.key.keysym.scancode);
        if (code != 0) input.keys[code] = down;
        if (down) {
          std::string text = key_string(event.key.keysym);
          // A key that gave its own string must not also arrive through SDL_TEXTINPUT.
          suppress_text_ = !text.empty();
          if (!text.empty()) input.queue.push_back(std::move(text));
        }
        break;
      }
      case SDL_TEXTINPUT:
        if (!suppress_text_) queue_text(event.text.text, input);
        suppress_text_ = false;
        break;
      case SDL_WINDOWEVENT:
        window_event(event.window, input);
        break;
      case SDL_QUIT:
        input.queue.push_back(extended(107));
        break;
      default:
        break;
    }
  }

  void window_event(const SDL_WindowEvent& event, InputState& input) {
    switch (event.event) {
      case SDL_WINDOWEVENT_ENTER: {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        set_mouse(x, y, input);
        break;
      }
      case SDL_WINDOWEVENT_EXPOSED:
        // The window surface still holds the last frame.
        SDL_UpdateWindowSurface(window_.get());
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        // Releases can go to another window; nothing stays held.
        input.keys.fill(false);
        break;
      case SDL_WINDOWEVENT_CLOSE:
        input.queue.push_back(extended(107));
        break;
      default:
        break;
    }
  }

  // Window pixels are screen pixels: the window shows the screen 1:1 at its origin.
  static void set_mouse(int x, int y, InputState& input) {
    input.mouse_x = x;
    input.mouse_y = y;
    input.mouse_known = true;
  }

  void button(uint8_t sdl_button, bool down, InputState& input) {
    int b = -1;
    if (sdl_button == SDL_BUTTON_LEFT) b = 0;
    if (sdl_button == SDL_BUTTON_RIGHT) b = 1;
    if (b < 0) return;
    Button& state = buttons_[b];
    if (down) {
      state.pressed_at = SDL_GetTicks();
      state.release_pending = false;
      input.buttons |= 1 << b;
    } else if (SDL_GetTicks() - state.pressed_at < kMinClickMs) {
      state.release_pending = true;
    } else {
      input.buttons &= ~(1 << b);
    }
  }

  VideoSubsystem video_;  // declared first: outlives the window
  std::unique_ptr<SDL_Window, WindowDeleter> window_;
  std::array<Button, 2> buttons_{};
  bool suppress_text_ = false;
};

}  // namespace

std::unique_ptr<Presenter> make_window_presenter() {
  return std::make_unique<WindowPresenter>();
}

}  // namespace raster::detail
