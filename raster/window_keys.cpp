// Keyboard translation of the SDL2 window backend.
#include "raster/window_keys.hpp"

#include <array>
#include <cstdint>
#include <utility>

namespace raster::detail {
namespace {

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

}  // namespace

int pc_scan_code(SDL_Scancode code) {
  return code >= 0 && code < SDL_NUM_SCANCODES ? kScanCodes[code] : 0;
}

namespace {

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

}  // namespace

std::string extended(int code) {
  return std::string{'\xFF', static_cast<char>(code)};
}

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

}  // namespace raster::detail
