// Mouse, keys, timer, random numbers and sleep.
#include <array>
#include <numeric>
#include <tuple>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterInput = Screen;

// mouse_state's result, then x, y, wheel, buttons and clip.
std::array<int, 6> mouse() {
  std::array<int, 6> m{};
  m[0] = mouse_state(m[1], m[2], m[3], m[4], m[5]);
  return m;
}

TEST_F(RasterInput, ReadingsUntilANewModeForgetsThem) {
  EXPECT_EQ(mouse(), (std::array<int, 6>{mouse()[0], -1, -1, -1, -1, -1}));
  EXPECT_NE(mouse()[0], 0);
  headless::set_mouse(17, 23, 2);
  EXPECT_EQ(mouse(), (std::array<int, 6>{0, 17, 23, 0, 2, 0}));
  for (int code : {1, 127, 128})  // 128 is no key and is ignored
    headless::set_key_down(code, true);
  headless::set_key_down(127, false);
  for (const auto& [code, down] : {std::pair{1, -1}, {127, 0}, {128, 0}, {-1, 0}, {257, 0}})
    EXPECT_EQ(key_down(code), down) << code;
  headless::push_key("\xFF;");
  headless::push_key(" ");
  EXPECT_EQ(key_read(), "\xFF;");
  EXPECT_EQ(key_read(), " ");
  EXPECT_EQ(key_read(), "");
  headless::push_key("a");
  ASSERT_EQ(screen_set_mode(kWidth, kHeight, 32), 0);
  EXPECT_EQ(std::tuple(key_read(), key_down(1), mouse()[1]), std::tuple("", 0, -1));
}

TEST(RasterTime, TimerCountsSecondsAndSleepBlocks) {
  const double t0 = timer_seconds();
  EXPECT_EQ(sleep_ms(20), 0);
  EXPECT_GE(timer_seconds() - t0, 0.019);
  EXPECT_LT(timer_seconds() - t0, 2.0);
  EXPECT_NE(sleep_ms(-1), 0);
}

TEST(RasterRandom, SequenceIsInUnitRangeAndRepeatsForASeed) {
  const auto draw = [](double seed) {
    random_seed(seed);
    std::vector<double> v(1000);
    std::generate(v.begin(), v.end(), random_unit);
    return v;
  };
  const std::vector<double> first = draw(1234.5);
  EXPECT_EQ(draw(1234.5), first);
  EXPECT_NE(draw(1234.75)[0], first[0]);
  EXPECT_GE(*std::min_element(first.begin(), first.end()), 0.0);
  EXPECT_LT(*std::max_element(first.begin(), first.end()), 1.0);
  EXPECT_NEAR(std::accumulate(first.begin(), first.end(), 0.0) / 1000, 0.5, 0.05);
}

}  // namespace
}  // namespace raster_test
