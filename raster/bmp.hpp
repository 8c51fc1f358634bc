// In-memory BMP decoding, shared by bmp_load and the fuzz target.
#pragma once

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

// Decodes a whole BMP file. Every header field is checked against the file's size before
// use; a malformed file leaves out untouched and gives a non-zero result with a reason.
int bmp_decode(std::span<const uint8_t> file, Picture& out);

// Decodes the file and copies it onto dest (nullptr = the screen) at (0, 0), clipped.
int bmp_load_bytes(std::span<const uint8_t> file, Image* dest);

}  // namespace raster::detail
