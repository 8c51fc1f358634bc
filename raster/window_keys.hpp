// Keyboard translation of the SDL2 window backend: SDL's scan codes and key presses in the
// terms of the layer's shared keyboard (raster/keys.hpp).
#pragma once

#include <SDL.h>

#include <string>

#include "raster/keys.hpp"

namespace raster::detail {

// The PC scan code (set 1) of an SDL scan code, 0 for keys without one.
int pc_scan_code(SDL_Scancode code);
// The key string of a key press that produces no text of its own, or "" when the text (if
// any) comes from the SDL_TEXTINPUT event that follows.
std::string key_string(const SDL_Keysym& key);

}  // namespace raster::detail
