// The layer's keyboard, shared by the backends.
#include "raster/keys.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace raster::detail {
namespace {

// One physical key in the three namings the backends meet.
struct KeyName {
  uint8_t usage;              // USB HID usage
  std::string_view dom_code;  // KeyboardEvent.code; "" when browsers report the key otherwise
  uint8_t pc_code;            // PC scan code (set 1)
};

constexpr auto kKeyNames = std::to_array<KeyName>({
    {41, "Escape", 1},
    {30, "Digit1", 2},
    {31, "Digit2", 3},
    {32, "Digit3", 4},
    {33, "Digit4", 5},
    {34, "Digit5", 6},
    {35, "Digit6", 7},
    {36, "Digit7", 8},
    {37, "Digit8", 9},
    {38, "Digit9", 10},
    {39, "Digit0", 11},
    {45, "Minus", 12},
    {46, "Equal", 13},
    {42, "Backspace", 14},
    {43, "Tab", 15},
    {20, "KeyQ", 16},
    {26, "KeyW", 17},
    {8, "KeyE", 18},
    {21, "KeyR", 19},
    {23, "KeyT", 20},
    {28, "KeyY", 21},
    {24, "KeyU", 22},
    {12, "KeyI", 23},
    {18, "KeyO", 24},
    {19, "KeyP", 25},
    {47, "BracketLeft", 26},
    {48, "BracketRight", 27},
    {40, "Enter", 28},
    {224, "ControlLeft", 29},
    {4, "KeyA", 30},
    {22, "KeyS", 31},
    {7, "KeyD", 32},
    {9, "KeyF", 33},
    {10, "KeyG", 34},
    {11, "KeyH", 35},
    {13, "KeyJ", 36},
    {14, "KeyK", 37},
    {15, "KeyL", 38},
    {51, "Semicolon", 39},
    {52, "Quote", 40},
    {53, "Backquote", 41},
    {225, "ShiftLeft", 42},
    {49, "Backslash", 43},
    {50, "", 43},
    {29, "KeyZ", 44},
    {27, "KeyX", 45},
    {6, "KeyC", 46},
    {25, "KeyV", 47},
    {5, "KeyB", 48},
    {17, "KeyN", 49},
    {16, "KeyM", 50},
    {54, "Comma", 51},
    {55, "Period", 52},
    {56, "Slash", 53},
    {229, "ShiftRight", 54},
    {85, "NumpadMultiply", 55},
    {226, "AltLeft", 56},
    {44, "Space", 57},
    {57, "CapsLock", 58},
    {58, "F1", 59},
    {59, "F2", 60},
    {60, "F3", 61},
    {61, "F4", 62},
    {62, "F5", 63},
    {63, "F6", 64},
    {64, "F7", 65},
    {65, "F8", 66},
    {66, "F9", 67},
    {67, "F10", 68},
    {83, "NumLock", 69},
    {71, "ScrollLock", 70},
    {95, "Numpad7", 71},
    {96, "Numpad8", 72},
    {97, "Numpad9", 73},
    {86, "NumpadSubtract", 74},
    {92, "Numpad4", 75},
    {93, "Numpad5", 76},
    {94, "Numpad6", 77},
    {87, "NumpadAdd", 78},
    {89, "Numpad1", 79},
    {90, "Numpad2", 80},
    {91, "Numpad3", 81},
    {98, "Numpad0", 82},
    {99, "NumpadDecimal", 83},
    {100, "IntlBackslash", 86},
    {68, "F11", 87},
    {69, "F12", 88},
    // Extended keys: they share the low byte of their E0-prefixed code with the keypad keys.
    {88, "NumpadEnter", 28},
    {228, "ControlRight", 29},
    {84, "NumpadDivide", 53},
    {70, "PrintScreen", 55},
    {230, "AltRight", 56},
    {74, "Home", 71},
    {82, "ArrowUp", 72},
    {75, "PageUp", 73},
    {80, "ArrowLeft", 75},
    {79, "ArrowRight", 77},
    {77, "End", 79},
    {81, "ArrowDown", 80},
    {78, "PageDown", 81},
    {73, "Insert", 82},
    {76, "Delete", 83},
});

// USB usages of keyboards stop below this.
constexpr int kUsages = 256;

constexpr std::array<uint8_t, kUsages> kPcCodeOfUsage = [] {
  std::array<uint8_t, kUsages> table{};
  for (const KeyName& key : kKeyNames)
    table[key.usage] = key.pc_code;
  return table;
}();

// Extended key codes of the navigation keys: plain, with Ctrl, with Alt. The keypad key with the
// same PC scan code gives them too while Num Lock is off.
struct NavCodes {
  uint8_t plain, ctrl, alt;
};
constexpr std::array<NavCodes, 10> kNavCodes{{
    {71, 119, 151},  // Home
    {72, 141, 152},  // Up
    {73, 132, 153},  // Page Up
    {75, 115, 155},  // Left
    {77, 116, 157},  // Right
    {79, 117, 159},  // End
    {80, 145, 160},  // Down
    {81, 118, 161},  // Page Down
    {82, 146, 162},  // Insert
    {83, 147, 163},  // Delete
}};

// PC scan codes of the keys with fixed strings or numbered extended codes.
constexpr int kEscape = 1;
constexpr int kDigit1 = 2;
constexpr int kDigit0 = 11;
constexpr int kMinus = 12;
constexpr int kEquals = 13;
constexpr int kBackspace = 14;
constexpr int kTab = 15;
constexpr int kEnter = 28;
constexpr int kF1 = 59;
constexpr int kF10 = 68;
constexpr int kF11 = 87;
constexpr int kF12 = 88;

}  // namespace

int pc_code_of_usage(int usage) {
  return usage >= 0 && usage < kUsages ? kPcCodeOfUsage[static_cast<size_t>(usage)] : 0;
}

int pc_code_of_dom(std::string_view dom_code) {
  if (dom_code.empty()) return 0;
  const auto it = std::find_if(kKeyNames.begin(), kKeyNames.end(),
                               [&](const KeyName& key) { return key.dom_code == dom_code; });
  return it != kKeyNames.end() ? it->pc_code : 0;
}

std::string extended(int code) {
  return std::string{'\xFF', static_cast<char>(code)};
}

std::string key_string(const KeyPress& key) {
  const int code = key.pc_code;
  const bool alt = key.left_alt && !key.ctrl;
  if (code >= kF1 && code <= kF10) {
    return extended((alt ? 104 : key.ctrl ? 94 : key.shift ? 84 : 59) + (code - kF1));
  }
  if (code == kF11 || code == kF12) {
    return extended((alt ? 139 : key.ctrl ? 137 : key.shift ? 135 : 133) + (code - kF11));
  }
  if (!key.keypad || !key.num_lock) {
    for (const NavCodes& nav : kNavCodes) {
      if (code == nav.plain) return extended(alt ? nav.alt : key.ctrl ? nav.ctrl : nav.plain);
    }
  }
  switch (code) {
    case kEscape:
      return "\x1B";
    case kEnter:
      return "\r";
    case kBackspace:
      return "\b";
    case kTab:
      return key.shift ? extended(kTab) : "\t";
    default:
      break;
  }
  // Letters follow the layout, like the text they would type.
  const bool letter = key.letter >= 'a' && key.letter <= 'z';
  if (key.ctrl && !key.any_alt && letter)
    return std::string(1, static_cast<char>(key.letter - 'a' + 1));
  if (alt) {
    if (letter && code != 0) return extended(code);
    if (code >= kDigit1 && code <= kDigit0) return extended(120 + (code - kDigit1));
    if (code == kMinus) return extended(130);
    if (code == kEquals) return extended(131);
  }
  return {};
}

namespace {

// The number of UTF-8 code points in text.
size_t code_points(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

std::string dom_key_string(const DomKey& key) {
  const bool one_character = code_points(key.key) == 1;
  KeyPress press;
  press.pc_code = pc_code_of_dom(key.code);
  press.keypad = key.code.starts_with("Numpad");
  // With Num Lock on, a keypad key types its digit or point; off, it names a movement.
  press.num_lock = one_character;
  press.shift = key.shift;
  press.ctrl = key.ctrl;
  press.left_alt = key.left_alt;
  press.any_alt = key.alt;
  if (one_character && key.key[0] >= 'a' && key.key[0] <= 'z') press.letter = key.key[0];
  if (one_character && key.key[0] >= 'A' && key.key[0] <= 'Z') {
    press.letter = static_cast<char>(key.key[0] - 'A' + 'a');
  }
  std::string text = key_string(press);
  if (!text.empty() || !one_character || key.ctrl || key.meta) return text;
  InputState typed;
  queue_text(key.key, typed);
  return typed.queue.empty() ? std::string{} : typed.queue.front();
}

void queue_text(std::string_view text, InputState& input) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = p + text.size();
  while (p < end) {
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
      if (p == end || (*p & 0xC0) != 0x80) {
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
