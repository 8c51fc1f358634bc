// zlib and gzip streams as Tiled compresses layer data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hexmap::tool {

enum class Wrapper { zlib, gzip };

// Inflates one whole stream. Empty when the stream is damaged, does not end, is followed by
// more bytes, or would give more than `limit` bytes (so a small bomb cannot exhaust memory).
std::optional<std::vector<uint8_t>> inflate_all(std::span<const uint8_t> packed, Wrapper wrapper,
                                                size_t limit);

}  // namespace hexmap::tool
