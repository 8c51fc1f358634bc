// The flood panel's pulsing opacity, across calls and at the start of a process; where the
// panel goes is in the whole-frame picture.
#include "screen_map.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap::testing {
namespace {

// A white 10 x 10 flood panel blended over black shows the opacity A in every colour channel
// (floor(255 * (A + 1) / 256) = A below 255); cell (0,0)'s tile corner is screen (0,0).
class FloodDisplay : public ScreenMap {
 protected:
  void SetUp() override {
    ScreenMap::SetUp();
    load_tiles(10, 10, 1, [](int, int, int) { return 0xFFFFFFFFu; });
    reference::make_open_map(map_, 4, 3);
    map_.FLOODMAP_COMPUTE(0, 0, 1);
  }
  // Draws the flood on a cleared screen and reads the opacity it used.
  int32_t draw() {
    raster::screen_clear();
    map_.FLOODMAP_DRAW_PATH();
    return static_cast<int32_t>(rgb(0, 0) & 0xFF);
  }
};

// Down by 7 from the top to no less than 100, then up by 5 to 200, and down again.
TEST_F(FloodDisplay, OpacityPulsesBetween100And200) {
  // Whatever other tests of this process drew: the pulse reaches its top within 40 calls.
  for (int calls = 0; draw() != 200; ++calls)
    ASSERT_LT(calls, 40);
  std::vector<int32_t> want;
  for (int32_t a = 193; a > 100; a -= 7)
    want.push_back(a);
  want.push_back(100);
  for (int32_t a = 105; a <= 200; a += 5)
    want.push_back(a);
  want.push_back(193);
  std::vector<int32_t> seen;
  for (size_t i = 0; i < want.size(); ++i)
    seen.push_back(draw());
  EXPECT_EQ(seen, want);
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
  HEXAGON_MAP unchecked;
  unchecked.LOG_OFF();
  EXPECT_EXIT(std::exit(first_opacity_of_a_run(unchecked, map_)), ::testing::ExitedWithCode(5), "");
}

}  // namespace
}  // namespace hexmap::testing
