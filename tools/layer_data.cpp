#include "tools/layer_data.hpp"

#include <charconv>
#include <optional>
#include <string>

#include "tools/base64.hpp"
#include "tools/inflate.hpp"
#include "tools/tiled_model.hpp"

namespace hexmap::tool {
namespace {

constexpr size_t kGidBytes = 4;

Failure count_mismatch(size_t found, size_t cells) {
  return Failure{"layer has " + std::to_string(found) + " tiles, the map has " +
                 std::to_string(cells) + " cells"};
}

}  // namespace

std::optional<uint32_t> gid_from_text(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  uint32_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

Outcome<std::vector<uint32_t>> decode_csv_gids(std::string_view rest, size_t cells) {
  std::vector<uint32_t> gids;
  gids.reserve(cells);
  constexpr std::string_view kBlank = " \t\r\n";
  while (true) {
    const size_t start = rest.find_first_not_of(kBlank);
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    const size_t end = rest.find_first_of(", \t\r\n");
    const auto v = gid_from_text(rest.substr(0, end));
    if (!v)
      return Failure{"CSV value " + in_quotes(rest.substr(0, std::min<size_t>(end, 20))) +
                     " is not a tile number"};
    if (gids.size() == cells) return Failure{"layer has more tiles than the map has cells"};
    gids.push_back(*v);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end);
    const size_t comma = rest.find_first_not_of(kBlank);
    if (comma == std::string_view::npos) break;
    if (rest[comma] != ',') return Failure{"CSV values must be separated by commas"};
    rest.remove_prefix(comma + 1);
  }
  if (gids.size() != cells) return count_mismatch(gids.size(), cells);
  return gids;
}

Outcome<std::vector<uint32_t>> decode_base64_gids(std::string_view text,
                                                  std::string_view compression, size_t cells) {
  if (compression == "zstd")
    return Failure{
        "compression 'zstd' cannot be read: this hexmap is built without zstd "
        "(save the map with zlib, gzip or CSV)"};
  if (!compression.empty() && compression != "zlib" && compression != "gzip")
    return Failure{"compression " + in_quotes(compression) +
                   " is not supported (use CSV, base64, base64 with zlib or gzip)"};
  auto bytes = base64_decode(text);
  if (!bytes) return Failure{"layer data is not base64"};
  const size_t expected = cells * kGidBytes;
  if (!compression.empty()) {
    bytes = inflate_all(*bytes, compression == "zlib" ? Wrapper::zlib : Wrapper::gzip, expected);
    if (!bytes)
      return Failure{"layer data does not inflate to " + std::to_string(expected) + " bytes with " +
                     std::string(compression)};
  }
  if (bytes->size() != expected)
    return Failure{"layer data holds " + std::to_string(bytes->size() / kGidBytes) +
                   " tiles, the map has " + std::to_string(cells) + " cells"};
  std::vector<uint32_t> gids(cells);
  for (size_t i = 0; i < cells; ++i) {
    const uint8_t* b = bytes->data() + i * kGidBytes;
    gids[i] = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  }
  return gids;
}

}  // namespace hexmap::tool
