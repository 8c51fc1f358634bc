// Throughput of keyed tile puts: raster's put_transparent and put_alpha_blend (A = 200) against
// SDL_BlitSurface with a colour key (plain and RLE-accelerated, copy and alpha 200) and a plain
// memcpy of the same bytes, on three sprite shapes. One iteration puts a 48x48 tile at every
// position of a fixed list covering a 640x400 screen, some partly off it; items are source
// pixels (48 * 48 per put).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "raster/raster.hpp"

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 400;
constexpr int kTile = 48;
constexpr int kTilePixels = kTile * kTile;
constexpr uint32_t kMagenta = 0xFFFF00FF;
constexpr int kBlend = 200;

enum class Shape { hexagon, round_holes, scattered_holes };
constexpr std::array kShapes = {Shape::hexagon, Shape::round_holes, Shape::scattered_holes};

const char* shape_name(Shape shape) {
  switch (shape) {
    case Shape::hexagon:
      return "hexagon";
    case Shape::round_holes:
      return "round_holes";
    case Shape::scattered_holes:
      return "scattered_holes";
  }
  return "";
}

// Tile pixels (x, y) inside a flat-topped hexagon that fills the tile: magenta corners, one
// opaque run per row.
bool in_hexagon(int x, int y) {
  const int dy = y < kTile / 2 ? kTile / 2 - 1 - y : y - kTile / 2;  // 0 at the middle rows
  return x >= dy / 2 && x < kTile - dy / 2;
}

// Three discs of radius 6 (tile pixels): rows through them hold two or three runs.
bool in_round_hole(int x, int y) {
  constexpr std::array<std::array<int, 2>, 3> kCentres = {{{14, 15}, {32, 22}, {20, 34}}};
  constexpr int kRadius = 6;
  return std::any_of(kCentres.begin(), kCentres.end(), [&](const auto& c) {
    return (x - c[0]) * (x - c[0]) + (y - c[1]) * (y - c[1]) <= kRadius * kRadius;
  });
}

// One pixel in eleven along a diagonal lattice: many runs of about ten pixels per row.
bool in_scattered_hole(int x, int y) {
  return (x * 7 + y * 13) % 11 == 0;
}

// The hexagon, with holes for the two other shapes. Opaque pixels get varied colours so no
// blitter can shortcut a uniform fill.
std::vector<uint32_t> make_tile(Shape shape) {
  std::vector<uint32_t> tile(kTilePixels);
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const bool hole = (shape == Shape::round_holes && in_round_hole(x, y)) ||
                        (shape == Shape::scattered_holes && in_scattered_hole(x, y));
      tile[y * kTile + x] = in_hexagon(x, y) && !hole
                                ? 0xFF000000u | uint32_t(x * 5) << 16 | uint32_t(y * 5) << 8 | 0x40
                                : kMagenta;
    }
  }
  return tile;
}

const std::vector<uint32_t>& tile_pixels(Shape shape) {
  static const std::array<std::vector<uint32_t>, kShapes.size()> tiles = {
      make_tile(kShapes[0]), make_tile(kShapes[1]), make_tile(kShapes[2])};
  return tiles[static_cast<size_t>(shape)];
}

// Top-left corners (screen pixels) on a grid that runs past every edge of the screen.
std::vector<SDL_Point> make_positions() {
  std::vector<SDL_Point> positions;
  for (int y = -20; y < kScreenH; y += 29) {
    for (int x = -30; x < kScreenW; x += 37)
      positions.push_back({x, y});
  }
  return positions;
}

const std::vector<SDL_Point>& positions() {
  static const std::vector<SDL_Point> list = make_positions();
  return list;
}

void report(benchmark::State& state, Shape shape) {
  const int64_t pixels = state.iterations() * int64_t(positions().size()) * kTilePixels;
  state.SetItemsProcessed(pixels);
  state.SetBytesProcessed(pixels * 4);
  const auto& tile = tile_pixels(shape);
  const auto keyed = std::count(tile.begin(), tile.end(), kMagenta);
  state.SetLabel(std::to_string(positions().size()) + " puts, " +
                 std::to_string(100 * keyed / kTilePixels) + "% transparent");
}

// ---- raster ----

struct ImageDeleter {
  void operator()(raster::Image* image) const { raster::image_destroy(image); }
};
using ImagePtr = std::unique_ptr<raster::Image, ImageDeleter>;

// The headless screen and the tile, drawn pixel by pixel; empty when the layer refuses.
ImagePtr raster_tile(Shape shape) {
  raster::select_backend(raster::Backend::headless);
  if (raster::screen_ptr() == nullptr && raster::screen_set_mode(kScreenW, kScreenH, 32) != 0) {
    return nullptr;
  }
  ImagePtr tile(raster::image_create(kTile, kTile));
  if (!tile) return nullptr;
  const auto& pixels = tile_pixels(shape);
  for (int y = 0; y < kTile; ++y) {
    for (int x = 0; x < kTile; ++x) {
      const float fx = static_cast<float>(x);
      const float fy = static_cast<float>(y);
      raster::draw_line(tile.get(), fx, fy, fx, fy, pixels[y * kTile + x]);
    }
  }
  const auto drawn = raster::image_pixels(tile.get());
  if (!std::equal(drawn.begin(), drawn.end(), pixels.begin(), pixels.end())) return nullptr;
  return tile;
}

void raster_put_all(benchmark::State& state, Shape shape, raster::PutMode mode, int alpha) {
  const ImagePtr tile = raster_tile(shape);
  if (!tile) {
    state.SkipWithError("raster could not set up the screen and tile");
    return;
  }
  raster::screen_lock();
  for (auto _ : state) {
    for (const SDL_Point& p : positions()) {
      raster::put_image(nullptr, static_cast<float>(p.x), static_cast<float>(p.y), tile.get(), mode,
                        alpha);
    }
    benchmark::DoNotOptimize(raster::screen_ptr());
    benchmark::ClobberMemory();
  }
  raster::screen_unlock();
  report(state, shape);
}

// ---- SDL ----

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Neither the screen's nor the tile's alpha byte means anything, so SDL gets the 32-bit format
// without one for both: that is where its keyed blitters (and keyed blends) are fastest.
constexpr uint32_t kSdlScreenFormat = SDL_PIXELFORMAT_RGB888;

SurfacePtr surface(int w, int h, uint32_t format) {
  return SurfacePtr(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format));
}

// The tile as an SDL surface with a colour key, a keyed copy at alpha 255 else a keyed blend at
// a constant opacity (the source's own alpha is always 255).
SurfacePtr sdl_tile(Shape shape, bool rle, int alpha) {
  SurfacePtr tile = surface(kTile, kTile, kSdlScreenFormat);
  if (!tile) return nullptr;
  for (int y = 0; y < kTile; ++y) {
    std::memcpy(static_cast<uint8_t*>(tile->pixels) + y * tile->pitch,
                tile_pixels(shape).data() + y * kTile, kTile * 4);
  }
  SDL_SetSurfaceBlendMode(tile.get(), alpha < 255 ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
  SDL_SetSurfaceAlphaMod(tile.get(), static_cast<Uint8>(alpha));
  SDL_SetColorKey(tile.get(), SDL_TRUE, kMagenta);
  SDL_SetSurfaceRLE(tile.get(), rle ? 1 : 0);
  return tile;
}

void sdl_blit_all(benchmark::State& state, Shape shape, bool rle, int alpha) {
  SurfacePtr screen = surface(kScreenW, kScreenH, kSdlScreenFormat);
  SurfacePtr tile = sdl_tile(shape, rle, alpha);
  if (!screen || !tile) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  for (auto _ : state) {
    for (const SDL_Point& p : positions()) {
      SDL_Rect at{p.x, p.y, kTile, kTile};
      SDL_BlitSurface(tile.get(), nullptr, screen.get(), &at);
    }
    benchmark::DoNotOptimize(screen->pixels);
    benchmark::ClobberMemory();
  }
  if (rle && !SDL_HasSurfaceRLE(tile.get())) state.SkipWithError("SDL did not RLE-encode");
  report(state, shape);
}

// ---- the floor: copying the same bytes without a key ----

void memcpy_rows(benchmark::State& state) {
  std::vector<uint32_t> screen(static_cast<size_t>(kScreenW) * kScreenH);
  const auto& tile = tile_pixels(Shape::hexagon);
  for (auto _ : state) {
    for (const SDL_Point& p : positions()) {
      // Clamped onto the screen so every put copies all 48 rows of 48 * 4 bytes.
      const int x = std::clamp(p.x, 0, kScreenW - kTile);
      const int y = std::clamp(p.y, 0, kScreenH - kTile);
      for (int row = 0; row < kTile; ++row) {
        std::memcpy(&screen[static_cast<size_t>(y + row) * kScreenW + x], &tile[row * kTile],
                    kTile * 4);
      }
    }
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  report(state, Shape::hexagon);
}

// Both sides must do the same work: a keyed copy through raster and through SDL leaves the
// same colours on the screen.
bool same_keyed_copy(Shape shape) {
  const ImagePtr tile = raster_tile(shape);
  SurfacePtr screen = surface(kScreenW, kScreenH, kSdlScreenFormat);
  SurfacePtr theirs_tile = sdl_tile(shape, true, 255);
  if (!tile || !screen || !theirs_tile || screen->pitch != kScreenW * 4) return false;
  raster::view_set();
  raster::screen_clear();
  SDL_FillRect(screen.get(), nullptr, 0);
  for (const SDL_Point& p : positions()) {
    raster::put_image(nullptr, static_cast<float>(p.x), static_cast<float>(p.y), tile.get(),
                      raster::put_transparent);
    SDL_Rect at{p.x, p.y, kTile, kTile};
    SDL_BlitSurface(theirs_tile.get(), nullptr, screen.get(), &at);
  }
  const uint32_t* ours = raster::screen_ptr();
  const auto* theirs = static_cast<const uint32_t*>(screen->pixels);
  for (int i = 0; i < kScreenW * kScreenH; ++i) {
    if ((ours[i] & 0xFFFFFF) != (theirs[i] & 0xFFFFFF)) return false;
  }
  return true;
}

// Benchmarks are named mode/shape so that each of ours sits next to the blits it is measured
// against.
void register_benchmarks() {
  for (const Shape shape : kShapes) {
    const std::string s = shape_name(shape);
    benchmark::RegisterBenchmark(("transparent/" + s + "/raster").c_str(), [shape](auto& st) {
      raster_put_all(st, shape, raster::put_transparent, 255);
    });
    benchmark::RegisterBenchmark(("transparent/" + s + "/sdl_rle").c_str(),
                                 [shape](auto& st) { sdl_blit_all(st, shape, true, 255); });
    benchmark::RegisterBenchmark(("transparent/" + s + "/sdl").c_str(),
                                 [shape](auto& st) { sdl_blit_all(st, shape, false, 255); });
  }
  for (const Shape shape : kShapes) {
    const std::string s = shape_name(shape);
    benchmark::RegisterBenchmark(("alpha_200/" + s + "/raster").c_str(), [shape](auto& st) {
      raster_put_all(st, shape, raster::put_alpha_blend, kBlend);
    });
    benchmark::RegisterBenchmark(("alpha_200/" + s + "/sdl_rle").c_str(),
                                 [shape](auto& st) { sdl_blit_all(st, shape, true, kBlend); });
    benchmark::RegisterBenchmark(("alpha_200/" + s + "/sdl").c_str(),
                                 [shape](auto& st) { sdl_blit_all(st, shape, false, kBlend); });
  }
  benchmark::RegisterBenchmark("memcpy_rows", memcpy_rows);
}

}  // namespace

int main(int argc, char** argv) {
  for (const Shape shape : kShapes) {
    if (!same_keyed_copy(shape)) {
      std::fprintf(stderr, "bench_blit: raster and SDL disagree on a keyed copy of the %s\n",
                   shape_name(shape));
      return 1;
    }
  }
  register_benchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
