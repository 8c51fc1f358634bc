// The demonstration program's life: start-up, the frame loop and shut-down.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "demo/input.hpp"
#include "demo/movement_range.hpp"
#include "demo/sprite.hpp"
#include "demo/walker.hpp"
#include "hexmap/hexagon_map.hpp"

namespace demo {

// The pause between frames; a page, which cannot sleep, skips animation frames that come sooner.
inline constexpr int kFramePauseMs = 15;

class DemoApp {
 public:
  // Start-up up to the first frame. Fatal when a data file or the screen is missing.
  void start_up();
  // Frame steps 1 to 5: input, walkers, camera.
  void update();
  // Frame steps 6 to 10: everything drawn between one screen lock and its unlock.
  void draw();
  // Frame steps 1 to 10, update and draw: the native loop pauses after each, the page calls it
  // once per animation frame.
  void frame();
  // Frame step 11: the pause.
  void pace();
  bool quit() const { return QUIT != 0; }
  // Releases the sprites, then the map.
  void shut_down();
  // The whole program in its native loop; returns the exit status.
  int run();

  const hexmap::HEXAGON_MAP& map() const { return *map_; }
  const WALKER& walker_1() const { return WALKER_1; }
  const WALKER& walker_2() const { return WALKER_2; }

 private:
  void start_walkers();
  void update_walkers();
  void follow_walker();
  void draw_range();
  void draw_walkers();
  void draw_fog();

  std::unique_ptr<hexmap::HEXAGON_MAP> map_;
  std::unique_ptr<MovementRange> range_;
  Sprites sprites_;
  std::string KEY;
  int32_t QUIT = kFalse;
  WALKER WALKER_1;
  WALKER WALKER_2;
  MOUSE_STATE MOUSE;
  MOUSE_STATE MOUSE_PREVIOUS;
  int32_t SHOW_PATH = kTrue;
  int32_t SHOW_RANGE = kFalse;  // F3
  int32_t FOCUS_WALKER_1 = kFalse;
  bool show_fog_ = false;               // F2: fog over what the hero cannot see
  std::vector<hexmap::VECTOR2D> seen_;  // the hero's field of view, kept for its capacity
};

}  // namespace demo
