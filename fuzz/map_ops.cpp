// Fuzzes the map engine: the input picks a sequence of operations (searches, floods, cells
// overwritten with garbage, direct neighbour checks, re-created grids) that run on the engine
// and on the literal algorithms alike. Any difference between the two, and any memory or
// undefined-behaviour fault the sanitizers see, is a finding.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "tests/reference/differential.hpp"

namespace {

// Steps of one input; enough for long histories of partial resets.
constexpr int kMaxSteps = 200;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Each map logs its construction before it can be silenced; keep the fuzzer's output readable.
  return std::freopen("/dev/null", "w", stdout) != nullptr ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  hexmap::reference::Sequence sequence(
      [&input](int32_t lo, int32_t hi) { return input.ConsumeIntegralInRange(lo, hi); });
  for (int step = 0; step < kMaxSteps && input.remaining_bytes() > 0; ++step) {
    const std::string what = sequence.step();
    const std::string difference = sequence.difference();
    if (!difference.empty()) {
      std::fprintf(stderr, "step %d: %s\n%s\n", step, what.c_str(), difference.c_str());
      __builtin_trap();
    }
  }
  return 0;
}
