// The window backend under a real X server. scripts/e2e-window.sh starts Xvfb, runs one phase
// of this program and plays the user: it waits for each line printed here, then acts (grabs
// the window, moves the pointer, presses keys, asks the window to close). Every wait here is
// bounded; a phase exits 0 only when all its checks held.
//
//   e2e_window frame DIR   presents two pictures and compares DIR/grabN.xwd, read back from
//                          the X server by the driver, with them pixel for pixel
//   e2e_window input       mouse position and buttons, wheel, key_down and key_read
//   e2e_window close       a WM_DELETE_WINDOW request arrives once as "\xFFk"
//   e2e_window no-display  without a display, screen_set_mode fails with a reason and nothing
//                          opens
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "raster/raster.hpp"
#include "tests/e2e/window_dump.hpp"

namespace {

using e2e::fail;

constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr auto kWaitLimit = std::chrono::seconds(20);

void say(std::string_view line) {
  std::cout << line << std::endl;
}

std::string printable(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// Calls `done` every period_ms (sleeping through sleep_ms, which keeps gathering input) until
// it holds; false after kWaitLimit.
bool wait_until(const std::function<bool()>& done, int period_ms = 5) {
  const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    raster::sleep_ms(period_ms);
  }
  return true;
}

void wait_for(const std::function<bool()>& done, const std::string& what, int period_ms = 5) {
  if (!wait_until(done, period_ms)) fail("timed out waiting for " + what);
}

void open_screen() {
  if (raster::screen_set_mode(kWidth, kHeight, 32) != 0) fail("screen_set_mode(640, 400, 32)");
  if (raster::screen_ptr() == nullptr) fail("no screen after screen_set_mode");
}

// ---- Frames ----

using e2e::Picture;
using e2e::read_window_dump;
using e2e::WindowDump;

// Every pixel differs from its neighbours in some channel, so a shift, a scale or a swapped
// channel shows; the alpha bytes vary because they must not matter on screen.
Picture make_picture(int variant) {
  Picture p(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t r = (x + 3 * variant) & 0xFF;
      const uint32_t g = (y + (x >> 8) * 97 + 51 * variant) & 0xFF;
      const uint32_t b = ((x ^ y) * 7 + variant * 13) & 0xFF;
      const uint32_t a = (x * 31 + y * 17) & 0xFF;
      p[static_cast<size_t>(y) * kWidth + x] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  struct Box {
    int x1, y1, x2, y2;
    raster::Color color;
  };
  const Box boxes[] = {{0, 0, 39, 39, 0x00FF0000},
                       {600, 0, 639, 39, 0x8000FF00},
                       {0, 360, 39, 399, 0xFF0000FF},
                       {600, 360, 639, 399, 0x12FFFFFF},
                       {200, 150, 439, 249, 0xFF000000},
                       {300, 100, 340, 300, 0x00FF00FF},
                       {100 + variant * 50, 50, 180 + variant * 50, 90, 0x7F808080}};
  for (const Box& box : boxes) {
    for (int y = box.y1; y <= box.y2; ++y) {
      for (int x = box.x1; x <= box.x2; ++x)
        p[static_cast<size_t>(y) * kWidth + x] = box.color;
    }
  }
  return p;
}

void show(const Picture& picture) {
  raster::screen_lock();
  std::copy(picture.begin(), picture.end(), raster::screen_ptr());
  raster::screen_unlock(-1, -1);
}

void compare(const Picture& expected, const WindowDump& shown) {
  if (shown.width != kWidth || shown.height != kHeight) {
    fail("the window is " + std::to_string(shown.width) + "x" + std::to_string(shown.height) +
         ", not 640x400");
  }
  int wrong = 0;
  std::ostringstream first;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const size_t i = static_cast<size_t>(y) * kWidth + x;
      const uint32_t want = expected[i] & 0xFFFFFF;
      if (shown.pixels[i] == want) continue;
      if (++wrong <= 5) {
        char line[96];
        std::snprintf(line, sizeof line, " (%d,%d) shown %06X expected %06X", x, y, shown.pixels[i],
                      want);
        first << line;
      }
    }
  }
  if (wrong != 0) fail(std::to_string(wrong) + " pixels differ:" + first.str());
}

void phase_frame(const std::filesystem::path& dir) {
  open_screen();
  for (int n = 1; n <= 2; ++n) {
    const Picture picture = make_picture(n);
    show(picture);
    say("presented " + std::to_string(n));
    const auto grab = dir / ("grab" + std::to_string(n) + ".xwd");
    wait_for([&] { return std::filesystem::exists(grab); }, "the driver's " + grab.string());
    compare(picture, read_window_dump(grab));
    say("frame " + std::to_string(n) + " ok");
  }
}

// ---- Input ----

struct Mouse {
  int x = -1, y = -1, wheel = -1, buttons = -1, clip = -1;
  int result = -1;
};

Mouse mouse() {
  Mouse m;
  m.result = raster::mouse_state(m.x, m.y, m.wheel, m.buttons, m.clip);
  return m;
}

void expect_mouse(int x, int y, int buttons, const std::string& line) {
  Mouse last;
  const bool reached = wait_until([&] {
    last = mouse();
    return last.result == 0 && last.x == x && last.y == y && last.buttons == buttons;
  });
  if (!reached) {
    fail("timed out waiting for " + line + "; last reading " + std::to_string(last.x) + "," +
         std::to_string(last.y) + " buttons " + std::to_string(last.buttons) + " result " +
         std::to_string(last.result));
  }
  say(line);
}

std::string next_key() {
  std::string key;
  wait_for([&] { return !(key = raster::key_read()).empty(); }, "a key press");
  return key;
}

// No key string may follow within a while (no double delivery, no stray keys).
void expect_no_more_keys() {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < until) {
    const std::string extra = raster::key_read();
    if (!extra.empty()) fail("unexpected extra key string \"" + printable(extra) + "\"");
    raster::sleep_ms(10);
  }
}

// The driver holds the key down until it sees "<name> down".
void expect_held_key(const std::string& name, int scan_code, std::string_view text) {
  const std::string key = next_key();
  if (key != text) {
    fail(name + " gave \"" + printable(key) + "\", expected \"" + printable(text) + "\"");
  }
  if (raster::key_down(scan_code) != -1) fail(name + " is not down by scan code");
  say(name + " down");
  wait_for([&] { return raster::key_down(scan_code) == 0; }, name + " to be released");
  if (const std::string extra = raster::key_read(); !extra.empty()) {
    fail(name + " delivered a second string \"" + printable(extra) + "\"");
  }
  say(name + " up");
}

void phase_input() {
  open_screen();
  show(make_picture(0));
  say("ready");

  expect_mouse(100, 60, 0, "at 100 60");
  expect_mouse(100, 60, 1, "left down");
  expect_mouse(100, 60, 0, "left up");
  expect_mouse(600, 350, 0, "at 600 350");
  expect_mouse(600, 350, 2, "right down");
  expect_mouse(600, 350, 0, "right up");

  // A quick click seen by a program that reads the mouse once per 40 ms frame.
  bool seen = false;
  wait_for(
      [&] {
        seen = seen || (mouse().buttons & 1) != 0;
        return seen && mouse().buttons == 0;
      },
      "a quick left click", 40);
  const int wheel = mouse().wheel;
  say("click seen");
  wait_for([&] { return mouse().wheel == wheel + 1; }, "the wheel to turn up");
  say("wheel up");
  wait_for([&] { return mouse().wheel == wheel; }, "the wheel to turn back");
  say("wheel down");

  expect_held_key("F1", 59, "\xFF;");
  expect_held_key("space", 57, " ");
  expect_held_key("escape", 1, "\x1B");

  // Ordinary keys, text with Shift, control keys, every extended key, and the combinations
  // that turn a key into another code (Alt+X must not also type "x").
  const auto ext = [](int code) { return std::string{'\xFF', static_cast<char>(code)}; };
  const std::vector<std::string> typed = {
      "a",     "B",     "7",      "!",      "-",     "\r",    "\b",    "\t",  //
      ext(72), ext(80), ext(75),  ext(77),                                    // Up Down Left Right
      ext(71), ext(79), ext(73),  ext(81),  ext(82), ext(83),  // Home End PgUp PgDn Ins Del
      ext(60), ext(61), ext(62),  ext(63),  ext(64), ext(65), ext(66),  // F2 .. F8
      ext(67), ext(68), ext(133), ext(134),                             // F9 .. F12
      "\x03",  ext(45), ext(84),  ext(15)};  // Ctrl+C, Alt+X, Shift+F1, Shift+Tab
  for (size_t i = 0; i < typed.size(); ++i) {
    const std::string key = next_key();
    if (key != typed[i]) {
      fail("key " + std::to_string(i + 1) + " of the typed list gave \"" + printable(key) +
           "\", expected \"" + printable(typed[i]) + "\"");
    }
  }
  expect_no_more_keys();
  for (int code = 0; code < 128; ++code) {
    if (raster::key_down(code) != 0) fail("scan code " + std::to_string(code) + " still down");
  }
  say("keys ok");
}

void phase_close() {
  open_screen();
  show(make_picture(0));
  say("ready");
  const std::string key = next_key();
  if (key != "\xFFk") fail("the close request gave \"" + printable(key) + "\"");
  expect_no_more_keys();
  // Asking to close does not close: the program decides, and the screen still works.
  show(make_picture(1));
  say("close ok");
}

void phase_no_display() {
  if (raster::screen_set_mode(kWidth, kHeight, 32) == 0) fail("screen_set_mode succeeded");
  if (raster::screen_ptr() != nullptr) fail("a screen exists after the failure");
  if (raster::failure_reason().find("no display") == std::string_view::npos) {
    fail("unclear reason \"" + std::string(raster::failure_reason()) + "\"");
  }
  Mouse m = mouse();
  if (m.result == 0 || m.x != -1 || m.y != -1 || m.buttons != -1) fail("mouse_state answered");
  say("no display ok");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "frame") {
      phase_frame(args[1]);
    } else if (args.size() == 1 && args[0] == "input") {
      phase_input();
    } else if (args.size() == 1 && args[0] == "close") {
      phase_close();
    } else if (args.size() == 1 && args[0] == "no-display") {
      phase_no_display();
    } else {
      std::cerr << "usage: e2e_window frame DIR | input | close | no-display\n";
      return 2;
    }
  } catch (const e2e::Failure& failure) {
    say("FAIL: " + failure.what);
    return 1;
  }
  return 0;
}
