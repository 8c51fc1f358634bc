// Keyboard translation of the SDL2 window backend: SDL scan codes to PC scan codes (set 1),
// key presses to the layer's key strings, and SDL's UTF-8 text to 8-bit key strings.
#pragma once

#include <SDL.h>

#include <string>

#include "raster/backend.hpp"

namespace raster::detail {

// The PC scan code (set 1) of an SDL scan code, 0 for keys without one.
int pc_scan_code(SDL_Scancode code);
// "\xFF" and a code.
std::string extended(int code);
// The key string of a key press that produces no text of its own, or "" when the text (if
// any) comes from the SDL_TEXTINPUT event that follows.
std::string key_string(const SDL_Keysym& key);
// Appends the characters of UTF-8 text as 8-bit key strings; code points above 0xFE (and
// 0xFF itself, the extended-key marker) have no 8-bit form and are dropped.
void queue_text(const char* text, InputState& input);

}  // namespace raster::detail
