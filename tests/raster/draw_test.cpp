// Lines, circles and turtle command strings: exact pixels, clipping, the graphics cursor,
// absurd arguments.
#include <chrono>
#include <cmath>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterDraw = Screen;
constexpr float kFull = 6.2831859f;

// Puts the graphics cursor on screen pixel (x, y) without drawing anything.
void move_cursor(int x, int y) {
  draw_circle(nullptr, static_cast<float>(x), static_cast<float>(y), 0, kWhite);
}

TEST_F(RasterDraw, LinesIncludeBothEndPointsAndLeaveTheCursorOnTheSecond) {
  ASSERT_EQ(draw_line(nullptr, 1, 1, 5, 3, kWhite), 0);
  EXPECT_EQ(picture(0, 0, 7, 5), (Rows{".......", ".#.....", "..##...", "....##.", "......."}));
  ASSERT_EQ(draw_line(nullptr, 2, 9, 0, -4, kWhite, 0xFFFF, 1), 0);  // upwards, relative
  EXPECT_EQ(picture(1, 4, 3, 7), (Rows{"...", ".#.", ".#.", ".#.", ".#.", ".#.", "..."}));
  EXPECT_EQ(cursor(), std::make_pair(2.0f, 5.0f));
  ASSERT_EQ(draw_line(nullptr, 0, 12, 19, 12, kWhite, 0xF0C0), 0);
  EXPECT_EQ(picture(0, 12, 20, 1), Rows{"####....##......####"});
  EXPECT_NE(draw_line(nullptr, 0, 0, 1, 1, kWhite, 0xFFFF, 2), 0);
  EXPECT_NE(draw_line(nullptr, std::nanf(""), 0, 1, 1, kWhite), 0);
  EXPECT_EQ(cursor(), std::make_pair(19.0f, 12.0f)) << "refused calls leave the cursor";
}

TEST_F(RasterDraw, DiscsAndCircles) {
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 5, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(picture(15, 15, 11, 11),
            (Rows{".....#.....", "..#######..", ".#########.", "###########", "###########",
                  "###########", "###########", "###########", ".#########.", "..#######..",
                  ".....#....."}));
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  ASSERT_EQ(draw_circle(nullptr, 50, 20, 5, kWhite), 0);  // the outline of the same circle
  EXPECT_EQ(picture(45, 16, 11, 2), (Rows{"..###.###..", ".#.......#."}));
  EXPECT_EQ(count_not(kBlack), 89 + 28);
  // A radius of 0 or less draws nothing; any positive one shows the centre.
  ASSERT_EQ(draw_circle(nullptr, 80, 50, -3, kWhite, 0, 0, kFull, true), 0);
  ASSERT_EQ(draw_circle(nullptr, 90, 50, 0.3f, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(count_not(kBlack), 89 + 28 + 1);
}

TEST_F(RasterDraw, TurtleArrowHeadsLeaveThePenAndDiagonalsSnapToTheirPixel) {
  move_cursor(20, 20);
  ASSERT_EQ(draw_commands(nullptr, "nh5ne5"), 0);
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  EXPECT_EQ(picture(15, 15, 11, 6), (Rows{"#.........#", ".#.......#.", "..#.....#..",
                                          "...#...#...", "....#.#....", ".....#....."}));
  EXPECT_EQ(count_not(kBlack), 11);
  // H5 takes seven steps from the pixel centre (20.5) to 15.55 and retraces the left stroke;
  // from the snapped pen at 15.5, g1 starts on pixel 15 and adds one pixel.
  ASSERT_EQ(draw_commands(nullptr, "H5g1"), 0);
  EXPECT_EQ(cursor(), std::make_pair(14.0f, 16.0f));
  EXPECT_EQ(count_not(kBlack), 12);
  // Relative moves are the lines from the pen to the offsets.
  move_cursor(30, 60);
  ASSERT_EQ(draw_commands(nullptr, "nm-6,-3nm-1,+7"), 0);
  EXPECT_EQ(cursor(), std::make_pair(30.0f, 60.0f));
  ASSERT_EQ(draw_line(nullptr, 130, 60, -6, -3, kWhite, 0xFFFF, 1), 0);
  ASSERT_EQ(draw_line(nullptr, 130, 60, -1, 7, kWhite, 0xFFFF, 1), 0);
  EXPECT_EQ(picture(24, 57, 7, 11), picture(124, 57, 7, 11));
}

TEST_F(RasterDraw, TurtleWalksBlankMovesAndAbsoluteMoves) {
  move_cursor(10, 10);
  ASSERT_EQ(draw_commands(nullptr, "u3R2 br3 d2 l"), 0);  // a missing n means 1
  EXPECT_EQ(picture(10, 7, 6, 4), (Rows{"###..#", "#....#", "#...##", "#....."}));
  EXPECT_EQ(cursor(), std::make_pair(14.0f, 9.0f));
  ASSERT_EQ(draw_commands(nullptr, "M40,19 BM+0,+2 m+2,0"), 0);
  EXPECT_EQ(picture(40, 19, 3, 3), (Rows{"#..", "...", "###"}));
  EXPECT_EQ(cursor(), std::make_pair(42.0f, 21.0f));
  ASSERT_EQ(draw_commands(nullptr, "bM5r3"), 0);  // a malformed move ends the string
  EXPECT_EQ(cursor(), std::make_pair(42.0f, 21.0f));
}

// Shapes far larger than the screen are cut to the view, not walked pixel by pixel; huge
// turtle counts still move the pen (as far as the coordinate limit).
TEST_F(RasterDraw, HugeShapesTouchOnlyTheViewAndReturnQuickly) {
  const auto start = std::chrono::steady_clock::now();
  move_cursor(150, 150);
  ASSERT_EQ(view_set(100, 100, 199, 199), 0);
  ASSERT_EQ(draw_commands(nullptr, "U99999999999999999999999 F2000000000 bm150,150"), 0);
  EXPECT_EQ(cursor(), std::make_pair(150.0f, 150.0f));
  ASSERT_EQ(draw_line(nullptr, -1e9f, 150, 1e9f, 150, kWhite), 0);
  ASSERT_EQ(draw_line(nullptr, 150, -3e38f, 150, 3e38f, kWhite), 0);
  EXPECT_EQ(picture(99, 150, 102, 1)[0], "." + std::string(100, '#') + ".");
  EXPECT_EQ(count_not(kBlack), 100 + 100 - 1);
  ASSERT_EQ(view_set(10, 10, 29, 19), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 1e9f, kWhite, 0, 0, kFull, true), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 3e38f, kWhite), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(count_not(kBlack), 199 + 20 * 10);
  EXPECT_NE(draw_circle(nullptr, 20, 15, INFINITY, kWhite), 0);
}

}  // namespace
}  // namespace raster_test
