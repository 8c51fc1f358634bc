// Lines and circles: exact pixels, clipping, the graphics cursor, absurd arguments.
#include <chrono>
#include <limits>
#include <numbers>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterDraw = Screen;
using Rows = std::vector<std::string>;

constexpr Color kWhite = 0xFFFFFFFF;
constexpr float kFull = 6.2831859f;

TEST_F(RasterDraw, LinesIncludeBothEndPointsInEitherDirection) {
  ASSERT_EQ(draw_line(nullptr, 1, 1, 5, 3, kWhite), 0);
  EXPECT_EQ(picture(0, 0, 7, 5), (Rows{".......", ".#.....", "..##...", "....##.", "......."}));
  EXPECT_EQ(cursor(), std::make_pair(5.0f, 3.0f));
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(draw_line(nullptr, 2, 4, 2, 0, kWhite), 0);  // vertical, upwards
  EXPECT_EQ(picture(1, 0, 3, 6), (Rows{".#.", ".#.", ".#.", ".#.", ".#.", "..."}));
}

TEST_F(RasterDraw, RelativeSecondPointAndStylePattern) {
  ASSERT_EQ(draw_line(nullptr, 10, 10, 3, -2, kWhite, 0xFFFF, 1), 0);
  EXPECT_EQ(at(10, 10), kWhite);
  EXPECT_EQ(at(13, 8), kWhite);
  EXPECT_EQ(count_not(0xFF000000), 4);
  EXPECT_EQ(cursor(), std::make_pair(13.0f, 8.0f));
  ASSERT_EQ(screen_clear(), 0);
  ASSERT_EQ(draw_line(nullptr, 0, 0, 19, 0, kWhite, 0xF0C0), 0);
  EXPECT_EQ(picture(0, 0, 20, 1), Rows{"####....##......####"});
  EXPECT_NE(draw_line(nullptr, 0, 0, 1, 1, kWhite, 0xFFFF, 2), 0);
  EXPECT_NE(draw_line(nullptr, std::numeric_limits<float>::quiet_NaN(), 0, 1, 1, kWhite), 0);
  EXPECT_EQ(cursor(), std::make_pair(19.0f, 0.0f)) << "refused calls leave the cursor";
}

TEST_F(RasterDraw, CircleOutlineAndDisc) {
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 5, kWhite, 0, 0, kFull, false), 0);
  const Rows ring{".....#.....", "..###.###..", ".#.......#.", "#.........#",
                  "#.........#", "#.........#", "#.........#", "#.........#",
                  ".#.......#.", "..###.###..", ".....#....."};
  EXPECT_EQ(picture(15, 15, 11, 11), ring);
  EXPECT_EQ(cursor(), std::make_pair(20.0f, 20.0f));
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 5, kWhite, 0, 0, kFull, true), 0);
  const Rows disc{".....#.....", "..#######..", ".#########.", "###########",
                  "###########", "###########", "###########", "###########",
                  ".#########.", "..#######..", ".....#....."};
  EXPECT_EQ(picture(15, 15, 11, 11), disc);
}

TEST_F(RasterDraw, CircleRadiusAspectAndArc) {
  ASSERT_EQ(draw_circle(nullptr, 50, 50, 0, kWhite), 0);
  ASSERT_EQ(draw_circle(nullptr, 50, 50, -3, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(count_not(0xFF000000), 0);
  EXPECT_EQ(cursor(), std::make_pair(50.0f, 50.0f));
  ASSERT_EQ(draw_circle(nullptr, 50, 50, 0.3f, kWhite, 0, 0, kFull, true), 0);
  EXPECT_EQ(count_not(0xFF000000), 1) << "any positive radius shows the centre";
  ASSERT_EQ(screen_clear(), 0);
  // Aspect is vertical over horizontal radius: 0.5 gives a flat ellipse.
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 4, kWhite, 0.5f, 0, kFull, true), 0);
  EXPECT_EQ(picture(15, 17, 11, 7),
            (Rows{"...........", ".....#.....", "..#######..", ".#########.", "..#######..",
                  ".....#.....", "..........."}));
  ASSERT_EQ(screen_clear(), 0);
  // Upper half only: angles run counter-clockwise from the right with y pointing up.
  ASSERT_EQ(draw_circle(nullptr, 20, 20, 5, kWhite, 0, 0, std::numbers::pi_v<float>, false), 0);
  EXPECT_EQ(picture(15, 15, 11, 1)[0], ".....#.....");
  EXPECT_EQ(picture(15, 21, 11, 5), Rows(5, "..........."));
}

// Lines and circles far larger than the screen are cut to the view, not walked pixel by pixel.
TEST_F(RasterDraw, HugeShapesTouchOnlyTheViewAndReturnQuickly) {
  ASSERT_EQ(view_set(100, 100, 199, 199), 0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(draw_line(nullptr, -1e9f, 150, 1e9f, 150, kWhite), 0);
  ASSERT_EQ(draw_line(nullptr, 150, -3e38f, 150, 3e38f, kWhite), 0);
  EXPECT_EQ(count_not(0xFF000000), 100 + 100 - 1);
  EXPECT_EQ(picture(99, 150, 102, 1)[0], "." + std::string(100, '#') + ".");
  ASSERT_EQ(view_set(10, 10, 29, 19), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 1e9f, kWhite, 0, 0, kFull, true), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 3e38f, kWhite, 0, 0, kFull, false), 0);
  ASSERT_EQ(draw_circle(nullptr, 20, 15, 1e6f, kWhite, 0, 1, 2, true), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(count_not(0xFF000000), 199 + 20 * 10);
  EXPECT_NE(draw_circle(nullptr, 20, 15, std::numeric_limits<float>::infinity(), kWhite), 0);
}

}  // namespace
}  // namespace raster_test
