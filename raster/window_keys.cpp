// Keyboard translation of the SDL2 window backend.
#include "raster/window_keys.hpp"

namespace raster::detail {

// SDL's scan codes are the USB usages the shared table is keyed by.
static_assert(SDL_SCANCODE_A == 4 && SDL_SCANCODE_ESCAPE == 41 && SDL_SCANCODE_KP_7 == 95 &&
              SDL_SCANCODE_RALT == 230);

int pc_scan_code(SDL_Scancode code) {
  return pc_code_of_usage(code);
}

std::string key_string(const SDL_Keysym& key) {
  KeyPress press;
  press.pc_code = pc_scan_code(key.scancode);
  press.keypad = key.scancode >= SDL_SCANCODE_KP_DIVIDE && key.scancode <= SDL_SCANCODE_KP_PERIOD;
  press.num_lock = (key.mod & KMOD_NUM) != 0;
  press.shift = (key.mod & KMOD_SHIFT) != 0;
  press.ctrl = (key.mod & KMOD_CTRL) != 0;
  press.left_alt = (key.mod & KMOD_LALT) != 0;
  press.any_alt = (key.mod & KMOD_ALT) != 0;
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) press.letter = static_cast<char>(key.sym);
  return key_string(press);
}

}  // namespace raster::detail
