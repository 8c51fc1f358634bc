// Screen mode, locking and presentation, clearing and the view.
#include <string>

#include "test_support.hpp"

namespace raster_test {
namespace {

using RasterScreen = Screen;

using namespace raster;

constexpr Color kWhite = 0xFFFFFFFF;
constexpr Color kBlack = 0xFF000000;
constexpr Color kRed = 0xFFFF0000;

bool everything_reports_the_missing_screen() {
  int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
  return screen_ptr() == nullptr && image_create(4, 4) == nullptr &&
         mouse_state(x, y, wheel, buttons, clip) != 0 && x == -1 && y == -1 && wheel == -1 &&
         buttons == -1 && clip == -1 && key_down(1) == 0 && key_read().empty() &&
         screen_lock() != 0 && screen_clear() != 0 && view_set(0, 0, 1, 1) != 0 &&
         bmp_load("missing.bmp", nullptr) != 0 &&
         put_image(nullptr, 0, 0, nullptr, put_transparent) != 0;
}

// Runs in a freshly started copy of the test program, so no screen is open yet.
TEST(RasterNoScreen, EverythingReportsTheMissingScreen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(everything_reports_the_missing_screen() ? 0 : 1),
              ::testing::ExitedWithCode(0), "");
}

// The reported width and driver, which refused modes must leave as they were.
std::pair<int, std::string> width_and_driver() {
  int w = 0, h = 0, depth = 0, bpp = 0, pitch = 0, rate = 0;
  std::string name;
  EXPECT_EQ(screen_info(w, h, depth, bpp, pitch, rate, name), 0);
  EXPECT_EQ(pitch, w * bpp);
  return {w, name};
}

TEST_F(RasterScreen, RefusedModesKeepTheScreen) {
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
  EXPECT_EQ(width_and_driver(), std::make_pair(kWidth, std::string("headless")));
}

TEST_F(RasterScreen, EveryListedDepthOpensAndANewModeDropsTheView) {
  for (int depth : {1, 2, 4, 8, 15, 16, 24, 32})
    EXPECT_EQ(screen_set_mode(8, 6, depth), 0);
  ASSERT_EQ(view_set(2, 2, 3, 3), 0);
  ASSERT_EQ(screen_set_mode(8, 6, 32), 0);
  EXPECT_EQ(width_and_driver().first, 8);
  auto img = make_filled(8, 6, kRed);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  EXPECT_EQ(std::count(screen_ptr(), screen_ptr() + 48, kRed), 48);
}

TEST_F(RasterScreen, NestedLocksShowOnlyWholeFramesAtTheOutermostUnlock) {
  auto img = make_filled(10, 10, kRed);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(put_image(nullptr, 5, 5, img.get(), put_transparent), 0);
  EXPECT_EQ(at(5, 5), kRed);
  ASSERT_EQ(screen_unlock(), 0);  // inner: still nothing shown
  int x, y, wheel, buttons, clip;
  mouse_state(x, y, wheel, buttons, clip);  // polling inside a lock shows nothing either
  EXPECT_EQ(shown(5, 5), kBlack);
  ASSERT_EQ(screen_unlock(-1, -1), 0);
  EXPECT_EQ(shown(14, 14), kRed);
  EXPECT_EQ(shown(15, 15), kBlack);
  EXPECT_NE(screen_unlock(), 0) << "unbalanced unlock is refused";
}

TEST_F(RasterScreen, UnlockShowsOnlyTheGivenLines) {
  auto img = make_filled(4, 20, kRed);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  ASSERT_EQ(screen_unlock(5, 9), 0);  // screen rows 5..9 inclusive
  for (int y = 0; y < 20; ++y)
    EXPECT_EQ(shown(0, y), y >= 5 && y <= 9 ? kRed : kBlack) << y;
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(screen_unlock(-1, 2), 0);  // -1 first line is row 0
  EXPECT_EQ(shown(0, 2), kRed);
  EXPECT_EQ(shown(0, 3), kBlack);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(screen_unlock(17, 100000), 0);  // out-of-range rows are cut to the screen
  EXPECT_EQ(shown(0, 19), kRed);
}

TEST_F(RasterScreen, UnlockedDrawingBecomesVisibleWithoutALock) {
  auto img = make_filled(3, 3, kRed);
  ASSERT_EQ(put_image(nullptr, 1, 1, img.get(), put_transparent), 0);
  EXPECT_EQ(shown(2, 2), kRed);
  // Drawn before a lock, shown when the frame starts, but later drawing waits for the unlock.
  ASSERT_EQ(draw_line(nullptr, 0, 50, 9, 50, kWhite), 0);
  ASSERT_EQ(screen_lock(), 0);
  ASSERT_EQ(draw_line(nullptr, 0, 60, 9, 60, kWhite), 0);
  EXPECT_EQ(shown(4, 50), kWhite);
  EXPECT_EQ(shown(4, 60), kBlack);
  ASSERT_EQ(screen_unlock(), 0);
  EXPECT_EQ(shown(4, 60), kWhite);
}

TEST_F(RasterScreen, ClearAndDrawingHonourTheViewCutToTheScreen) {
  auto img = make_filled(kWidth + 20, kHeight + 20, kRed);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  ASSERT_EQ(view_set(30, 20, 10, 5), 0);  // corners in any order, both inclusive
  ASSERT_EQ(screen_clear(), 0);
  EXPECT_EQ(count_not(kRed), 21 * 16);
  EXPECT_EQ(picture(9, 4, 3, 3), (std::vector<std::string>{"###", "#..", "#.."}));
  EXPECT_EQ(picture(29, 19, 3, 3), (std::vector<std::string>{"..#", "..#", "###"}));
  ASSERT_EQ(view_set(), 0);
  ASSERT_EQ(screen_clear(), 0);
  EXPECT_EQ(count_not(kBlack), 0);
  ASSERT_EQ(view_set(-50, -50, 5, 3), 0);
  ASSERT_EQ(put_image(nullptr, -10, -10, img.get(), put_transparent), 0);
  EXPECT_EQ(count_not(kBlack), 6 * 4);
  ASSERT_EQ(view_set(), 0);
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(view_set(700, 10, 800, 20), 0);  // wholly off the screen: nothing is drawable
  ASSERT_EQ(put_image(nullptr, -10, -10, img.get(), put_transparent), 0);
  ASSERT_EQ(draw_line(nullptr, 0, 0, 639, 399, kWhite), 0);
  ASSERT_EQ(screen_clear(), 0);
  EXPECT_EQ(count_not(kBlack), 0);
}

}  // namespace
}  // namespace raster_test
