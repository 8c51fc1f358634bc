// The window backend's input under a real X server: mouse position (screen pixels) and buttons,
// key strings and key_down of held keys. scripts/e2e-window.sh starts Xvfb, runs this and plays
// the user: it waits for each line printed here, then acts. Every wait is bounded; the program
// exits 0 only when all its checks held. What the window shows, its close button and the
// refusal without a display are checked through the demo (e2e_demo_check).
#include <chrono>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>

#include "demo/layout.hpp"
#include "raster/raster.hpp"

namespace {

void say(const std::string& line) {
  std::cout << line << std::endl;
}

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what);
}

// The mouse reads (x, y), screen pixels, with these buttons held.
bool mouse_is(int x, int y, int buttons) {
  int mx = -1, my = -1, wheel = 0, held = -1, clip = -1;
  return raster::mouse_state(mx, my, wheel, held, clip) == 0 && mx == x && my == y &&
         held == buttons;
}

// Polls `done` every 5 ms (sleep_ms keeps gathering input); fails after 20 s.
void wait_for(const std::function<bool()>& done, const std::string& what) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) fail("timed out waiting for " + what);
    raster::sleep_ms(5);
  }
}

void check_input() {
  if (raster::screen_set_mode(demo::kScreenWidth, demo::kScreenHeight, 32) != 0)
    fail("screen_set_mode");
  raster::screen_lock();
  raster::screen_unlock(-1, -1);
  say("ready");
  // The driver moves or presses after each line; both buttons must also come up again.
  const struct {
    int x, y, buttons;
    const char* line;
  } mouse[] = {{100, 60, 0, "at 100 60"},   {100, 60, 1, "left down"},   {100, 60, 0, "left up"},
               {600, 350, 0, "at 600 350"}, {600, 350, 2, "right down"}, {600, 350, 0, "right up"}};
  for (const auto& m : mouse) {
    wait_for([&] { return mouse_is(m.x, m.y, m.buttons); }, m.line);
    say(m.line);
  }
  // The driver holds each key down until it sees "<name> down". A key that also arrives as
  // text must still come once: the read after its release would show the repeat.
  const struct {
    const char* name;
    int scan_code;
    std::string text;
  } keys[] = {{"F1", 59, "\xFF;"}, {"space", 57, " "}, {"escape", 1, "\x1B"}};
  for (const auto& key : keys) {
    std::string got;
    wait_for([&] { return !(got = raster::key_read()).empty(); }, "a key press");
    if (got != key.text || raster::key_down(key.scan_code) != -1)
      fail(std::string(key.name) + ": another key string, or not held down");
    say(std::string(key.name) + " down");
    wait_for([&] { return raster::key_down(key.scan_code) == 0; }, "key release");
    if (!raster::key_read().empty()) fail(std::string(key.name) + ": a second key string");
    say(std::string(key.name) + " up");
  }
}

}  // namespace

int main() {
  try {
    check_input();
  } catch (const std::exception& failure) {
    say(std::string("FAIL: ") + failure.what());
    return 1;
  }
  return 0;
}
