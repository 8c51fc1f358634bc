// Turtle command strings: walks, moves, prefixes, the cursor, and malformed strings.
#include <chrono>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterTurtle = Screen;

// Puts the graphics cursor on screen pixel (x, y) without drawing anything.
void move_cursor(int x, int y) {
  draw_circle(nullptr, static_cast<float>(x), static_cast<float>(y), 0, kWhite);
}

TEST_F(RasterTurtle, ArrowHeadsAndDiagonalWalks) {
  move_cursor(20, 20);
  ASSERT_EQ(draw_commands(nullptr, "nh5ne5"), 0);
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  EXPECT_EQ(picture(15, 15, 11, 6), (Rows{"#.........#", ".#.......#.", "..#.....#..",
                                          "...#...#...", "....#.#....", ".....#....."}));
  EXPECT_EQ(count_not(kBlack), 11);
  // Seven steps from the pixel centre (20.5) reach 15.55; from the snapped pen at 15.5 the
  // next stroke starts on pixel 15.
  ASSERT_EQ(draw_commands(nullptr, "H5g1"), 0);
  EXPECT_EQ(cursor(), std::make_pair(14.0f, 16.0f));
  EXPECT_EQ(count_not(kBlack), 11 + 1);  // H5 retraces the left stroke; g1 adds one pixel
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
  ASSERT_EQ(draw_commands(nullptr, "u3R2 br3 d2 l"), 0);  // a missing n means 1
  EXPECT_EQ(picture(10, 7, 6, 4), (Rows{"###..#", "#....#", "#...##", "#....."}));
  EXPECT_EQ(cursor(), std::make_pair(14.0f, 9.0f));
  ASSERT_EQ(draw_commands(nullptr, "M40,19 BM+0,+2 m+2,0"), 0);
  EXPECT_EQ(picture(40, 19, 3, 3), (Rows{"#..", "...", "###"}));
  EXPECT_EQ(cursor(), std::make_pair(42.0f, 21.0f));
}

TEST_F(RasterTurtle, MalformedAndHugeStringsAreSafe) {
  move_cursor(100, 100);
  const auto start = std::chrono::steady_clock::now();
  // Huge counts still move the pen (as far as the coordinate limit) but plot only on-screen.
  ASSERT_EQ(draw_commands(nullptr, "U99999999999999999999999"), 0);
  EXPECT_LT(cursor().second, -1e8f);
  EXPECT_EQ(count_not(kBlack), 101);
  move_cursor(100, 100);
  ASSERT_EQ(draw_commands(nullptr, "F2000000000 E2000000000 bm100,100 nM-99999999999,+5"), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(cursor(), std::make_pair(100.0f, 100.0f));
  ASSERT_EQ(draw_commands(nullptr, "bM5r3"), 0);  // a malformed move ends the string
  EXPECT_EQ(cursor(), std::make_pair(100.0f, 100.0f));
}

}  // namespace
}  // namespace raster_test
