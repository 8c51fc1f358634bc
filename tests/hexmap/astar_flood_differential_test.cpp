// The engine's search and flood against the literal reference on hundreds of random maps and
// sequences of operations. After every step the two maps must agree in every cell, which shows
// that resetting only the cells an earlier run wrote is exact.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "tests/reference/differential.hpp"

namespace hexmap {
namespace {

TEST(AstarFloodDifferential, RandomSequencesMatchTheLiteralAlgorithms) {
  constexpr int kMaps = 400;
  int paths = 0;
  int floods = 0;
  for (uint32_t seed = 1; seed <= kMaps; ++seed) {
    std::mt19937 rng(seed);
    reference::Sequence sequence(
        [&rng](int32_t lo, int32_t hi) { return std::uniform_int_distribution(lo, hi)(rng); });
    for (int step = 0; step < 40; ++step) {
      const std::string what = sequence.step();
      const std::string diff = sequence.difference();
      ASSERT_TRUE(diff.empty()) << "seed " << seed << ", step " << step << ": " << what << "\n"
                                << diff;
      paths += sequence.engine().ASTAR_PATH_FOUND != 0 ? 1 : 0;
      floods += sequence.engine().CELLS[0].FLOOD != 0 ? 1 : 0;
    }
  }
  // The random maps must exercise real paths and floods, not only refusals.
  EXPECT_GT(paths, kMaps);
  EXPECT_GT(floods, kMaps / 4);
}

}  // namespace
}  // namespace hexmap
