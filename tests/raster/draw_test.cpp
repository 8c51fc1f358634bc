// Lines and circles: exact pixels, clipping, the graphics cursor, absurd arguments.
#include <chrono>
#include <cmath>
#include <numbers>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterDraw = Screen;

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

TEST_F(RasterDraw, CirclesDiscsEllipsesAndArcs) {
  constexpr float kFull = 6.2831859f;
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 5, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(picture(15, 15, 11, 11),
            (Rows{".....#.....", "..#######..", ".#########.", "###########", "###########",
                  "###########", "###########", "###########", ".#########.", "..#######..",
                  ".....#....."}));
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  ASSERT_EQ(draw_circle(nullptr, 50, 20, 5, kWhite), 0);  // the outline of the same circle
  EXPECT_EQ(picture(45, 16, 11, 2), (Rows{"..###.###..", ".#.......#."}));
  EXPECT_EQ(count_not(kBlack), 89 + 28);
  // Aspect is vertical over horizontal radius; angles run counter-clockwise from the right.
  ASSERT_EQ(draw_circle(nullptr, 80, 20, 4, kWhite, 0.5f, 0, kFull, true), 0);
  EXPECT_EQ(picture(75, 18, 11, 5),
            (Rows{".....#.....", "..#######..", ".#########.", "..#######..", ".....#....."}));
  ASSERT_EQ(draw_circle(nullptr, 110, 20, 5, kWhite, 0, 0, std::numbers::pi_v<float>, false), 0);
  EXPECT_EQ(picture(105, 15, 11, 1)[0], ".....#.....");
  EXPECT_EQ(picture(105, 21, 11, 5), Rows(5, "...........")) << "upper half only";
  // A radius of 0 or less draws nothing but moves the cursor; any positive one shows the centre.
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(draw_circle(nullptr, 50, 50, -3, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(std::pair(cursor(), count_not(kBlack)), std::pair(std::make_pair(50.0f, 50.0f), 0));
  ASSERT_EQ(draw_circle(nullptr, 50, 50, 0.3f, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(count_not(kBlack), 1);
}

// Lines and circles far larger than the screen are cut to the view, not walked pixel by pixel.
TEST_F(RasterDraw, HugeShapesTouchOnlyTheViewAndReturnQuickly) {
  ASSERT_EQ(view_set(100, 100, 199, 199), 0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(draw_line(nullptr, -1e9f, 150, 1e9f, 150, kWhite), 0);
  ASSERT_EQ(draw_line(nullptr, 150, -3e38f, 150, 3e38f, kWhite), 0);
  EXPECT_EQ(picture(99, 150, 102, 1)[0], "." + std::string(100, '#') + ".");
  EXPECT_EQ(count_not(kBlack), 100 + 100 - 1);
  ASSERT_EQ(view_set(10, 10, 29, 19), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 1e9f, kWhite, 0, 0, 6.2831859f, true), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 3e38f, kWhite), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 1e6f, kWhite, 0, 1, 2, true), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(count_not(kBlack), 199 + 20 * 10);
  EXPECT_NE(draw_circle(nullptr, 20, 15, INFINITY, kWhite), 0);
}

}  // namespace
}  // namespace raster_test
