// Reading Tiled's JSON form (.tmj maps, .tsj tilesets) into the file-neutral form. Every
// failure names the JSON path of the value it is about.
#include <nlohmann/json.hpp>

#include <charconv>

#include "hexmap/hexagon_map.hpp"
#include "tools/layer_data.hpp"
#include "tools/tiled_model.hpp"

namespace hexmap::tool {
namespace {

using Json = nlohmann::json;

// A value and its path from the document's root.
struct At {
  const Json& value;
  std::string path;
  std::string file;  // empty for the map itself

  Place place() const { return {0, path.empty() ? "(root)" : path, file}; }
  Failure fail(const std::string& reason) const { return failure_at(place(), reason); }
  At operator[](std::string_view key) const {
    static const Json kNull;
    const auto it = value.is_object() ? value.find(key) : value.end();
    return {it == value.end() ? kNull : *it,
            path.empty() ? std::string(key) : path + "." + std::string(key), file};
  }
  At operator[](size_t i) const { return {value[i], path + "[" + std::to_string(i) + "]", file}; }
  bool present() const { return !value.is_null(); }

  Outcome<int32_t> integer(int64_t low, int64_t high, std::optional<int32_t> fallback) const {
    if (!present() && fallback) return *fallback;
    if (!value.is_number_integer() || value.get<int64_t>() < low || value.get<int64_t>() > high)
      return fail("must be a whole number from " + std::to_string(low) + " to " +
                  std::to_string(high));
    return static_cast<int32_t>(value.get<int64_t>());
  }
  std::string text() const { return value.is_string() ? value.get<std::string>() : std::string(); }
};

// Fills each target from its key; stops at the first value out of range.
struct IntField {
  const char* key;
  int32_t* target;
  int64_t low, high;
  std::optional<int32_t> fallback;
};
std::optional<Failure> read_ints(const At& object, std::initializer_list<IntField> fields) {
  for (const IntField& f : fields) {
    auto v = object[f.key].integer(f.low, f.high, f.fallback);
    if (!v) return v.failure();
    *f.target = *v;
  }
  return std::nullopt;
}

void read_properties(const At& owner, std::map<std::string, TiledProperty>& out) {
  const At list = owner["properties"];
  if (!list.value.is_array()) return;
  for (size_t i = 0; i < list.value.size(); ++i) {
    const At p = list[i];
    const Json& v = p["value"].value;
    std::string text = v.is_string() ? v.get<std::string>() : v.dump();
    out[p["name"].text()] = {p["value"].place(), p["type"].present() ? p["type"].text() : "string",
                             std::move(text)};
  }
}

std::optional<Failure> read_colour(const At& at, TransparentColour& colour) {
  if (!at.present()) return std::nullopt;
  std::string s = at.text();
  if (!s.empty() && s.front() == '#') s.erase(0, 1);
  uint32_t c = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), c, 16);
  if (s.size() != 6 || ec != std::errc() || end != s.data() + s.size())
    return at.fail(in_quotes(at.value.dump()) + " is not a colour #RRGGBB");
  colour = c;
  return std::nullopt;
}

Outcome<TiledTileset> read_tileset_body(const At& ts, const std::filesystem::path& folder) {
  TiledTileset t;
  t.where = ts.place();
  t.name = ts["name"].text();
  if (auto f = read_ints(ts, {{"tilewidth", &t.tile_width, 1, kMaxTileSide, std::nullopt},
                              {"tileheight", &t.tile_height, 1, kMaxTileSide, std::nullopt},
                              {"tilecount", &t.tile_count, 0, kMaxCellCount, 0},
                              {"margin", &t.margin, 0, kMaxTileSide, 0},
                              {"spacing", &t.spacing, 0, kMaxTileSide, 0}}))
    return *f;
  const At offset = ts["tileoffset"];
  if (auto f = read_ints(offset, {{"x", &t.offset_x, INT32_MIN, INT32_MAX, 0},
                                  {"y", &t.offset_y, INT32_MIN, INT32_MAX, 0}}))
    return *f;
  if (ts["image"].present()) {
    t.image = folder / ts["image"].text();
    if (auto f = read_colour(ts["transparentcolor"], t.transparent)) return *f;
  }
  const At tiles = ts["tiles"];
  for (size_t i = 0; tiles.value.is_array() && i < tiles.value.size(); ++i) {
    const At tile = tiles[i];
    auto id = tile["id"].integer(0, kMaxCellCount, std::nullopt);
    if (!id) return id.failure();
    std::map<std::string, TiledProperty> props;
    read_properties(tile, props);
    if (auto f = read_tile_properties(*id, props, t)) return *f;
    if (tile["image"].present())
      t.tile_images.push_back({*id, folder / tile["image"].text(), {}, tile["image"].place()});
  }
  if (t.image.empty() && t.tile_images.empty())
    return ts.fail("tileset " + in_quotes(t.name) + " has no image");
  return t;
}

Outcome<TiledTileset> read_tileset(const At& ts, const std::filesystem::path& folder,
                                   const TmxSources& sources) {
  auto first = ts["firstgid"].integer(1, INT32_MAX, std::nullopt);
  if (!first) return first.failure();
  Outcome<TiledTileset> body = Failure{};
  if (ts["source"].present()) {
    const std::filesystem::path file = folder / ts["source"].text();
    const std::optional<std::string> text = sources.read_text(file);
    if (!text) return ts["source"].fail("tileset file " + file.string() + " cannot be read");
    body = parse_tileset_file(*text, file, sources);
  } else {
    body = read_tileset_body(ts, folder);
  }
  if (!body) return body;
  if (auto f = check_tileset(*body, sources)) return *f;
  body->first_gid = *first;
  return body;
}

// One rectangle of gids: an array of numbers, or base64 text maybe compressed.
std::optional<Failure> read_gids(const At& layer, const At& data, TiledChunk& chunk) {
  const size_t cells = static_cast<size_t>(chunk.width) * static_cast<size_t>(chunk.height);
  chunk.where = data.place();
  if (data.value.is_string()) {
    if (layer["encoding"].text() != "base64")
      return layer["encoding"].fail("string data needs the encoding 'base64'");
    auto gids = decode_base64_gids(data.text(), layer["compression"].text(), cells);
    if (!gids) return data.fail(gids.failure().reason);
    chunk.gids = std::move(*gids);
    return std::nullopt;
  }
  if (!data.value.is_array()) return data.fail("layer data must be an array or base64 text");
  if (data.value.size() != cells)
    return data.fail("layer has " + std::to_string(data.value.size()) + " tiles, the map has " +
                     std::to_string(cells) + " cells");
  chunk.gids.reserve(cells);
  for (size_t i = 0; i < cells; ++i) {
    const Json& g = data.value[i];
    if (!g.is_number_unsigned() || g.get<uint64_t>() > UINT32_MAX)
      return data[i].fail("is not a tile number");
    chunk.gids.push_back(static_cast<uint32_t>(g.get<uint64_t>()));
  }
  return std::nullopt;
}

std::optional<Failure> read_tile_layer(const At& layer, const TiledMap& map, TiledLayer& out) {
  if (!map.infinite) {
    int32_t w = 0, h = 0;
    if (read_ints(layer, {{"width", &w, map.width, map.width, map.width},
                          {"height", &h, map.height, map.height, map.height}}))
      return layer.fail("layer " + in_quotes(out.name) + " is not the size of the map");
    out.chunks.push_back({{}, 0, 0, map.width, map.height, {}});
    return read_gids(layer, layer["data"], out.chunks.back());
  }
  const At chunks = layer["chunks"];
  for (size_t i = 0; chunks.value.is_array() && i < chunks.value.size(); ++i) {
    const At c = chunks[i];
    TiledChunk chunk;
    if (auto f = read_ints(c, {{"x", &chunk.x, INT32_MIN / 2, INT32_MAX / 2, std::nullopt},
                               {"y", &chunk.y, INT32_MIN / 2, INT32_MAX / 2, std::nullopt},
                               {"width", &chunk.width, 1, INT32_MAX / 2, std::nullopt},
                               {"height", &chunk.height, 1, INT32_MAX / 2, std::nullopt}}))
      return f;
    if (int64_t{chunk.width} * chunk.height > kMaxCellCount)
      return c.fail("the chunk has more than " + std::to_string(kMaxCellCount) + " cells");
    if (auto f = read_gids(layer, c["data"], chunk)) return f;
    out.chunks.push_back(std::move(chunk));
  }
  return std::nullopt;
}

bool has_offset(const At& layer) {
  for (const char* key : {"offsetx", "offsety"})
    if (layer[key].value.is_number() && layer[key].value.get<double>() != 0.0) return true;
  return false;
}

std::optional<Failure> read_layers(const At& list, bool visible, bool offset, int depth,
                                   TiledMap& map) {
  if (depth > kMaxGroupDepth)
    return list.fail("groups are nested deeper than " + std::to_string(kMaxGroupDepth));
  for (size_t i = 0; list.value.is_array() && i < list.value.size(); ++i) {
    const At l = list[i];
    const std::string type = l["type"].text();
    TiledLayer layer{
        l.place(),
        l["name"].text(),
        TiledLayerKind::tile,
        visible && !(l["visible"].value.is_boolean() && !l["visible"].value.get<bool>()),
        offset || has_offset(l),
        {}};
    if (type == "group") {
      if (auto f = read_layers(l["layers"], layer.visible, layer.offset, depth + 1, map)) return f;
      continue;
    }
    if (type == "objectgroup")
      layer.kind = TiledLayerKind::object;
    else if (type == "imagelayer")
      layer.kind = TiledLayerKind::image;
    else if (type != "tilelayer")
      return l["type"].fail("is not a layer type");
    if (layer.kind == TiledLayerKind::tile)
      if (auto f = read_tile_layer(l, map, layer)) return f;
    map.layers.push_back(std::move(layer));
  }
  return std::nullopt;
}

Outcome<Json> parse_json(std::string_view text, const std::string& file) {
  try {
    return Json::parse(text);
  } catch (const Json::parse_error& e) {
    return failure_at({0, "byte " + std::to_string(e.byte), file}, "not JSON");
  } catch (const Json::exception&) {  // a number beyond every type, and the like
    return failure_at({0, "(root)", file}, "not JSON that hexmap reads");
  }
}

Outcome<TiledTileset> read_tsj(std::string_view text, const std::filesystem::path& file) {
  auto doc = parse_json(text, file.filename().string());
  if (!doc) return doc.failure();
  const At root{*doc, "", file.filename().string()};
  return read_tileset_body(root, file.parent_path());
}

Outcome<TiledMap> read_tiled_json_map(std::string_view text, const std::filesystem::path& folder,
                                      const TmxSources& sources) {
  auto doc = parse_json(text, "");
  if (!doc) return doc.failure();
  const At root{*doc, "", ""};
  if (!doc->is_object() || root["type"].text() != "map")
    return root["type"].fail("not a Tiled map: the type is not 'map'");
  TiledMap map;
  map.where = root.place();
  map.orientation = root["orientation"].text();
  map.stagger_axis = root["staggeraxis"].text();
  map.stagger_index = root["staggerindex"].text();
  map.infinite = root["infinite"].value.is_boolean() && root["infinite"].value.get<bool>();
  if (auto f = read_ints(root, {{"width", &map.width, 1, INT32_MAX / 2, std::nullopt},
                                {"height", &map.height, 1, INT32_MAX / 2, std::nullopt},
                                {"tilewidth", &map.tile_width, 1, INT32_MAX / 2, std::nullopt},
                                {"tileheight", &map.tile_height, 1, INT32_MAX / 2, std::nullopt},
                                {"hexsidelength", &map.hex_side, 0, INT32_MAX / 2, 0}}))
    return *f;
  read_properties(root, map.properties);
  const At sets = root["tilesets"];
  for (size_t i = 0; sets.value.is_array() && i < sets.value.size(); ++i) {
    auto t = read_tileset(sets[i], folder, sources);
    if (!t) return t.failure();
    map.tilesets.push_back(std::move(*t));
  }
  if (auto f = read_layers(root["layers"], true, false, 0, map)) return *f;
  return map;
}

// Reading a parsed document never throws by design; a slip shows as a refusal, not a crash.
template <typename Read>
auto without_throwing(const std::string& file, Read read) -> decltype(read()) {
  try {
    return read();
  } catch (const Json::exception& e) {
    return failure_at({0, "(root)", file}, std::string("unexpected JSON: ") + e.what());
  }
}

}  // namespace

Outcome<TiledTileset> parse_tsj(std::string_view text, const std::filesystem::path& file) {
  return without_throwing(file.filename().string(), [&] { return read_tsj(text, file); });
}

Outcome<TiledMap> parse_tiled_json(std::string_view text, const std::filesystem::path& folder,
                                   const TmxSources& sources) {
  return without_throwing("", [&] { return read_tiled_json_map(text, folder, sources); });
}

}  // namespace hexmap::tool
