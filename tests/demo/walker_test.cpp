#include "demo/walker.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "demo/sprite.hpp"
#include "raster/raster.hpp"

namespace demo {
namespace {

// The demo's tile geometry (box 28 x 32, tile 36 wide): cell centres in map pixels.
VECTOR2D centre(VECTOR2D cell) {
  return {cell.X * 28 + 18, cell.Y * 32 + 16 + (cell.X & 1) * 16};
}

// Plans one fixed direction (or none, -1) and counts the searches.
struct FixedPlan final : WalkerMap {
  explicit FixedPlan(int32_t d) : direction(d) {}
  void plan(VECTOR2D, VECTOR2D, int32_t& found, int32_t& d) override {
    ++searches;
    found = direction >= 0 ? kTrue : kFalse;
    d = direction;
  }
  VECTOR2D cell_centre(VECTOR2D cell) const override { return centre(cell); }
  int32_t direction;
  int searches = 0;
};

TEST(WalkerInterpolation, QuotientFirstThenFloor) {
  // (delta, frames, count, pixels): -60 / 50 * 25 is just below -30 with a 64-bit mantissa.
  for (const auto& [delta, frames, count, pixels] :
       {std::tuple{-60, 50, 25, -31}, {60, 50, 25, 30}, {48, 40, 39, 46}, {0, 50, 10, 0}})
    EXPECT_EQ(interpolate(delta, frames, count), pixels) << delta << " " << frames << " " << count;
}

// Grid cells: a step (the planning frame, then kWalker2StepFrames frames) ends exactly on the
// new cell after one search; a step without a path ends where it began.
TEST(WalkerStep, EndsExactlyOnTheNewCellFromEvenAndOddColumns) {
  const std::tuple<VECTOR2D, int32_t, VECTOR2D> steps[] = {
      {{2, 5}, 5, {1, 4}}, {{3, 5}, 5, {2, 5}}, {{3, 5}, 1, {4, 5}},
      {{4, 4}, 2, {5, 4}}, {{5, 4}, 0, {5, 3}}, {{5, 4}, -1, {5, 4}}};
  for (const auto& [from, direction, to] : steps) {
    FixedPlan plan(direction);
    WALKER w;
    w.POSITION = from;
    w.TARGET = {20, 20};
    for (int f = 0; f < kWalker2StepFrames; ++f)
      update_walker(w, kWalker2StepFrames, plan);
    EXPECT_EQ(w.POSITION, from) << "one frame early";
    update_walker(w, kWalker2StepFrames, plan);
    EXPECT_EQ(std::tuple(w.POSITION, w.ABS_POSITION, w.MOVING, plan.searches),
              std::tuple(to, centre(to), kFalse, 1))
        << from << " " << direction;
  }
}

// Frame 0 plans (tick 1), so the walk frame flips on frames 10, 21 and 32 of the step.
TEST(WalkerAnimation, FrameChangesEveryElevenFramesOfARealStepAndFacingFollows) {
  FixedPlan plan(2);
  WALKER w;
  w.TARGET = {1, 0};
  std::string frames;
  for (int f = 0; f <= kWalker1StepFrames; ++f) {
    update_walker(w, kWalker1StepFrames, plan);
    animate_walker(w);
    frames += static_cast<char>('0' + w.ANIM_FRAME + 2 * w.FACING);  // facing 2: '4' or '5'
  }
  EXPECT_EQ(frames, std::string(10, '4') + std::string(11, '5') + std::string(11, '4') +
                        std::string(9, '5'));
}

// Screen pixels: a sprite anchored at (100, 100) covers (88, 74)-(111, 106), inclusive.
// The walker lower on the screen is drawn last; on equal Y, WALKER_1 is.
TEST(WalkerDrawing, DepthOrderPutsWalker1LastOnEqualY) {
  WALKER one, two;
  for (const auto& [y1, y2, one_first] :
       {std::tuple{10, 11, true}, {11, 10, false}, {10, 10, false}}) {
    one.ABS_POSITION.Y = y1;
    two.ABS_POSITION.Y = y2;
    EXPECT_EQ(walker_1_drawn_first(one, two), one_first) << y1 << " " << y2;
  }
}

TEST(WalkerDrawing, TheWalkerBitAndFrameChooseTheSpriteRowAndAnIndexOutOfRangeIsFatal) {
  // Every sprite one colour of its own, 0xFF00CCRR for column C and row R.
  raster::select_backend(raster::Backend::headless);
  ASSERT_EQ(raster::screen_set_mode(640, 400, 32), 0);
  Sprites sprites;
  const auto colour = [](int i, int j) { return 0xFF000000u | (i + 1) << 8 | (j + 1); };
  for (int k = 0; k < kSpriteColumns * kSpriteRows; ++k) {
    const int i = k % kSpriteColumns, j = k / kSpriteColumns;
    sprites.SPRITE_IMAGE[i][j] = raster::image_create(24, 33, colour(i, j), 0, true);
  }
  // (walker, direction, frame, column, row): odd walkers take rows 2 and 3.
  for (const auto& [walker, direction, frame, column, row] :
       {std::tuple{0, 0, 0, 0, 0}, {2, 5, 1, 5, 1}, {3, 3, 0, 3, 2}, {1, 4, 1, 4, 3}}) {
    PUT_SPRITE(sprites, walker, 100, 100, direction, frame);
    const raster::Color* px = raster::screen_ptr();
    EXPECT_EQ(
        std::tuple(px[74 * 640 + 88], px[106 * 640 + 111], px[73 * 640 + 88], px[107 * 640 + 112]),
        std::tuple(colour(column, row), colour(column, row), 0xFF000000, 0xFF000000))
        << walker << " " << direction << " " << frame;
  }
  EXPECT_EXIT(PUT_SPRITE(sprites, 0, 100, 100, 6, 0), ::testing::ExitedWithCode(6), "");
  EXPECT_EXIT(PUT_SPRITE(sprites, 1, 100, 100, 0, 2), ::testing::ExitedWithCode(6), "");
  destroy_sprites(sprites);
}

}  // namespace
}  // namespace demo
