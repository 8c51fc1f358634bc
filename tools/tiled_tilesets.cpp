// What every tileset must hold, whichever file form it came in.
#include <algorithm>
#include <charconv>

#include "hexmap/hexagon_map.hpp"
#include "tools/tiled_model.hpp"

namespace hexmap::tool {
namespace {

std::string size_text(int32_t w, int32_t h) {
  return std::to_string(w) + " x " + std::to_string(h);
}

bool is_picture_name(const std::filesystem::path& p) {
  std::string e = p.extension().string();
  std::transform(e.begin(), e.end(), e.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return e == ".png" || e == ".bmp";
}

std::optional<Failure> check_image_name(const Place& where, const std::filesystem::path& image) {
  if (is_picture_name(image)) return std::nullopt;
  return failure_at(
      where, "tileset image " + in_quotes(image.filename().string()) + " is neither PNG nor BMP");
}

// Tiles a sheet holds along one side with the tileset's margin and spacing.
int64_t tiles_along(int32_t image_side, int32_t tile_side, int32_t margin, int32_t spacing) {
  const int64_t room = int64_t{image_side} - 2 * int64_t{margin} + spacing;
  return room < tile_side ? 0 : room / (int64_t{tile_side} + spacing);
}

std::optional<Failure> check_collection(TiledTileset& t, const TmxSources& sources) {
  int32_t last_id = -1;
  for (TiledTileImage& ti : t.tile_images) {
    if (auto f = check_image_name(ti.where, ti.image)) return f;
    const std::optional<ImageSize> size = sources.image_size(ti.image);
    if (!size) return failure_at(ti.where, "tile image " + ti.image.string() + " cannot be read");
    if (size->width != t.tile_width || size->height != t.tile_height)
      return failure_at(ti.where, "tile image " + ti.image.filename().string() + " is " +
                                      size_text(size->width, size->height) + "; tileset " +
                                      in_quotes(t.name) + " has tiles of " +
                                      size_text(t.tile_width, t.tile_height) +
                                      " and hexmap draws every tile at one size");
    ti.size = *size;
    last_id = std::max(last_id, ti.id);
  }
  // Collections may skip ids; the gids run up to the last one.
  t.tile_count = std::max(t.tile_count, last_id + 1);
  return std::nullopt;
}

}  // namespace

std::string in_quotes(std::string_view s) {
  return "'" + std::string(s) + "'";
}

Failure failure_at(const Place& where, const std::string& reason) {
  if (where.file.empty() && where.path.empty()) return Failure{reason, where.line};
  std::string at = where.file;
  const std::string inner = where.path.empty() ? std::to_string(where.line) : where.path;
  at += at.empty() ? inner : ":" + inner;
  return Failure{at + ": " + reason, 0};
}

std::optional<Failure> read_tile_properties(int32_t id,
                                            const std::map<std::string, TiledProperty>& props,
                                            TiledTileset& t) {
  if (const auto solid = props.find(std::string(kSolidProperty)); solid != props.end()) {
    if (solid->second.type != "bool")
      return failure_at(solid->second.where, "the tile property 'solid' must be a bool");
    if (solid->second.value == "true") t.solid_tiles.insert(id);
  }
  if (const auto cost = props.find(std::string(kCostProperty)); cost != props.end()) {
    const std::string& v = cost->second.value;
    int32_t n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (cost->second.type != "int" || ec != std::errc() || end != v.data() + v.size() || n < 1 ||
        n > kMaxStepCost)
      return failure_at(cost->second.where, "the tile property 'cost' must be an int from 1 to " +
                                                std::to_string(kMaxStepCost));
    t.costs[id] = n;
  }
  return std::nullopt;
}

std::optional<Failure> check_tileset(TiledTileset& t, const TmxSources& sources) {
  if (t.image.empty()) {
    if (auto f = check_collection(t, sources)) return f;
  } else {
    if (auto f = check_image_name(t.where, t.image)) return f;
    const std::optional<ImageSize> size = sources.image_size(t.image);
    if (!size) return failure_at(t.where, "tileset image " + t.image.string() + " cannot be read");
    t.image_size = *size;
    t.columns = static_cast<int32_t>(
        std::min<int64_t>(tiles_along(size->width, t.tile_width, t.margin, t.spacing), INT32_MAX));
    const int64_t capacity =
        t.columns * tiles_along(size->height, t.tile_height, t.margin, t.spacing);
    if (capacity < 1)
      return failure_at(t.where, "tileset image " + t.image.string() + " is smaller than one tile");
    if (t.tile_count > capacity)
      return failure_at(t.where, "tilecount " + in_quotes(std::to_string(t.tile_count)) +
                                     " does not fit the image, which holds " +
                                     std::to_string(capacity) + " tiles");
    if (t.tile_count == 0)
      t.tile_count = static_cast<int32_t>(std::min<int64_t>(capacity, kMaxCellCount));
  }
  int32_t last = -1;  // the last tile id with properties
  if (!t.solid_tiles.empty()) last = *t.solid_tiles.rbegin();
  if (!t.costs.empty()) last = std::max(last, t.costs.rbegin()->first);
  if (last >= t.tile_count)
    return failure_at(t.where, "tile " + std::to_string(last) + " has properties, but tileset " +
                                   in_quotes(t.name) + " has " + std::to_string(t.tile_count) +
                                   " tiles");
  return std::nullopt;
}

Outcome<TiledTileset> parse_tileset_file(std::string_view text, const std::filesystem::path& file,
                                         const TmxSources& sources) {
  const size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  if (first != std::string_view::npos && text[first] == '{') return parse_tsj(text, file);
  return parse_tsx(text, file, sources);
}

}  // namespace hexmap::tool
