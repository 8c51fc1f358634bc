// Tile layer data as Tiled encodes it, in TMX and JSON files alike. Failures carry no place:
// the caller knows where the data stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/outcome.hpp"

namespace hexmap::tool {

// The top bits of a gid say how Tiled flips or rotates the tile.
inline constexpr uint32_t kGidFlagMask = 0xF0000000u;

// `cells` gids as comma-separated numbers.
Outcome<std::vector<uint32_t>> decode_csv_gids(std::string_view text, size_t cells);

// `cells` gids as base64 of little-endian 32-bit numbers, compressed with `compression`
// ("", "zlib", "gzip"; "zstd" is refused, as this build has no zstd).
Outcome<std::vector<uint32_t>> decode_base64_gids(std::string_view text,
                                                  std::string_view compression, size_t cells);

// A gid parsed from text, or nothing when it is not a number from 0 to 2^32 - 1.
std::optional<uint32_t> gid_from_text(std::string_view text);

}  // namespace hexmap::tool
