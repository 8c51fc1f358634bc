// Internal seam between the software rasterizer and a presentation backend.
// The rasterizer owns every pixel; a backend only shows finished frames and gathers input.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <string>

#include "raster/raster.hpp"

namespace raster::detail {

// Input gathered by a backend; read by mouse_state, key_down and key_read.
struct InputState {
  bool mouse_known = false;  // false until the pointer has been seen over the screen
  int mouse_x = -1;          // screen pixels
  int mouse_y = -1;
  int wheel = 0;
  int buttons = 0;                // bit 0 left, bit 1 right
  std::array<bool, 128> keys{};   // indexed by PC scan code (set 1)
  std::deque<std::string> queue;  // key strings for key_read, oldest first
};

class Presenter {
 public:
  virtual ~Presenter() = default;
  // Prepares output for a width x height screen: "" on success, else why it cannot.
  virtual std::string open(int width, int height) = 0;
  // The outermost screen_lock: the drawing of a frame begins.
  virtual void frame_begun() {}
  // Shows the whole frame: width x height pixels, row-major, no padding.
  virtual void present(const Color* frame, int width, int height) = 0;
  // A presenter that keeps its own copy of what it shows takes rows first..last (screen
  // pixels, inclusive) of the frame straight from it and shows the whole; true when it did,
  // and the layer then skips its own copy (headless::presented_frame has none to read).
  virtual bool present_rows(const Color* /*frame*/, int /*width*/, int /*height*/, int /*first*/,
                            int /*last*/) {
    return false;
  }
  // Moves pending events into input.
  virtual void poll(InputState& input) = 0;
  // Driver name reported by screen_info.
  virtual std::string name() const = 0;
};

std::unique_ptr<Presenter> make_window_presenter();    // SDL2 window
std::unique_ptr<Presenter> make_headless_presenter();  // frames kept in memory only
std::unique_ptr<Presenter> make_web_presenter();       // the page's canvas (WebAssembly only)
// The presenter of a backend, or nullptr when this build lacks it.
std::unique_ptr<Presenter> make_presenter(Backend backend);

// The one input state of the layer.
InputState& input_state();

}  // namespace raster::detail
