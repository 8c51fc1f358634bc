// The layer's keyboard, shared by the backends: the PC scan code (set 1) of each physical key,
// and the key strings a press of it queues for key_read.
#pragma once

#include <string>
#include <string_view>

#include "raster/backend.hpp"

namespace raster::detail {

// The PC scan code of a key given by its USB HID usage (SDL's scan codes are these), 0 for
// keys without one.
int pc_code_of_usage(int usage);
// The PC scan code of a key given by a browser's KeyboardEvent.code, 0 for keys without one.
int pc_code_of_dom(std::string_view dom_code);

// One key press, as every backend can describe it.
struct KeyPress {
  int pc_code = 0;
  bool keypad = false;  // a keypad key: with Num Lock off the digits move like the arrows
  bool num_lock = false;
  bool shift = false;
  bool ctrl = false;
  bool left_alt = false;  // right Alt is AltGr on many layouts and types characters
  bool any_alt = false;
  char letter = 0;  // 'a'..'z' when the layout puts a letter on the key, else 0
};

// "\xFF" and a code.
std::string extended(int code);
// The key string of a press that produces no text of its own, or "" when the text (if any)
// comes from the backend's text input.
std::string key_string(const KeyPress& key);
// A browser's keydown: KeyboardEvent.code and .key and the modifiers held.
struct DomKey {
  std::string_view code;
  std::string_view key;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool left_alt = false;  // the left Alt key is among those held
  bool meta = false;
};
// What a browser's keydown queues for key_read: its key string, else the one character it types
// (with no Ctrl or Meta held), else "".
std::string dom_key_string(const DomKey& key);

// Appends the characters of UTF-8 text as 8-bit key strings; code points above 0xFE (and
// 0xFF itself, the extended-key marker) have no 8-bit form and are dropped.
void queue_text(std::string_view text, InputState& input);

}  // namespace raster::detail
