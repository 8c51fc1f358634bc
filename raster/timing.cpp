// Timer, random numbers and sleeping.
#include <chrono>
#include <cstring>
#include <thread>

#include "raster/internal.hpp"

namespace raster {
namespace {

using Clock = std::chrono::steady_clock;

// The timer's origin: the first time anything asks for the time.
Clock::time_point origin() {
  static const Clock::time_point start = Clock::now();
  return start;
}

// splitmix64: tiny, fast, and every seed gives a well-mixed sequence.
struct RandomState {
  uint64_t state = 0x9E3779B97F4A7C15u;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
};

RandomState& random_state() {
  static RandomState r;
  return r;
}

// How often a long sleep lets the presenter gather events, so the window stays responsive.
constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr double kTwoToMinus53 = 1.0 / 9007199254740992.0;

}  // namespace

double timer_seconds() {
  const auto start = origin();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void random_seed(double seed) {
  // +0 and -0 are the same seed. The bits are copied rather than bit_cast: the WebAssembly
  // toolchain's library lacks it.
  const double value = seed == 0 ? 0.0 : seed;
  std::memcpy(&random_state().state, &value, sizeof value);
}

double random_unit() {
  // The top 53 bits as a fraction: every value is exactly representable and below 1.
  return static_cast<double>(random_state().next() >> 11) * kTwoToMinus53;
}

int sleep_ms(int milliseconds) {
  if (milliseconds < 0) return detail::refuse("sleep_ms: negative duration");
  const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
  detail::poll_presenter();
  for (auto now = Clock::now(); now < until; now = Clock::now()) {
    std::this_thread::sleep_for(std::min<Clock::duration>(until - now, kPollInterval));
    detail::poll_presenter();
  }
  return 0;
}

}  // namespace raster
