// The screen and what comes with it: mode, locking and presentation, clearing, the view, text,
// mouse and keys, timer, random numbers, sleep, and the runtime error report.
#include <unistd.h>

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

TEST_F(RasterScreen, RefusedModesKeepTheScreen) {
  Color* before = screen_ptr();
  for (const auto& [w, h, depth] :
       {std::tuple{0, 400, 32}, {640, -1, 32}, {640, 400, 12}, {100000, 1, 32}, {30000, 30000, 32}})
    EXPECT_NE(screen_set_mode(w, h, depth), 0) << w << "x" << h << "x" << depth;
  EXPECT_EQ(screen_ptr(), before);
}

// Screen rows: nested locks show nothing until the outermost unlock, which shows rows
// first..last inclusive (-1: the first or last row), cut to the screen; input readings inside a
// lock show nothing either.
TEST_F(RasterScreen, UnlockShowsWholeFramesOfTheGivenRows) {
  auto img = make_image(4, 20, kRed);
  for (const auto& [first, last, from, to] :
       {std::tuple{5, 9, 5, 9}, {-1, 2, 0, 2}, {17, 100000, 17, 19}}) {
    ASSERT_EQ(std::pair(screen_lock(), screen_lock()), std::pair(0, 0));
    const int x = 8 * (from + 1);
    ASSERT_EQ(put_image(nullptr, x, 0, img.get(), put_transparent), 0);
    ASSERT_EQ(screen_unlock(), 0);
    EXPECT_EQ(key_read(), "");
    EXPECT_EQ(shown(x, from), kBlack) << from;
    ASSERT_EQ(screen_unlock(first, last), 0);
    for (int row = 0; row < 20; ++row)
      EXPECT_EQ(shown(x, row), row >= from && row <= to ? kRed : kBlack) << row;
  }
  EXPECT_NE(screen_unlock(), 0) << "unbalanced unlock is refused";
}

TEST_F(RasterScreen, ClearAndDrawingHonourTheViewCutToTheScreenUntilANewMode) {
  auto img = make_image(kWidth + 20, kHeight + 20, kRed);
  ASSERT_EQ(put_image(nullptr, 0, 0, img.get(), put_transparent), 0);
  ASSERT_EQ(view_set(30, 20, 10, 5), 0);  // corners in any order, both inclusive
  ASSERT_EQ(screen_clear(), 0);
  EXPECT_EQ(picture(29, 19, 3, 3), (Rows{"..#", "..#", "###"}));
  EXPECT_EQ(count_not(kRed), 21 * 16);
  ASSERT_EQ(view_set(), 0);
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(view_set(700, 10, 800, 20), 0);  // wholly off the screen: nothing is drawable
  ASSERT_EQ(put_image(nullptr, -10, -10, img.get(), put_transparent), 0);
  EXPECT_EQ(count_not(kBlack), 0);
  ASSERT_EQ(screen_set_mode(kWidth, kHeight, 16), 0);
  ASSERT_EQ(put_image(nullptr, -10, -10, img.get(), put_transparent), 0);
  EXPECT_EQ(count_not(kRed), 0) << "a new mode drops the view";
}

// Screen pixels of the text cell (row, column), 1-based.
Rows cell(int row, int column) {
  return Screen::picture((column - 1) * 8, (row - 1) * 8, 8, 8);
}
const Rows kBlank(8, "........");

// Text cells: a glyph is white on black over whatever was in its cell, and characters outside
// printable ASCII are blank. The cursor advances, wraps past column 80, stops at row 50 (no
// scrolling) and stays where it was on a refused locate; text ignores the view.
TEST_F(RasterScreen, TextCellsAndTheTextCursor) {
  ASSERT_EQ(put_image(nullptr, 0, 0, make_image(16, 8, kRed).get(), put_transparent), 0);
  ASSERT_EQ(view_set(100, 100, 110, 110), 0);
  ASSERT_EQ(print_text("A\xC8", false), 0);
  EXPECT_EQ(cell(1, 1), (Rows{"..###...", ".#...#..", ".#...#..", ".#####..", ".#...#..",
                              ".#...#..", ".#...#..", "........"}));
  EXPECT_EQ(std::tuple(at(2, 0), at(0, 0), cell(1, 2)), std::tuple(kWhite, kBlack, kBlank));
  ASSERT_EQ(text_locate(3, 80), 0);
  ASSERT_EQ(print_text("ab", true), 0);  // b wraps to (4, 1); the new line goes to (5, 1)
  for (const auto& [row, column] : {std::pair{0, 1}, {51, 1}, {1, 81}, {1, 0}})
    EXPECT_NE(text_locate(row, column), 0) << row << "," << column;
  ASSERT_EQ(print_text("c", false), 0);
  ASSERT_EQ(text_locate(50, 80), 0);
  ASSERT_EQ(print_text("de", true), 0);  // e wraps to (50, 1), and so does the new line
  ASSERT_EQ(print_text("f", false), 0);
  std::string inked;
  for (const auto& [row, column] :
       {std::pair{3, 80}, {4, 1}, {5, 1}, {50, 80}, {50, 1}, {4, 2}, {5, 2}, {50, 2}, {49, 1}})
    inked += cell(row, column) != kBlank ? '#' : '.';
  EXPECT_EQ(inked, "#####....");
  // Text that flows through the last column writes it before it wraps.
  ASSERT_EQ(text_locate(10, 78), 0);
  ASSERT_EQ(print_text("wxyz", false), 0);
  inked.clear();
  for (const auto& [row, column] : {std::pair{10, 78}, {10, 79}, {10, 80}, {11, 1}, {11, 2}})
    inked += cell(row, column) != kBlank ? '#' : '.';
  EXPECT_EQ(inked, "####.");
}

TEST_F(RasterScreen, MouseReadingsKeysDownAndTheKeyQueue) {
  int m[5] = {};  // x, y, wheel, buttons, clip
  EXPECT_NE(mouse_state(m[0], m[1], m[2], m[3], m[4]), 0) << "no pointer seen yet";
  headless::set_mouse(17, 23, 2);
  EXPECT_EQ(mouse_state(m[0], m[1], m[2], m[3], m[4]), 0);
  EXPECT_EQ(std::vector(m, m + 5), (std::vector{17, 23, 0, 2, 0}));
  for (int code : {1, 127, 128})  // 128 is no key and is ignored
    headless::set_key_down(code, true);
  headless::set_key_down(127, false);
  for (const auto& [code, down] : {std::pair{1, -1}, {127, 0}, {128, 0}, {-1, 0}, {257, 0}})
    EXPECT_EQ(key_down(code), down) << code;
  headless::push_key("\xFF;");
  headless::push_key(" ");
  EXPECT_EQ((std::vector<std::string>{key_read(), key_read(), key_read()}),  // in this order
            (std::vector<std::string>{"\xFF;", " ", ""}));
}

TEST(RasterTime, SleepBlocksAndASeedRepeatsItsSequence) {
  const double t0 = timer_seconds();
  EXPECT_EQ(sleep_ms(20), 0);
  EXPECT_GE(timer_seconds() - t0, 0.019);
  EXPECT_NE(sleep_ms(-1), 0);
  random_seed(1234.5);
  const double first = random_unit();
  random_seed(1234.5);
  EXPECT_EQ(random_unit(), first);
  EXPECT_NE(random_unit(), first);
}

TEST(RasterFatalError, ReportTextInEveryFormAndTheExitStatus) {
  const std::tuple<int, int, const char*, const char*, const char*> forms[] = {
      {6, 120, "demo", "put", " (out of bounds array access) at line 120 of demo::put()"},
      {2, 0, "demo", "main", " (file not found) in demo::main()"},
      {3, 7, "demo", "", " (file I/O error) at line 7 of demo()"},
      {1, 9, "", "main", " (illegal function call) at line 9"},
      {4, -1, "", "", " (out of memory)"},
  };
  for (const auto& [error, line, module, procedure, tail] : forms) {
    EXPECT_EQ(fatal_error_text(error, line, module, procedure),
              "\r\nAborting due to runtime error " + std::to_string(error) + tail + "\r\n\r\n");
  }
  // The child sends its standard output to standard error, where the death test reads it.
  EXPECT_EXIT((dup2(STDERR_FILENO, STDOUT_FILENO), fatal_error(6, 42, "demo", "put")),
              ::testing::ExitedWithCode(6),
              "^\r\nAborting due to runtime error 6 \\(out of bounds array access\\) at line 42 "
              "of demo::put\\(\\)\r\n\r\n$");
}

}  // namespace
}  // namespace raster_test
