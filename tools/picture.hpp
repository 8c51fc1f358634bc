// Pictures the tool reads and writes: PNG through libpng, BMP by hand (the engine's sheets).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/outcome.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {

// width x height pixels 0xAARRGGBB, top row first.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
};

// Largest picture side the tool reads or writes, as the engine's screen.
inline constexpr int32_t kMaxPictureSide = 1 << 15;
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 26;

Outcome<Picture> decode_png(std::span<const uint8_t> file);
Outcome<std::string> encode_png(const Picture& picture);

// The size of a BMP picture, checked by the engine's own BMP reader.
std::optional<ImageSize> bmp_size(std::span<const uint8_t> file);
// Size of a PNG or BMP file from its header.
std::optional<ImageSize> image_file_size(std::span<const uint8_t> file);

// A 24-bit bottom-up BMP, as the engine loads pictures; alpha is dropped.
std::string encode_bmp(const Picture& picture);
// A tile sheet for the engine, marked as written by the tool. Pixels with less than half
// opacity, and those of `transparent` (0xRRGGBB), become the engine's see-through magenta.
std::string encode_bmp_sheet(const Picture& picture, TransparentColour transparent);
// Whether a file is a sheet that encode_bmp_sheet wrote.
bool is_converted_sheet(std::string_view file);

}  // namespace hexmap::tool
