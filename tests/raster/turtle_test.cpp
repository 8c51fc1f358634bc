// Turtle command strings: walks, moves, prefixes, the cursor, and malformed strings.
#include <chrono>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterTurtle = Screen;
using Rows = std::vector<std::string>;

constexpr Color kWhite = 0xFFFFFFFF;

// Puts the graphics cursor on screen pixel (x, y) without drawing anything.
void move_cursor(int x, int y) {
  draw_circle(nullptr, static_cast<float>(x), static_cast<float>(y), 0, kWhite);
}

TEST_F(RasterTurtle, ArrowHeadLeavesTheCursorWhereItWas) {
  move_cursor(20, 20);
  ASSERT_EQ(draw_commands(nullptr, "nh5ne5"), 0);
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  EXPECT_EQ(picture(15, 15, 11, 6), (Rows{"#.........#", ".#.......#.", "..#.....#..",
                                          "...#...#...", "....#.#....", ".....#....."}));
  EXPECT_EQ(count_not(0xFF000000), 11);
}

TEST_F(RasterTurtle, DiagonalWalkTakesSevenStepsAndSnapsToItsPixel) {
  move_cursor(20, 20);
  ASSERT_EQ(draw_commands(nullptr, "H5"), 0);
  EXPECT_EQ(cursor(), std::make_pair(15.0f, 15.0f));
  for (int k = 0; k <= 5; ++k)
    EXPECT_EQ(at(20 - k, 20 - k), kWhite) << k;
  EXPECT_EQ(count_not(0xFF000000), 6);
  // Seven steps from the pixel centre (20.5) reach 15.55; from the snapped pen at 15.5 the
  // next stroke starts on pixel 15.
  ASSERT_EQ(draw_commands(nullptr, "g1"), 0);
  EXPECT_EQ(cursor(), std::make_pair(14.0f, 16.0f));
}

TEST_F(RasterTurtle, RelativeMovesDrawLinesAndReturnToThePen) {
  move_cursor(30, 30);
  ASSERT_EQ(draw_commands(nullptr, "nm-6,-3nm-1,+7"), 0);
  EXPECT_EQ(cursor(), std::make_pair(30.0f, 30.0f));
  const std::vector<Color> turtle(screen_ptr(), screen_ptr() + kWidth * kHeight);
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(draw_line(nullptr, 30, 30, 24, 27, kWhite), 0);
  ASSERT_EQ(draw_line(nullptr, 30, 30, 29, 37, kWhite), 0);
  EXPECT_TRUE(std::equal(turtle.begin(), turtle.end(), screen_ptr()));
}

TEST_F(RasterTurtle, WalksBlankMovesAndAbsoluteMoves) {
  move_cursor(10, 10);
  ASSERT_EQ(draw_commands(nullptr, "u3R2"), 0);
  EXPECT_EQ(picture(10, 7, 3, 4), (Rows{"###", "#..", "#..", "#.."}));
  EXPECT_EQ(cursor(), std::make_pair(12.0f, 7.0f));
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(draw_commands(nullptr, "br3 d2 l"), 0);  // missing n means 1
  EXPECT_EQ(picture(14, 7, 2, 3), (Rows{".#", ".#", "##"}));
  EXPECT_EQ(count_not(0xFF000000), 4);
  EXPECT_EQ(cursor(), std::make_pair(14.0f, 9.0f));
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(draw_commands(nullptr, "M40,9 BM+0,+2 m+2,0"), 0);
  EXPECT_EQ(at(40, 9), kWhite);
  EXPECT_EQ(at(40, 10), 0xFF000000u);
  EXPECT_EQ(picture(40, 11, 3, 1), Rows{"###"});
  EXPECT_EQ(cursor(), std::make_pair(42.0f, 11.0f));
}

TEST_F(RasterTurtle, MalformedAndHugeStringsAreSafe) {
  move_cursor(100, 100);
  const auto start = std::chrono::steady_clock::now();
  // Huge counts still move the pen (as far as the coordinate limit) but plot only on-screen.
  ASSERT_EQ(draw_commands(nullptr, "U99999999999999999999999"), 0);
  EXPECT_LT(cursor().second, -1e8f);
  EXPECT_EQ(count_not(0xFF000000), 101);
  move_cursor(100, 100);
  ASSERT_EQ(draw_commands(nullptr, "F2000000000 E2000000000 bm100,100 nM-99999999999,+5"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(cursor(), std::make_pair(100.0f, 100.0f));
  // A malformed move ends the string: nothing after it runs.
  move_cursor(50, 50);
  ASSERT_EQ(draw_commands(nullptr, "bM5r3"), 0);
  EXPECT_EQ(cursor(), std::make_pair(50.0f, 50.0f));
}

}  // namespace
}  // namespace raster_test
