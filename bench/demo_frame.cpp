// The demo's drawing, screen lock to unlock, over a scripted session on the headless backend:
// the map, both A* paths and the walkers, as in the window. One iteration is one frame; the
// input and walker updates between frames are not timed. Runs in the demo's run folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "demo/demo_app.hpp"
#include "raster/raster.hpp"

namespace {

// Frames of the session and what happens on them (screen pixels, as the window's e2e run).
constexpr int kSessionFrames = 600;
constexpr int kSpaceFrame = 30;
constexpr int kClickFrame = 60;  // a left click on cell (5, 5) with the camera on the hero
constexpr int kF1OffFrame = 400;
constexpr int kF1OnFrame = 430;
constexpr int kWallFrame = 460;  // a right click on the top side of cell (4, 6)

void script(int frame) {
  if (frame == kSpaceFrame) raster::headless::push_key(" ");
  if (frame == kF1OffFrame || frame == kF1OnFrame) raster::headless::push_key("\xFF;");
  if (frame == kClickFrame) raster::headless::set_mouse(331, 343, 1);
  if (frame == kWallFrame) raster::headless::set_mouse(159, 202, 2);
  if (frame == kClickFrame + 1 || frame == kWallFrame + 1) {
    raster::headless::set_mouse(200, 200, 0);
  }
}

void BM_DemoFrameDraw(benchmark::State& state) {
  raster::select_backend(raster::Backend::headless);
  demo::DemoApp app;
  app.start_up();
  raster::headless::set_mouse(200, 200, 0);
  int frame = 0;
  for (auto _ : state) {
    script(frame % kSessionFrames);
    app.update();
    const auto start = std::chrono::steady_clock::now();
    app.draw();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    ++frame;
  }
  app.shut_down();
}
BENCHMARK(BM_DemoFrameDraw)
    ->UseManualTime()
    ->Iterations(kSessionFrames)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (chdir(HEXMAP_DEMO_RUN_DIR) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
