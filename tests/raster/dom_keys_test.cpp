// The page gives the same keys as the window: a browser's keydown (KeyboardEvent.code and .key)
// queues what the SDL window queues for the same press, and sets the same key_down code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/window_keys.hpp"

namespace raster::detail {
namespace {

struct Modifiers {
  const char* name;
  Uint16 sdl;
  bool shift, ctrl, alt;
};
constexpr Modifiers kPlain{"plain", KMOD_NONE, false, false, false};
constexpr Modifiers kShift{"shift", KMOD_LSHIFT, true, false, false};
constexpr Modifiers kCtrl{"ctrl", KMOD_LCTRL, false, true, false};
constexpr Modifiers kAlt{"alt", KMOD_LALT, false, false, true};
const std::vector<Modifiers> kAll{kPlain, kShift, kCtrl, kAlt};

// One press on both sides; `typed` is the text SDL sends after a key without a string of its own.
void expect_same(SDL_Scancode sc, SDL_Keycode sym, const char* code, const char* key,
                 const Modifiers& m, const char* typed = "", bool num_lock = false) {
  const SDL_Keysym sdl{sc, sym, static_cast<Uint16>(m.sdl | (num_lock ? KMOD_NUM : 0)), 0};
  std::string window = key_string(sdl);
  if (window.empty()) window = typed;
  const DomKey dom{code, key, m.shift, m.ctrl, m.alt, m.alt, false};
  EXPECT_EQ(dom_key_string(dom), window) << code << " \"" << key << "\" " << m.name;
  EXPECT_EQ(pc_code_of_dom(code), pc_scan_code(sc)) << code;
}

TEST(DomKeys, FunctionAndNavigationKeysWithEveryModifier) {
  const char* f_keys[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10"};
  for (const Modifiers& m : kAll) {
    for (int i = 0; i < 10; ++i) {
      expect_same(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i), SDLK_F1 + i, f_keys[i], f_keys[i],
                  m);
    }
    expect_same(SDL_SCANCODE_F11, SDLK_F11, "F11", "F11", m);
    expect_same(SDL_SCANCODE_F12, SDLK_F12, "F12", "F12", m);
    expect_same(SDL_SCANCODE_UP, SDLK_UP, "ArrowUp", "ArrowUp", m);
    expect_same(SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, "PageDown", "PageDown", m);
    expect_same(SDL_SCANCODE_DELETE, SDLK_DELETE, "Delete", "Delete", m);
  }
  EXPECT_EQ(dom_key_string({"F1", "F1"}), "\xFF;");
  EXPECT_EQ(dom_key_string({"F3", "F3"}), "\xFF=");
}

TEST(DomKeys, KeypadFollowsNumLock) {
  // Num Lock on: the digit is typed; off: the key moves like the arrow or block key it doubles.
  expect_same(SDL_SCANCODE_KP_7, SDLK_KP_7, "Numpad7", "7", kPlain, "7", true);
  expect_same(SDL_SCANCODE_KP_7, SDLK_KP_7, "Numpad7", "Home", kPlain);
  expect_same(SDL_SCANCODE_KP_2, SDLK_KP_2, "Numpad2", "ArrowDown", kCtrl);
  expect_same(SDL_SCANCODE_KP_0, SDLK_KP_0, "Numpad0", "Insert", kAlt);
  expect_same(SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, "NumpadDecimal", ".", kPlain, ".", true);
  expect_same(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, "NumpadEnter", "Enter", kPlain);
  EXPECT_EQ(dom_key_string({"Numpad7", "Home"}), "\xFFG");
}

TEST(DomKeys, LettersDigitsAndControlKeys) {
  // Ctrl combinations type nothing.
  for (const Modifiers& m : kAll) {
    const char* letter = m.shift ? "A" : "a";
    const char* digit = m.shift ? "!" : "1";
    expect_same(SDL_SCANCODE_A, SDLK_a, "KeyA", letter, m, m.ctrl ? "" : letter);
    expect_same(SDL_SCANCODE_1, SDLK_1, "Digit1", digit, m, m.ctrl ? "" : digit);
    expect_same(SDL_SCANCODE_TAB, SDLK_TAB, "Tab", "Tab", m);
    expect_same(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, "Escape", "Escape", m);
    expect_same(SDL_SCANCODE_RETURN, SDLK_RETURN, "Enter", "Enter", m);
  }
  // A letter follows the layout: the key the layout calls "z" on a German keyboard's Y key.
  expect_same(SDL_SCANCODE_Y, SDLK_z, "KeyY", "z", kCtrl);
  expect_same(SDL_SCANCODE_SPACE, SDLK_SPACE, "Space", " ", kPlain, " ");
  EXPECT_EQ(dom_key_string({"ShiftLeft", "Shift"}), "");
  EXPECT_EQ(dom_key_string({"KeyE", "\xC3\xA9"}), "\xE9");  // é as its 8-bit form
}

}  // namespace
}  // namespace raster::detail
