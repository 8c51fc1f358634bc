#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "screen_map.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

// A white 10 x 10 flood panel blended over black shows the opacity A in every colour channel
// (floor(255 * (A + 1) / 256) = A below 255). Camera (-7, -5): cell (x, y)'s tile corner is
// at screen (10 x + 7, 10 y + 5 (x AND 1) + 5).
class FloodDisplay : public testing::ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    load_tiles(10, 10, 1, [](int, int, int) { return 0xFFFFFFFFu; });
    reference::make_open_map(map_, 4, 3);
    map_.FLOODMAP_COMPUTE(1, 1, 1);
    map_.SET_CAMERA(-7, -5);
  }
  int32_t shown_at(int32_t x, int32_t y) const {
    return static_cast<int32_t>(rgb(10 * x + 7, 10 * y + 5 * (x & 1) + 5) & 0xFF);
  }
  // Draws the flood on a cleared screen and reads the opacity it used.
  int32_t draw() {
    raster::screen_clear();
    map_.FLOODMAP_DRAW_PATH();
    return shown_at(1, 1);
  }
};

TEST_F(FloodDisplay, PanelOnReachedCellsWithAPulsingOpacity) {
  // Whatever other tests of this process drew: the pulse reaches its top within 40 calls.
  int calls = 0;
  while (draw() != 200)
    ASSERT_LT(++calls, 40);
  std::vector<int32_t> want;
  for (int32_t a = 193; a > 100; a -= 7)
    want.push_back(a);  // 193 .. 102
  want.push_back(100);
  for (int32_t a = 105; a <= 200; a += 5)
    want.push_back(a);
  want.push_back(193);
  std::vector<int32_t> seen;
  for (size_t i = 0; i < want.size(); ++i)
    seen.push_back(draw());
  EXPECT_EQ(seen, want);

  for (int32_t y = 0; y < map_.MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < map_.MAP_WIDTH; ++x) {
      EXPECT_EQ(shown_at(x, y), map_.GET_ID(x, y).FLOOD > 0 ? 193 : 0) << VECTOR2D(x, y);
    }
  }
}

// The pulse is one per process: a fresh process shows where it starts.
int32_t first_opacity_of_a_run(HEXAGON_MAP& unchecked, HEXAGON_MAP& map) {
  for (int i = 0; i < 3; ++i)
    unchecked.FLOODMAP_DRAW_PATH();  // no screen detected: the pulse stays
  raster::screen_clear();
  map.FLOODMAP_DRAW_PATH();
  return static_cast<int32_t>(raster::screen_ptr()[0] & 0xFF);
}

TEST_F(FloodDisplay, FirstCallOfARunDrawsWithOpacity5) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // re-runs this test in a new process
  map_.FLOODMAP_COMPUTE(0, 0, 0);
  map_.SET_CAMERA(0, 0);
  HEXAGON_MAP unchecked;
  unchecked.LOG_OFF();
  EXPECT_EXIT(std::exit(first_opacity_of_a_run(unchecked, map_)), ::testing::ExitedWithCode(5), "");
}

}  // namespace
}  // namespace hexmap
