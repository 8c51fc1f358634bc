// The engine's search and flood against the literal reference on hundreds of random maps and
// sequences of operations. After every step the two maps must agree in every cell, which shows
// that resetting only the cells an earlier run wrote is exact.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "tests/reference/differential.hpp"

namespace hexmap {
namespace {

struct RandomSource {
  std::mt19937 rng;
  int32_t between(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  }
};

TEST(AstarFloodDifferential, RandomSequencesMatchTheLiteralAlgorithms) {
  constexpr int kMaps = 400;
  constexpr int kSteps = 40;
  int searches_with_path = 0;
  int flooded = 0;
  int stale_searches = 0;
  int broken_traces = 0;
  for (uint32_t seed = 1; seed <= kMaps; ++seed) {
    reference::Sequence sequence(RandomSource{std::mt19937(seed)});
    for (int step = 0; step < kSteps; ++step) {
      const std::string what = sequence.step();
      const std::string diff = sequence.difference();
      ASSERT_TRUE(diff.empty()) << "seed " << seed << ", step " << step << ": " << what << "\n"
                                << diff;
      searches_with_path += sequence.engine().ASTAR_PATH_FOUND != 0 ? 1 : 0;
      flooded += sequence.engine().CELLS[0].FLOOD != 0 ? 1 : 0;
    }
    stale_searches += sequence.stale_searches;
    broken_traces += sequence.broken_traces;
  }
  // The random maps must exercise real paths and floods, not only refusals.
  EXPECT_GT(searches_with_path, kMaps);
  EXPECT_GT(flooded, kMaps / 4);
  EXPECT_GT(stale_searches, 20);
  EXPECT_GT(broken_traces, 5);
  std::printf("paths %d, floods at cell 0 %d, stale starts or ends %d, broken traces %d\n",
              searches_with_path, flooded, stale_searches, broken_traces);
}

}  // namespace
}  // namespace hexmap
