// In-memory BMP decoding, shared by bmp_load and the fuzz target.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "raster/raster.hpp"

namespace raster::detail {

// A decoded picture: width x height pixels, top row first, alpha 0xFF.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;
};

// Colours in the palette of an 8-bit picture.
inline constexpr uint32_t kMaxPaletteEntries = 256;

// Where a BMP file's pixels are and how they are stored, every field checked against the
// file's size.
struct BmpLayout {
  int width = 0;
  int height = 0;
  bool top_down = false;
  int bits = 0;
  uint64_t pixel_offset = 0;  // bytes from the start of the file
  uint64_t stride = 0;        // bytes per row, padding included
  std::array<Color, kMaxPaletteEntries> palette{};
};
// Reads and checks the headers (and the palette) of a whole BMP file; a malformed one leaves
// out untouched and gives a non-zero result with a reason.
int bmp_layout(std::span<const uint8_t> file, BmpLayout& out);

// Decodes a whole BMP file. Every header field is checked against the file's size before
// use; a malformed file leaves out untouched and gives a non-zero result with a reason.
int bmp_decode(std::span<const uint8_t> file, Picture& out);

// Decodes the file and copies it onto dest (nullptr = the screen) at (0, 0), clipped.
int bmp_load_bytes(std::span<const uint8_t> file, Image* dest);

}  // namespace raster::detail
