#include "demo/demo_app.hpp"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "demo/check.hpp"
#include "demo/layout.hpp"
#include "hexmap/sight.hpp"

namespace demo {

namespace {

constexpr int kScreenDepth = 32;
// Camera glide, map pixels per axis and frame.
constexpr int32_t kCameraSpeed = 5;
constexpr int kEscapeScanCode = 1;
// How far the hero sees, in steps; the cells within reach fit the list reserved at start-up.
constexpr int32_t kSightSteps = 8;
constexpr size_t kMaxSeenCells = 3 * kSightSteps * (kSightSteps + 1) + 1;

constexpr const char* kFrameFile = "demo_frame.bmp";
constexpr const char* kMapFile = "demo_map.txt";

// Key strings: the window's close button, F1, F2, F3 and the space bar.
constexpr std::string_view kCloseKey = "\xFFk";
constexpr std::string_view kF1Key = "\xFF;";
constexpr std::string_view kF2Key = "\xFF<";
constexpr std::string_view kF3Key = "\xFF=";
constexpr std::string_view kSpaceKey = " ";

// The help lines; their rows are in layout.hpp.
constexpr std::string_view kHelpPath = " press [F1] key to toggle A* path    [F2] hero's sight";
constexpr std::string_view kHelpCamera = " press [SPACE] to switch focus of camera";
constexpr std::string_view kHelpWall = " Toggle wall with right mouse button";
constexpr std::string_view kHelpRange = "    [F3] hero's movement range";

// Walkers plan and project through the map.
class MapWalkers final : public WalkerMap {
 public:
  explicit MapWalkers(hexmap::HEXAGON_MAP& map) : map_(map) {}
  void plan(VECTOR2D from, VECTOR2D to, int32_t& found, int32_t& direction) override {
    map_.ASTAR_COMPUTE(from, to, kSearchLimit);
    found = map_.ASTAR_PATH_FOUND;
    direction = map_.ASTAR_FIRST_DIRECTION;
  }
  VECTOR2D cell_centre(VECTOR2D cell) const override {
    return map_.GET_ABS_POSITION_FOR_GRID(cell);
  }

 private:
  hexmap::HEXAGON_MAP& map_;
};

double next_random() {
  return raster::random_unit();
}

}  // namespace

void DemoApp::start_up() {
  map_ = std::make_unique<hexmap::HEXAGON_MAP>();
  DEMO_CHECK(raster::screen_set_mode(kScreenWidth, kScreenHeight, kScreenDepth, 0, 0, 0),
             raster::kIllegalFunctionCall);
  load_sprites(sprites_);
  DEMO_CHECK(raster::bmp_load(kFrameFile, nullptr), load_error(kFrameFile));
  map_->LOAD_MAP(kMapFile);
  map_->SET_CLIP(kViewLeft, kViewTop, kViewRight, kViewBottom);
  seen_.reserve(kMaxSeenCells);
  range_ = std::make_unique<MovementRange>(*map_);
  start_walkers();
}

void DemoApp::start_walkers() {
  WALKER_1.POSITION = kWalker1Start;
  WALKER_1.ABS_POSITION = map_->GET_ABS_POSITION_FOR_GRID(kWalker1Start);
  map_->SET_CAMERA_TO_ABS_POSITION_ON_MAP(WALKER_1.ABS_POSITION);
  WALKER_1.TARGET = WALKER_1.POSITION;
  raster::random_seed(raster::timer_seconds());
  // Without ground in the top-left cells the random search below would never end.
  if (!has_random_cell(*map_)) {
    std::fprintf(stderr,
                 "hexmap_demo: %s gives no cell with ground among the top-left %d x %d cells; "
                 "the wandering walker has nowhere to go\n",
                 kMapFile, kRandomSpan, kRandomSpan);
    std::exit(EXIT_FAILURE);
  }
  WALKER_2.POSITION = random_cell(*map_, next_random);
  WALKER_2.ABS_POSITION = map_->GET_ABS_POSITION_FOR_GRID(WALKER_2.POSITION);
  WALKER_2.TARGET = random_cell(*map_, next_random);
}

void DemoApp::update() {
  read_mouse(MOUSE, MOUSE_PREVIOUS, [](int& x, int& y, int& wheel, int& buttons, int& clip) {
    raster::mouse_state(x, y, wheel, buttons, clip);
  });
  KEY = raster::key_read();
  QUIT = raster::key_down(kEscapeScanCode) | (KEY == kCloseKey ? kTrue : kFalse);
  const MouseResult mouse = mouse_actions(*map_, MOUSE, MOUSE_PREVIOUS);
  if (mouse.target_set) WALKER_1.TARGET = mouse.mouse_grid;
  update_walkers();
  follow_walker();
}

void DemoApp::update_walkers() {
  MapWalkers walkers(*map_);
  update_walker(WALKER_1, kWalker1StepFrames, walkers);
  // A wandering walker found standing on its target gets the next one at once.
  if (update_walker(WALKER_2, kWalker2StepFrames, walkers)) {
    WALKER_2.TARGET = random_cell(*map_, next_random);
  }
  animate_walker(WALKER_1);
  animate_walker(WALKER_2);
}

void DemoApp::follow_walker() {
  if (KEY == kSpaceKey) FOCUS_WALKER_1 = ~FOCUS_WALKER_1;
  const WALKER& followed = FOCUS_WALKER_1 != 0 ? WALKER_1 : WALKER_2;
  map_->SCROLL_AS_CENTER(followed.ABS_POSITION, kCameraSpeed);
}

void DemoApp::draw() {
  raster::screen_lock();
  map_->CLIP_ON();
  raster::screen_clear();
  map_->DRAW();
  // Drawing leaves clipping off; the range, paths and walkers must stay inside the view window.
  map_->CLIP_ON();
  draw_range();
  draw_walkers();
  draw_fog();
  raster::text_locate(kHelpTopRow, 1);
  raster::print_text(kHelpPath, true);
  raster::print_text(kHelpCamera, true);
  raster::text_locate(kHelpBottomRow, 1);
  raster::print_text(kHelpWall, false);
  raster::print_text(kHelpRange, false);
  raster::screen_unlock(-1, -1);
}

void DemoApp::draw_range() {
  if (KEY == kF3Key) {
    SHOW_RANGE = ~SHOW_RANGE;
    if (SHOW_RANGE == 0) range_->hide(*map_);
  }
  if (SHOW_RANGE == 0) return;
  range_->show(*map_, WALKER_1.POSITION);
  map_->FLOODMAP_DRAW_PATH();
}

// Over the walkers too: the wizard out of the hero's sight stands in the fog.
void DemoApp::draw_fog() {
  if (KEY == kF2Key) show_fog_ = !show_fog_;
  if (!show_fog_) return;
  hexmap::field_of_view(*map_, WALKER_1.POSITION, kSightSteps, seen_);
  hexmap::shade_out_of_sight(*map_, seen_);
}

void DemoApp::draw_walkers() {
  if (KEY == kF1Key) SHOW_PATH = ~SHOW_PATH;
  if (SHOW_PATH != 0) {
    // The map keeps one path: each is computed right before it is drawn.
    for (const WALKER* w : {&WALKER_1, &WALKER_2}) {
      map_->ASTAR_COMPUTE(w->POSITION, w->TARGET, kSearchLimit);
      map_->ASTAR_DRAW_PATH();
    }
  }
  // Screen pixels of the anchors.
  const VECTOR2D at_1 = WALKER_1.ABS_POSITION - map_->CAMERA;
  const VECTOR2D at_2 = WALKER_2.ABS_POSITION - map_->CAMERA;
  PUT_SPRITE_SHADOW(sprites_, at_1.X, at_1.Y);
  PUT_SPRITE_SHADOW(sprites_, at_2.X, at_2.Y);
  const auto put_1 = [&] {
    PUT_SPRITE(sprites_, 0, at_1.X, at_1.Y, WALKER_1.FACING, WALKER_1.ANIM_FRAME);
  };
  const auto put_2 = [&] {
    PUT_SPRITE(sprites_, 1, at_2.X, at_2.Y, WALKER_2.FACING, WALKER_2.ANIM_FRAME);
  };
  if (walker_1_drawn_first(WALKER_1, WALKER_2)) {
    put_1();
    put_2();
  } else {
    put_2();
    put_1();
  }
}

void DemoApp::frame() {
  update();
  draw();
}

void DemoApp::pace() {
  DEMO_CHECK(raster::sleep_ms(kFramePauseMs), raster::kIllegalFunctionCall);
}

void DemoApp::shut_down() {
  destroy_sprites(sprites_);
  range_.reset();  // it reads the map
  map_.reset();
  KEY.clear();
}

int DemoApp::run() {
  start_up();
  do {
    frame();
    pace();
  } while (!quit());
  shut_down();
  return 0;
}

}  // namespace demo
