// Fuzzes the Tiled-map reader. Every map it accepts must also be written back and read again
// unchanged, so the fuzzer checks the writer as well. An external tileset named by the input
// reads as a fixed tileset; every tileset image reads as 256 x 256 pixels.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/tmx_format.hpp"

namespace {

constexpr hexmap::tool::ImageSize kSheet{256, 256};
constexpr std::string_view kExternalTileset = R"(<?xml version="1.0"?>
<tileset name="t" tilewidth="32" tileheight="40" tilecount="24" columns="8">
 <tileoffset x="0" y="8"/>
 <image source="t.png" width="256" height="256"/>
</tileset>)";

const hexmap::tool::TmxSources kSources{
    [](const std::filesystem::path&) { return std::optional<std::string>(kExternalTileset); },
    [](const std::filesystem::path&) { return std::optional<hexmap::tool::ImageSize>(kSheet); }};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = hexmap::tool::read_tmx(text, "maps", kSources);
  if (!first) return 0;
  auto written = hexmap::tool::write_tmx(first->map, {"t.png", kSheet});
  if (!written) return 0;  // ids beyond a smaller engine tile count have no Tiled form
  auto second = hexmap::tool::read_tmx(*written, "maps", kSources);
  if (!second || second->map != first->map) __builtin_trap();
  return 0;
}
