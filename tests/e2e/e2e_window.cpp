// The window backend under a real X server. scripts/e2e-window.sh starts Xvfb, runs one phase
// and plays the user: it waits for each line printed here, then acts. Every wait is bounded; a
// phase exits 0 only when all its checks held.
//   frame DIR   two presented pictures compared with DIR/grabN.xwd, read back by the driver
//   input       mouse position and buttons, key_down and key_read of held keys
//   close       a WM_DELETE_WINDOW request arrives once as "\xFFk"
//   no-display  screen_set_mode fails with a reason and nothing opens
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "raster/raster.hpp"
#include "tests/e2e/window_dump.hpp"

namespace {

using e2e::fail;

constexpr int kWidth = 640;
constexpr int kHeight = 400;

void say(const std::string& line) {
  std::cout << line << std::endl;
}

// Key strings as decimal bytes, for messages.
std::string printable(const std::string& s) {
  std::string out;
  for (unsigned char c : s)
    out += std::to_string(c) + " ";
  return out;
}

// Polls `done` every period_ms (sleep_ms keeps gathering input); fails after 20 s.
void wait_for(const std::function<bool()>& done, const std::string& what, int period_ms = 5) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) fail("timed out waiting for " + what);
    raster::sleep_ms(period_ms);
  }
}

// Every pixel differs from its neighbours in some channel, so a shift, a scale or a swapped
// channel shows; the alpha bytes vary because they must not matter on screen.
e2e::Picture show_picture(int variant) {
  if (raster::screen_ptr() == nullptr && raster::screen_set_mode(kWidth, kHeight, 32) != 0)
    fail("screen_set_mode(640, 400, 32)");
  e2e::Picture p(static_cast<size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t r = (x + 3 * variant) & 0xFF;
      const uint32_t g = (y + (x >> 8) * 97 + 51 * variant) & 0xFF;
      const uint32_t b = ((x ^ y) * 7 + variant * 13) & 0xFF;
      p[static_cast<size_t>(y) * kWidth + x] =
          ((x * 31 + y * 17) & 0xFF) << 24 | r << 16 | g << 8 | b;
    }
  }
  raster::screen_lock();
  std::copy(p.begin(), p.end(), raster::screen_ptr());
  raster::screen_unlock(-1, -1);
  return p;
}

void phase_frame(const std::filesystem::path& dir) {
  for (int n = 1; n <= 2; ++n) {
    const e2e::Picture picture = show_picture(n);
    say("presented " + std::to_string(n));
    const auto grab = dir / ("grab" + std::to_string(n) + ".xwd");
    wait_for([&] { return std::filesystem::exists(grab); }, grab.string());
    const e2e::WindowDump shown = e2e::read_window_dump(grab);
    if (shown.width != kWidth || shown.height != kHeight) fail("the window is not 640x400");
    int wrong = 0;
    for (size_t i = 0; i < picture.size(); ++i)
      wrong += shown.pixels[i] != (picture[i] & 0xFFFFFF);
    if (wrong != 0) fail(std::to_string(wrong) + " pixels differ in frame " + std::to_string(n));
    say("frame " + std::to_string(n) + " ok");
  }
}

int buttons_at(int& x, int& y) {
  int wheel = 0, buttons = -1, clip = 0;
  return raster::mouse_state(x, y, wheel, buttons, clip) == 0 ? buttons : -1;
}

void expect_mouse(int x, int y, int buttons, const std::string& line) {
  wait_for(
      [&] {
        int mx = -1, my = -1;
        return buttons_at(mx, my) == buttons && mx == x && my == y;
      },
      line);
  say(line);
}

std::string next_key() {
  std::string key;
  wait_for([&] { return !(key = raster::key_read()).empty(); }, "a key press");
  return key;
}

// No key string may follow within 300 ms (no double delivery, no stray keys).
void expect_no_more_keys() {
  for (int i = 0; i < 30; ++i) {
    if (const std::string extra = raster::key_read(); !extra.empty())
      fail("unexpected extra key \"" + printable(extra) + "\"");
    raster::sleep_ms(10);
  }
}

void expect_key(const std::string& got, const std::string& want) {
  if (got != want) fail("key \"" + printable(got) + "\", expected \"" + printable(want) + "\"");
}

void phase_input() {
  show_picture(0);
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
        int x, y;
        const int b = buttons_at(x, y);
        seen = seen || (b & 1) != 0;
        return seen && b == 0;
      },
      "a quick left click", 40);
  say("click seen");

  // The driver holds each key down until it sees "<name> down".
  const struct {
    const char* name;
    int scan_code;
    std::string text;
  } held[] = {{"F1", 59, "\xFF;"}, {"space", 57, " "}, {"escape", 1, "\x1B"}};
  for (const auto& key : held) {
    expect_key(next_key(), key.text);
    if (raster::key_down(key.scan_code) != -1) fail(std::string(key.name) + " is not down");
    say(std::string(key.name) + " down");
    wait_for([&] { return raster::key_down(key.scan_code) == 0; }, "key release");
    expect_key(raster::key_read(), "");
    say(std::string(key.name) + " up");
  }
  expect_no_more_keys();
  for (int code = 0; code < 128; ++code) {
    if (raster::key_down(code) != 0) fail("scan code " + std::to_string(code) + " still down");
  }
  say("keys ok");
}

void phase_close() {
  show_picture(0);
  say("ready");
  expect_key(next_key(), "\xFFk");
  expect_no_more_keys();
  // Asking to close does not close: the program decides, and the screen still works.
  show_picture(1);
  say("close ok");
}

void phase_no_display() {
  if (raster::screen_set_mode(kWidth, kHeight, 32) == 0) fail("screen_set_mode succeeded");
  if (raster::screen_ptr() != nullptr) fail("a screen exists after the failure");
  if (raster::failure_reason().find("no display") == std::string_view::npos)
    fail("unclear reason \"" + std::string(raster::failure_reason()) + "\"");
  int x = -1, y = -1;
  if (buttons_at(x, y) != -1 || x != -1 || y != -1) fail("mouse_state answered");
  say("no display ok");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "frame") {
      phase_frame(args[1]);
    } else if (args == std::vector<std::string>{"input"}) {
      phase_input();
    } else if (args == std::vector<std::string>{"close"}) {
      phase_close();
    } else if (args == std::vector<std::string>{"no-display"}) {
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
