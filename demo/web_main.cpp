// hexmap_demo in a web page: the page cannot sleep, so the browser calls the frame function once
// per animation frame and frames that come sooner than the native pause are skipped. Escape
// ends the program; the page shows it stopped.
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "demo/demo_app.hpp"

namespace {

// Never destroyed, as the native program's is not: a fatal error exits from inside start-up or a
// frame, and the map must not release its images after the graphics layer has gone.
demo::DemoApp& app() {
  alignas(demo::DemoApp) static unsigned char storage[sizeof(demo::DemoApp)];
  static demo::DemoApp* const the_app =
      std::construct_at(reinterpret_cast<demo::DemoApp*>(storage));
  return *the_app;
}

// When the next frame is due (milliseconds of emscripten_get_now). It moves on by the pause
// from the last due time, so an animation frame that comes a little early still runs.
double next_frame_due = 0;

void web_frame() {
  const double now = emscripten_get_now();
  if (now < next_frame_due) return;
  next_frame_due = std::max(next_frame_due + demo::kFramePauseMs, now);
  app().frame();
  if (!app().quit()) return;
  emscripten_cancel_main_loop();
  app().shut_down();
  std::exit(EXIT_SUCCESS);
}

}  // namespace

int main() {
  app().start_up();
  emscripten_set_main_loop(web_frame, 0, true);
  return 0;
}
