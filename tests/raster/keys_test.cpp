// The keys both backends share, by their values: keypad keys move with Num Lock off and leave
// their digit to the text input with it on; function keys take Shift, Ctrl or left Alt, and
// right Alt (AltGr on many layouts) or Ctrl with Alt take nothing of Alt.
#include <gtest/gtest.h>

#include "raster/keys.hpp"

namespace raster::detail {
namespace {

TEST(Keys, KeypadByNumLockAndFunctionKeysByModifier) {
  // PC scan codes: keypad 7, 2, 0 and . and 5; F1, F3, F10, F11, F12.
  enum : int { kKp7 = 71, kKp2 = 80, kKp0 = 82, kKpPoint = 83, kKp5 = 76 };
  enum : int { kF1 = 59, kF3 = 61, kF10 = 68, kF11 = 87, kF12 = 88 };
  // code, keypad, Num Lock, Shift, Ctrl, left Alt, any Alt: the key string.
  const std::pair<KeyPress, std::string> presses[] = {
      {{kKp7, true, false}, extended(71)},
      {{kKp7, true, true}, ""},
      {{kKp7, true, false, false, true}, extended(119)},
      {{kKp2, true, false, false, false, true, true}, extended(160)},
      {{kKp0, true, false}, extended(82)},
      {{kKpPoint, true, false}, extended(83)},
      {{kKpPoint, true, true}, ""},
      {{kKp5, true, false}, ""},
      {{kKp7, false, true}, extended(71)},  // Home itself moves whatever Num Lock says
      {{kF1, false, false}, extended(59)},
      {{kF1, false, false, true}, extended(84)},
      {{kF10, false, false, false, true}, extended(103)},
      {{kF3, false, false, false, false, true, true}, extended(106)},
      {{kF3, false, false, false, false, false, true}, extended(61)},
      {{kF3, false, false, false, true, true, true}, extended(96)},
      {{kF11, false, false, true}, extended(135)},
      {{kF12, false, false, true, true}, extended(138)},
      {{kF12, false, false, false, false, true, true}, extended(140)},
  };
  for (const auto& [press, want] : presses)
    EXPECT_EQ(key_string(press), want)
        << "code " << press.pc_code << (press.keypad ? " keypad" : "")
        << (press.num_lock ? " num" : "") << (press.shift ? " shift" : "")
        << (press.ctrl ? " ctrl" : "") << (press.left_alt ? " left-alt" : "")
        << (press.any_alt ? " alt" : "");
}

}  // namespace
}  // namespace raster::detail
