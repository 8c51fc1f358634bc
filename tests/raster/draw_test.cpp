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

// Shapes far larger than the screen are cut to the view, not walked pixel by pixel.
TEST_F(RasterDraw, LinesIncludeBothEndsLeaveTheCursorOnTheSecondAndAreCutToTheView) {
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(draw_line(nullptr, 1, 1, 5, 3, kWhite), 0);
  EXPECT_EQ(picture(0, 0, 7, 5), (Rows{".......", ".#.....", "..##...", "....##.", "......."}));
  ASSERT_EQ(draw_line(nullptr, 2, 9, 0, -4, kWhite, 0xFFFF, 1), 0);  // upwards, relative
  EXPECT_EQ(picture(1, 4, 3, 7), (Rows{"...", ".#.", ".#.", ".#.", ".#.", ".#.", "..."}));
  EXPECT_NE(draw_line(nullptr, 0, 0, 1, 1, kWhite, 0xFFFF, 2), 0);
  EXPECT_NE(draw_line(nullptr, std::nanf(""), 0, 1, 1, kWhite), 0);
  EXPECT_EQ(cursor(), std::make_pair(2.0f, 5.0f)) << "the second point; refusals keep it";
  ASSERT_EQ(view_set(100, 100, 199, 199), 0);
  ASSERT_EQ(draw_line(nullptr, -1e9f, 150, 1e9f, 150, kWhite), 0);
  ASSERT_EQ(draw_line(nullptr, 150, -3e38f, 150, 3e38f, kWhite), 0);
  EXPECT_EQ(count_not(kBlack), 5 + 5 + 199);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(RasterDraw, DiscsAndCirclesHugeOrTiny) {
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 5, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(picture(15, 15, 11, 11),
            (Rows{".....#.....", "..#######..", ".#########.", "###########", "###########",
                  "###########", "###########", "###########", ".#########.", "..#######..",
                  ".....#....."}));
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  ASSERT_EQ(draw_circle(nullptr, 50, 20, 5, kWhite), 0);  // the outline of the same circle
  EXPECT_EQ(picture(45, 16, 11, 2), (Rows{"..###.###..", ".#.......#."}));
  ASSERT_EQ(draw_circle(nullptr, 80, 50, -3, kWhite, 0, 0, kFull, true), 0);    // nothing
  ASSERT_EQ(draw_circle(nullptr, 90, 50, 0.3f, kWhite, 0, 0, kFull, true), 0);  // the centre
  EXPECT_EQ(count_not(kBlack), 89 + 28 + 1);
  ASSERT_EQ(view_set(10, 100, 29, 109), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 105, 1e9f, kWhite, 0, 0, kFull, true), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 105, 3e38f, kWhite), 0);
  EXPECT_EQ(count_not(kBlack), 89 + 28 + 1 + 20 * 10);
  EXPECT_NE(draw_circle(nullptr, 20, 15, INFINITY, kWhite), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Screen pixels: diagonal walks of n take n * sqrt(2) unit steps, so h5 from pixel 20 ends on
// pixel 15; after a command the pen sits at the centre of its end's pixel. Huge counts still move
// the pen, as far as the coordinate limit, but plot only inside the view.
TEST_F(RasterDraw, TurtleCommandsDrawFromTheCursor) {
  draw_circle(nullptr, 20, 20, 0, kWhite);  // moves the cursor, draws nothing
  ASSERT_EQ(draw_commands(nullptr, "nh5ne5"), 0);
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  EXPECT_EQ(picture(15, 15, 11, 6), (Rows{"#.........#", ".#.......#.", "..#.....#..",
                                          "...#...#...", "....#.#....", ".....#....."}));
  ASSERT_EQ(draw_commands(nullptr, "bm10,10 u3R2 br3 d2 l"), 0);  // a missing n means 1
  EXPECT_EQ(picture(10, 7, 6, 4), (Rows{"###..#", "#....#", "#...##", "#....."}));
  ASSERT_EQ(draw_commands(nullptr, "M40,19 BM+0,+2 m+2,0 bM5r3"), 0);  // a bad M ends it all
  EXPECT_EQ(picture(40, 19, 3, 3), (Rows{"#..", "...", "###"}));
  EXPECT_EQ(cursor(), std::make_pair(42.0f, 21.0f));
  const int before = count_not(kBlack);
  ASSERT_EQ(view_set(100, 100, 199, 199), 0);
  ASSERT_EQ(draw_commands(nullptr, "bm150,150 U99999999999999 F2000000000 bm150,150"), 0);
  EXPECT_EQ(std::pair(cursor(), count_not(kBlack)),
            std::pair(std::make_pair(150.0f, 150.0f), before + 51));
}

}  // namespace
}  // namespace raster_test
