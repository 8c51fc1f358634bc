// Fuzzes the Tiled-map readers, XML and JSON (inputs starting with '{'). Every map they accept
// must also be written back in both forms and read again unchanged, so the fuzzer checks the
// writers as well. An external tileset named by the input reads as a fixed tileset; every
// tileset image reads as 256 x 256 pixels.
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
  using namespace hexmap::tool;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const bool json = !text.empty() && text.front() == '{';
  auto first = json ? read_tiled_json(text, "maps", kSources) : read_tmx(text, "maps", kSources);
  if (!first) return 0;
  for (const auto& [write, read] :
       {std::pair{&write_tmx, &read_tmx}, std::pair{&write_tiled_json, &read_tiled_json}}) {
    auto written = write(first->map, {"t.png", kSheet});
    if (!written) return 0;  // ids beyond a smaller engine tile count have no Tiled form
    auto second = read(*written, "maps", kSources);
    if (!second || second->map != first->map) __builtin_trap();
  }
  return 0;
}
