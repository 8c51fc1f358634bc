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
#include <utility>

#include "raster/backend.hpp"

namespace raster::detail {
namespace {

// ---- Keyboard tables ----

// SDL scan code -> PC scan code (set 1). Extended keys (arrows, Home, ...) share the low byte
// of their E0-prefixed code with the keypad keys, as on a real keyboard. 0 means no code.
constexpr auto kScanCodePairs = std::to_array<std::pair<SDL_Scancode, uint8_t>>({
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},
    // Extended keys.
    {SDL_SCANCODE_KP_ENTER, 28},
    {SDL_SCANCODE_RCTRL, 29},
    {SDL_SCANCODE_KP_DIVIDE, 53},
    {SDL_SCANCODE_PRINTSCREEN, 55},
    {SDL_SCANCODE_RALT, 56},
    {SDL_SCANCODE_HOME, 71},
    {SDL_SCANCODE_UP, 72},
    {SDL_SCANCODE_PAGEUP, 73},
    {SDL_SCANCODE_LEFT, 75},
    {SDL_SCANCODE_RIGHT, 77},
    {SDL_SCANCODE_END, 79},
    {SDL_SCANCODE_DOWN, 80},
    {SDL_SCANCODE_PAGEDOWN, 81},
    {SDL_SCANCODE_INSERT, 82},
    {SDL_SCANCODE_DELETE, 83},
});

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kScanCodes = [] {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const auto& [sdl, pc] : kScanCodePairs)
    table[sdl] = pc;
  return table;
}();

int pc_scan_code(SDL_Scancode code) {
  return code >= 0 && code < SDL_NUM_SCANCODES ? kScanCodes[code] : 0;
}

// Extended key codes of the navigation keys: plain, with Ctrl, with Alt.
struct NavCodes {
  SDL_Scancode key;
  SDL_Scancode keypad;  // the same key on the keypad with Num Lock off
  uint8_t plain, ctrl, alt;
};
constexpr std::array<NavCodes, 10> kNavCodes{{
    {SDL_SCANCODE_HOME, SDL_SCANCODE_KP_7, 71, 119, 151},
    {SDL_SCANCODE_UP, SDL_SCANCODE_KP_8, 72, 141, 152},
    {SDL_SCANCODE_PAGEUP, SDL_SCANCODE_KP_9, 73, 132, 153},
    {SDL_SCANCODE_LEFT, SDL_SCANCODE_KP_4, 75, 115, 155},
    {SDL_SCANCODE_RIGHT, SDL_SCANCODE_KP_6, 77, 116, 157},
    {SDL_SCANCODE_END, SDL_SCANCODE_KP_1, 79, 117, 159},
    {SDL_SCANCODE_DOWN, SDL_SCANCODE_KP_2, 80, 145, 160},
    {SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_KP_3, 81, 118, 161},
    {SDL_SCANCODE_INSERT, SDL_SCANCODE_KP_0, 82, 146, 162},
    {SDL_SCANCODE_DELETE, SDL_SCANCODE_KP_PERIOD, 83, 147, 163},
}};

std::string extended(int code) {
  return std::string{'\xFF', static_cast<char>(code)};
}

// The key string of a key press that produces no text of its own, or "" when the text (if
// any) comes from the SDL_TEXTINPUT event that follows.
std::string key_string(const SDL_Keysym& key) {
  const SDL_Scancode sc = key.scancode;
  const bool shift = (key.mod & KMOD_SHIFT) != 0;
  const bool ctrl = (key.mod & KMOD_CTRL) != 0;
  // Right Alt is AltGr on many layouts and types characters, so only left Alt combines.
  const bool alt = (key.mod & KMOD_LALT) != 0 && !ctrl;

  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) {
    const int n = sc - SDL_SCANCODE_F1;
    return extended((alt ? 104 : ctrl ? 94 : shift ? 84 : 59) + n);
  }
  if (sc == SDL_SCANCODE_F11 || sc == SDL_SCANCODE_F12) {
    const int n = sc - SDL_SCANCODE_F11;
    return extended((alt ? 139 : ctrl ? 137 : shift ? 135 : 133) + n);
  }
  const bool num_lock = (key.mod & KMOD_NUM) != 0;
  for (const NavCodes& nav : kNavCodes) {
    if (sc == nav.key || (sc == nav.keypad && !num_lock)) {
      return extended(alt ? nav.alt : ctrl ? nav.ctrl : nav.plain);
    }
  }
  switch (sc) {
    case SDL_SCANCODE_ESCAPE:
      return "\x1B";
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER:
      return "\r";
    case SDL_SCANCODE_BACKSPACE:
      return "\b";
    case SDL_SCANCODE_TAB:
      return shift ? extended(15) : "\t";
    default:
      break;
  }
  // Letters follow the layout (the key code), like the text they would type.
  const SDL_Keycode sym = key.sym;
  const bool letter = sym >= SDLK_a && sym <= SDLK_z;
  if (ctrl && !(key.mod & KMOD_ALT) && letter)
    return std::string(1, static_cast<char>(sym - 'a' + 1));
  if (alt) {
    if (letter) {
      const int code = pc_scan_code(sc);
      if (code != 0) return extended(code);
    }
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) return extended(120 + (sc - SDL_SCANCODE_1));
    if (sc == SDL_SCANCODE_MINUS) return extended(130);
    if (sc == SDL_SCANCODE_EQUALS) return extended(131);
  }
  return {};
}

// Appends the characters of UTF-8 text as 8-bit key strings; code points above 0xFE (and
// 0xFF itself, the extended-key marker) have no 8-bit form and are dropped.
void queue_text(const char* text, InputState& input) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p != 0) {
    uint32_t cp = *p;
    int extra = 0;
    if (cp >= 0xF0) {
      cp &= 0x07;
      extra = 3;
    } else if (cp >= 0xE0) {
      cp &= 0x0F;
      extra = 2;
    } else if (cp >= 0xC0) {
      cp &= 0x1F;
      extra = 1;
    } else if (cp >= 0x80) {
      ++p;  // stray continuation byte
      continue;
    }
    ++p;
    bool valid = true;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (*p & 0x3F);
    }
    if (valid && cp >= 0x20 && cp != 0x7F && cp < 0xFF) {
      input.queue.emplace_back(1, static_cast<char>(cp));
    }
  }
}

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

// A press shorter than this still shows in the button bits for this long, so a program that
// samples the mouse once per frame sees quick clicks.
constexpr uint32_t kMinClickMs = 100;

class WindowPresenter final : public Presenter {
 public:
  int open(int width, int height) override {
    window_.reset();
    // Ctrl+C should end the program as usual rather than arrive as a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_HIGHDPI_DISABLED, "1");
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
    if (!video_.acquire()) {
      std::fprintf(stderr, "raster: cannot initialise video: %s\n", SDL_GetError());
      return 1;
    }
    window_.reset(SDL_CreateWindow("hexmap", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                   height, SDL_WINDOW_SHOWN));
    if (!window_) {
      std::fprintf(stderr, "raster: cannot open a %dx%d window: %s\n", width, height,
                   SDL_GetError());
      video_.release();
      return 1;
    }
    if (SDL_GetWindowSurface(window_.get()) == nullptr) {
      std::fprintf(stderr, "raster: no surface for the window: %s\n", SDL_GetError());
      window_.reset();
      video_.release();
      return 1;
    }
    SDL_StartTextInput();
    buttons_ = {};
    suppress_text_ = false;
    return 0;
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
