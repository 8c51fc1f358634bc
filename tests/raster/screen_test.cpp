// Screen mode, locking and presentation, clearing and the view.
#include <tuple>

#include "test_support.hpp"

namespace raster_test {
namespace {

using RasterScreen = Screen;
using namespace raster;

// Runs in a freshly started copy of the test program, so no screen is open yet.
TEST(RasterNoScreen, EverythingReportsTheMissingScreen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto all_refused = [] {
    int m[5] = {};
    return screen_ptr() == nullptr && image_create(4, 4) == nullptr &&
           mouse_state(m[0], m[1], m[2], m[3], m[4]) != 0 && std::count(m, m + 5, -1) == 5 &&
           key_down(1) == 0 && key_read().empty() && screen_lock() != 0 && screen_clear() != 0 &&
           view_set(0, 0, 1, 1) != 0 && bmp_load("missing.bmp", nullptr) != 0 &&
           text_locate(1, 1) != 0 && put_image(nullptr, 0, 0, nullptr, put_transparent) != 0;
  };
  EXPECT_EXIT(std::exit(all_refused() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST_F(RasterScreen, RefusedModesKeepTheScreenAndANewModeStartsAfresh) {
  Color* before = screen_ptr();
  const int bad[][3] = {{0, 400, 32},  {640, -1, 32},   {640, 400, 12},
                        {640, 400, 0}, {100000, 1, 32}, {30000, 30000, 32}};
  for (const auto& m : bad)
    EXPECT_NE(screen_set_mode(m[0], m[1], m[2]), 0) << m[0] << "x" << m[1] << "x" << m[2];
  // A window that cannot open (no such video driver) is refused the same way.
  ASSERT_EQ(setenv("SDL_VIDEODRIVER", "no-such-driver", 1), 0);
  select_backend(Backend::window);
  EXPECT_NE(screen_set_mode(320, 200, 32), 0);
  select_backend(Backend::headless);
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_EQ(screen_ptr(), before);
  int w = 0, h = 0, depth = 0, bpp = 0, pitch = 0, rate = 0;
  std::string name;
  ASSERT_EQ(screen_info(w, h, depth, bpp, pitch, rate, name), 0);
  EXPECT_EQ(std::tuple(w, pitch, name), std::tuple(kWidth, kWidth * bpp, "headless"));
  // A new mode drops the view: the whole of the new screen is drawable.
  ASSERT_EQ(view_set(2, 2, 3, 3), 0);
  ASSERT_EQ(screen_set_mode(8, 6, 16), 0);
  ASSERT_EQ(put_image(nullptr, 0, 0, make_image(8, 6, kRed).get(), put_transparent), 0);
  EXPECT_EQ(std::count(screen_ptr(), screen_ptr() + 48, kRed), 48);
}

// Screen rows: nested locks show nothing until the outermost unlock, which shows rows
// first..last inclusive (-1: the first or last row), cut to the screen. Unlocked drawing shows
// at the next input reading.
TEST_F(RasterScreen, UnlockShowsWholeFramesOfTheGivenRows) {
  auto img = make_image(4, 20, kRed);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  EXPECT_EQ(key_read(), "");
  EXPECT_EQ(shown(0, 0), kRed);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(put_image(nullptr, 8, 0, img.get(), put_transparent), 0);
  ASSERT_EQ(screen_unlock(), 0);
  EXPECT_EQ(key_read(), "");  // polling inside a lock shows nothing either
  EXPECT_EQ(shown(8, 5), kBlack);
  ASSERT_EQ(screen_unlock(5, 9), 0);
  for (int row = 0; row < 20; ++row)
    EXPECT_EQ(shown(8, row), row >= 5 && row <= 9 ? kRed : kBlack) << row;
  for (const auto& [first, last, row] : {std::tuple{-1, 2, 2}, {17, 100000, 19}}) {
    ASSERT_EQ(screen_lock(), 0);
    ASSERT_EQ(screen_unlock(first, last), 0);
    EXPECT_EQ(shown(8, row), kRed) << row;
  }
  EXPECT_NE(screen_unlock(), 0) << "unbalanced unlock is refused";
}

TEST_F(RasterScreen, ClearAndDrawingHonourTheViewCutToTheScreen) {
  auto img = make_image(kWidth + 20, kHeight + 20, kRed);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  ASSERT_EQ(view_set(30, 20, 10, 5), 0);  // corners in any order, both inclusive
  ASSERT_EQ(screen_clear(), 0);
  EXPECT_EQ(count_not(kRed), 21 * 16);
  EXPECT_EQ(picture(29, 19, 3, 3), (Rows{"..#", "..#", "###"}));
  ASSERT_EQ(view_set(), 0);
  ASSERT_EQ(screen_clear(), 0);
  EXPECT_EQ(count_not(kBlack), 0);
  ASSERT_EQ(view_set(700, 10, 800, 20), 0);  // wholly off the screen: nothing is drawable
  ASSERT_EQ(put_image(nullptr, -10, -10, img.get(), put_transparent), 0);
  EXPECT_EQ(count_not(kBlack), 0);
}

}  // namespace
}  // namespace raster_test
