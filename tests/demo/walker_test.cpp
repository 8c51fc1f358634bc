#include "demo/walker.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace demo {
namespace {

// The demo's tile geometry (box 28 x 32, tile 36 wide): cell centres in map pixels.
VECTOR2D centre(VECTOR2D cell) {
  return {cell.X * 28 + 18, cell.Y * 32 + 16 + (cell.X & 1) * 16};
}

// Plans one fixed direction (or none) and counts the searches.
class FixedPlan final : public WalkerMap {
 public:
  explicit FixedPlan(int32_t direction) : direction_(direction) {}
  void plan(VECTOR2D, VECTOR2D, int32_t& found, int32_t& direction) override {
    ++searches;
    found = direction_ >= 0 ? kTrue : kFalse;
    direction = direction_;
  }
  VECTOR2D cell_centre(VECTOR2D cell) const override { return centre(cell); }
  int searches = 0;

 private:
  int32_t direction_;
};

TEST(WalkerInterpolation, QuotientFirstThenFloor) {
  struct Case {
    int32_t delta, frames, count, expected;
  };
  for (const Case c :
       {Case{-60, 50, 25, -31}, Case{60, 50, 25, 30}, Case{48, 40, 39, 46}, Case{0, 50, 10, 0}}) {
    EXPECT_EQ(interpolate(c.delta, c.frames, c.count), c.expected)
        << c.delta << " over " << c.frames << " after " << c.count;
  }
}

TEST(WalkerStep, EndsExactlyOnTheNewCellFromEvenAndOddColumns) {
  struct Case {
    VECTOR2D from;
    int32_t direction;
    VECTOR2D to;
  };
  for (const Case c : {Case{{2, 5}, 5, {1, 4}}, Case{{3, 5}, 5, {2, 5}}, Case{{3, 5}, 1, {4, 5}},
                       Case{{4, 4}, 2, {5, 4}}, Case{{5, 4}, 0, {5, 3}}}) {
    FixedPlan plan(c.direction);
    WALKER w;
    w.POSITION = c.from;
    w.ABS_POSITION = centre(c.from);
    w.TARGET = {20, 20};
    // The planning frame does not move the walker.
    update_walker(w, kWalker2StepFrames, plan);
    EXPECT_EQ(w.ABS_POSITION, centre(c.from));
    EXPECT_EQ(w.STEP_DELTA, centre(c.to) - centre(c.from));
    for (int f = 1; f < kWalker2StepFrames; ++f) {
      update_walker(w, kWalker2StepFrames, plan);
      ASSERT_EQ(w.POSITION, c.from) << "frame " << f;
    }
    update_walker(w, kWalker2StepFrames, plan);
    EXPECT_EQ(w.POSITION, c.to);
    EXPECT_EQ(w.ABS_POSITION, centre(c.to));
    EXPECT_EQ(w.MOVING, kFalse);
    EXPECT_EQ(plan.searches, 1);
  }
}

TEST(WalkerAnimation, FrameChangesEveryElevenFramesOfARealStepAndFacingFollows) {
  FixedPlan plan(2);
  WALKER w;
  w.POSITION = {0, 0};
  w.TARGET = {1, 0};
  std::vector<int32_t> frames;
  for (int f = 0; f <= kWalker1StepFrames; ++f) {
    update_walker(w, kWalker1StepFrames, plan);
    animate_walker(w);
    frames.push_back(w.ANIM_FRAME);
    if (w.MOVING != 0) {
      EXPECT_EQ(w.FACING, 2);
    }
  }
  // Frame 0 plans (tick 1), so the walk frame flips on frames 10, 21 and 32.
  EXPECT_EQ((std::vector<int32_t>{frames[9], frames[10], frames[20], frames[21], frames[32]}),
            (std::vector<int32_t>{0, 1, 1, 0, 1}));
  // On the target: idle, facing down, counters kept.
  const int32_t tick = w.ANIM_TICK;
  EXPECT_TRUE(update_walker(w, kWalker1StepFrames, plan));
  animate_walker(w);
  EXPECT_EQ(w.FACING, kFacingDown);
  EXPECT_EQ(w.ANIM_TICK, tick);
  EXPECT_EQ(w.ANIM_FRAME, frames.back());
}

TEST(WalkerDrawing, LowerWalkerLastAndWalker1LastOnEqualY) {
  WALKER a;
  WALKER b;
  a.ABS_POSITION = {100, 50};
  for (const int32_t y : {60, 50, 40}) {
    b.ABS_POSITION = {10, y};
    EXPECT_EQ(walker_1_drawn_first(a, b), y > 50) << y;
  }
}

}  // namespace
}  // namespace demo
