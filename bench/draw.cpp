// Frames per second of DRAW over a full view, at 640 x 400 and 1920 x 1080: 48 x 48 tiles on a
// 36 x 32 box, walls on a third of the cells. Beside each, a plain memcpy of the same number of
// tile pixels (every put's 48 x 48 pixels, copied row by row onto a screen-sized buffer) shows
// how close the keyed puts come to copying memory. Items are tile pixels.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"
#include "tests/reference/tile_sheet.hpp"

namespace {

using hexmap::HEXAGON_MAP;
using hexmap::reference::hex_bottom;
using hexmap::reference::hex_pixel;

constexpr int kTile = 48;
constexpr int kBoxWidth = 36;
constexpr int kBoxHeight = 32;
constexpr int kTilePixels = kTile * kTile;
constexpr raster::Color kMagenta = 0xFFFF00FF;
// Tile ids on the sheet.
constexpr int kGroundTiles = 4;  // 0 .. 3
constexpr int kFirstWallPanel = kGroundTiles;
constexpr int kSolidPanel = kFirstWallPanel + 6;
constexpr int kTileCount = kSolidPanel + 1;
// The map reaches past a 1920 x 1080 view and the camera sits mid-block, so edge tiles clip.
constexpr int kMapWidth = 64;
constexpr int kMapHeight = 40;
constexpr int kCameraX = 20;
constexpr int kCameraY = 11;

// Ground: a hexagon in the top 32 rows with a side face below it; walls: a band along one side;
// solid: a smaller hexagon. Everything else is transparent.
raster::Color paint(int id, int x, int y) {
  const auto hex = hex_pixel(x, y, kTile, kBoxHeight);
  if (id < kGroundTiles) {
    const auto shade = static_cast<raster::Color>(0x30 + 0x20 * id + (x ^ y) % 8);
    if (hex.in_hexagon()) return 0xFF000000u | shade << 8 | shade / 2;
    const double bottom = hex_bottom(x, kTile, kBoxHeight);
    return y >= bottom && y < bottom + kTile - kBoxHeight ? 0xFF403020u : kMagenta;
  }
  if (id < kSolidPanel) {
    const bool band = hex.in_hexagon() && hex.inside[id - kFirstWallPanel] < 4;
    return band ? 0xFFE8DCC0u : kMagenta;
  }
  return hex.in_hexagon() && hex.edge_distance() >= 6 ? 0xFF705848u : kMagenta;
}

// Puts per frame: every layer of every cell the walk visits that lies on the map.
int64_t puts_per_frame(const HEXAGON_MAP& map) {
  int64_t puts = 0;
  const int32_t bx = map.CAMERA.X / map.BLOCK_WIDTH;
  const int32_t by = map.CAMERA.Y / map.BLOCK_HEIGHT;
  for (int32_t r = -1; r <= map.SCREEN_BLOCKS_Y + 2; ++r) {
    for (int32_t c = -1; c <= map.SCREEN_BLOCKS_X + 1; ++c) {
      for (int32_t odd = 0; odd < 2; ++odd) {
        const int32_t x = 2 * (bx + c) + odd;
        if (map.INSIDE(x, by + r) == 0) continue;
        const hexmap::MAP_CELL cell = map.GET_ID(x, by + r);
        puts += 1 + std::popcount(static_cast<uint32_t>(cell.ID_WALL & 63)) + (cell.SOLID != 0);
      }
    }
  }
  return puts;
}

// A screen of the given size and a map that covers it; false (the benchmark skipped with the
// reason) when either cannot be had.
bool set_up(benchmark::State& state, HEXAGON_MAP& map, int width, int height) {
  raster::select_backend(raster::Backend::headless);
  if (raster::screen_set_mode(width, height, 32) != 0) {
    state.SkipWithError("cannot open the screen");
    return false;
  }
  const std::string sheet = (std::filesystem::temp_directory_path() /
                             ("hexmap_bench_tiles_" + std::to_string(getpid()) + ".bmp"))
                                .string();
  hexmap::reference::write_tile_sheet(sheet, kTile, kTile, kTileCount, paint);
  map.LOG_OFF();
  map.LOAD_TILES(sheet, kTile, kTile, 0);
  std::remove(sheet.c_str());
  map.LOG_OFF();
  if (map.TILE_COUNT != kTileCount) {
    state.SkipWithError("tile sheet not loaded");
    return false;
  }
  map.SET_OVERLAP_SIZE(kBoxWidth, kBoxHeight);
  map.SET_WALL_PANELS(kFirstWallPanel);
  map.SET_SOLID_PANEL(kSolidPanel);
  map.CREATE_MAP(kMapWidth, kMapHeight);
  for (int32_t i = 0; i < map.CELL_COUNT; ++i) {
    hexmap::MAP_CELL& cell = map.CELLS[static_cast<size_t>(i)];
    cell.ID_GROUND = i % kGroundTiles;
    if (i % 3 == 0) cell.ID_WALL = 1 << (i / 3 % 6);
  }
  map.SET_CAMERA(kCameraX, kCameraY);
  return true;
}

void report(benchmark::State& state, int64_t puts) {
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetItemsProcessed(state.iterations() * puts * kTilePixels);
  state.SetLabel(std::to_string(puts) + " puts per frame");
}

void BM_Draw(benchmark::State& state) {
  HEXAGON_MAP map;
  if (!set_up(state, map, static_cast<int>(state.range(0)), static_cast<int>(state.range(1))))
    return;
  map.DRAW();  // the puts build their run tables on first use
  for (auto _ : state) {
    map.DRAW();
    benchmark::DoNotOptimize(raster::screen_ptr());
  }
  report(state, puts_per_frame(map));
}

void BM_MemcpySameTilePixels(benchmark::State& state) {
  HEXAGON_MAP map;
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  if (!set_up(state, map, width, height)) return;
  const int64_t puts = puts_per_frame(map);
  std::vector<raster::Color> tile(kTilePixels, 0xFF336699u);
  std::vector<raster::Color> screen(static_cast<size_t>(width) * static_cast<size_t>(height));
  const int columns = width / kTile;
  const int rows = height / kTile;
  for (auto _ : state) {
    for (int64_t p = 0; p < puts; ++p) {
      const int64_t slot = p % (int64_t{columns} * rows);
      raster::Color* corner =
          screen.data() + (slot / columns) * kTile * width + (slot % columns) * kTile;
      for (int y = 0; y < kTile; ++y)
        std::memcpy(corner + y * width, tile.data() + y * kTile, kTile * sizeof(raster::Color));
    }
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  report(state, puts);
}

BENCHMARK(BM_Draw)->Args({640, 400})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpySameTilePixels)
    ->Args({640, 400})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
