// Base64 (RFC 4648, standard alphabet) as Tiled writes layer data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hexmap::tool {

// Whitespace anywhere is skipped; padding is optional at the end and refused elsewhere.
// Empty on any other character.
std::optional<std::vector<uint8_t>> base64_decode(std::string_view text);

}  // namespace hexmap::tool
