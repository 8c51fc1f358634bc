// Mouse, keys, timer, random numbers and sleep.
#include <cmath>
#include <set>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterInput = Screen;

TEST_F(RasterInput, MouseHasNoReadingUntilThePointerIsSeen) {
  int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
  EXPECT_NE(mouse_state(x, y, wheel, buttons, clip), 0);
  EXPECT_EQ(x, -1);
  EXPECT_EQ(y, -1);
  EXPECT_EQ(wheel, -1);
  EXPECT_EQ(buttons, -1);
  EXPECT_EQ(clip, -1);
  headless::set_mouse(17, 23, 2);
  ASSERT_EQ(mouse_state(x, y, wheel, buttons, clip), 0);
  EXPECT_EQ(x, 17);
  EXPECT_EQ(y, 23);
  EXPECT_EQ(wheel, 0);
  EXPECT_EQ(buttons, 2);
  EXPECT_EQ(clip, 0);
}

TEST_F(RasterInput, KeyDownTakesScanCodesBelow128) {
  EXPECT_EQ(key_down(1), 0);
  headless::set_key_down(1, true);
  headless::set_key_down(127, true);
  headless::set_key_down(128, true);  // ignored, no such key
  EXPECT_EQ(key_down(1), -1);
  EXPECT_EQ(key_down(127), -1);
  EXPECT_EQ(key_down(128), 0);
  EXPECT_EQ(key_down(-1), 0);
  EXPECT_EQ(key_down(1 + 256), 0);
  headless::set_key_down(1, false);
  EXPECT_EQ(key_down(1), 0);
}

TEST_F(RasterInput, KeyReadGivesOneKeyPerCallThenNothing) {
  EXPECT_EQ(key_read(), "");
  headless::push_key("\xFF;");
  headless::push_key(" ");
  const std::string f1 = key_read();
  ASSERT_EQ(f1.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(f1[0]), 255);
  EXPECT_EQ(f1[1], ';');
  EXPECT_EQ(key_read(), " ");
  EXPECT_EQ(key_read(), "");
}

TEST_F(RasterInput, NewModeForgetsOldInput) {
  headless::push_key("a");
  headless::set_key_down(1, true);
  headless::set_mouse(1, 1, 1);
  ASSERT_EQ(screen_set_mode(kWidth, kHeight, 32), 0);
  int x, y, wheel, buttons, clip;
  EXPECT_EQ(key_read(), "");
  EXPECT_EQ(key_down(1), 0);
  EXPECT_NE(mouse_state(x, y, wheel, buttons, clip), 0);
}

TEST(RasterTime, TimerIsMonotonicAndSleepBlocks) {
  const double t0 = timer_seconds();
  EXPECT_EQ(sleep_ms(20), 0);
  const double t1 = timer_seconds();
  EXPECT_GE(t1 - t0, 0.019);
  EXPECT_LT(t1 - t0, 2.0);
  EXPECT_NE(sleep_ms(-1), 0);
  EXPECT_EQ(sleep_ms(0), 0);
  // Millisecond resolution or better: two readings 2 ms apart differ.
  const double a = timer_seconds();
  sleep_ms(2);
  EXPECT_GT(timer_seconds(), a);
}

TEST(RasterRandom, SequenceIsInUnitRangeAndRepeatsForASeed) {
  random_seed(1234.5);
  std::vector<double> first;
  for (int i = 0; i < 1000; ++i)
    first.push_back(random_unit());
  random_seed(1234.5);
  double sum = 0;
  for (int i = 0; i < 1000; ++i) {
    const double v = random_unit();
    EXPECT_EQ(v, first[i]);
    EXPECT_GE(v, 0.0);
    EXPECT_LT(v, 1.0);
    sum += v;
  }
  EXPECT_NEAR(sum / 1000, 0.5, 0.05);
  random_seed(1234.75);
  EXPECT_NE(random_unit(), first[0]);
  EXPECT_EQ(std::set<double>(first.begin(), first.end()).size(), first.size());
}

}  // namespace
}  // namespace raster_test
