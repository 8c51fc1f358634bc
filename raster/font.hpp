// The layer's own 8x8 text font.
#pragma once

#include <array>
#include <cstdint>

namespace raster::detail {

inline constexpr int kCellSize = 8;  // pixels per side of a text cell
inline constexpr unsigned char kFirstGlyph = ' ';
inline constexpr unsigned char kLastGlyph = '~';

// The rows of character c's cell, top first; bit 7 is the leftmost pixel. Characters outside
// printable ASCII are blank.
const std::array<uint8_t, kCellSize>& glyph(unsigned char c);

}  // namespace raster::detail
