// Reading Tiled's XML form (.tmx maps, .tsx tilesets) into the file-neutral form.
#include <pugixml.hpp>

#include <algorithm>
#include <charconv>

#include "hexmap/hexagon_map.hpp"
#include "tools/layer_data.hpp"
#include "tools/tiled_model.hpp"

namespace hexmap::tool {
namespace {

// Line of a byte offset in the text (1-based).
int line_at(std::string_view text, ptrdiff_t offset) {
  const auto end = text.begin() + std::clamp<ptrdiff_t>(offset, 0, ssize(text));
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

struct Reader {
  std::string_view text;
  std::string file;  // empty for the map itself
  const TmxSources& sources;

  Place at(const pugi::xml_node& node) const {
    return {node.offset_debug() < 0 ? 0 : line_at(text, node.offset_debug()), "", file};
  }
  Failure fail(const pugi::xml_node& node, const std::string& reason) const {
    return failure_at(at(node), reason);
  }

  // An int attribute within [low, high]; `fallback` when the attribute is absent.
  Outcome<int32_t> integer(const pugi::xml_node& node, const char* name, int64_t low, int64_t high,
                           std::optional<int32_t> fallback) const {
    const pugi::xml_attribute a = node.attribute(name);
    if (!a) {
      if (fallback) return *fallback;
      return fail(node, "<" + std::string(node.name()) + "> has no " + name);
    }
    std::string_view s = a.value();
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || v < low || v > high)
      return fail(node, std::string(name) + "=" + in_quotes(a.value()) +
                            " must be a whole number from " + std::to_string(low) + " to " +
                            std::to_string(high));
    return static_cast<int32_t>(v);
  }
};

void read_properties(const Reader& r, const pugi::xml_node& owner,
                     std::map<std::string, TiledProperty>& out) {
  for (const pugi::xml_node& p : owner.child("properties").children("property"))
    out[p.attribute("name").value()] = {r.at(p), p.attribute("type").as_string("string"),
                                        p.attribute("value").value()};
}

std::optional<Failure> read_image(const Reader& r, const pugi::xml_node& image,
                                  const std::filesystem::path& folder, std::filesystem::path& path,
                                  TransparentColour& transparent) {
  if (!image || !image.attribute("source")) return r.fail(image, "the tileset has no image");
  path = folder / image.attribute("source").value();
  if (const pugi::xml_attribute trans = image.attribute("trans")) {
    std::string_view hex = trans.value();
    if (!hex.empty() && hex.front() == '#') hex.remove_prefix(1);
    uint32_t colour = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), colour, 16);
    if (hex.size() != 6 || ec != std::errc() || end != hex.data() + hex.size())
      return r.fail(image, "trans=" + in_quotes(trans.value()) + " is not a colour RRGGBB");
    transparent = colour;
  }
  return std::nullopt;
}

// The tileset element's own content, from the map or from a .tsx file.
Outcome<TiledTileset> read_tileset_body(const Reader& r, const pugi::xml_node& ts,
                                        const std::filesystem::path& folder) {
  TiledTileset t;
  t.where = r.at(ts);
  t.name = ts.attribute("name").value();
  struct Field {
    const char* name;
    int32_t* target;
    int64_t low, high;
    std::optional<int32_t> fallback;
  };
  for (const Field& f : {Field{"tilewidth", &t.tile_width, 1, kMaxTileSide, std::nullopt},
                         Field{"tileheight", &t.tile_height, 1, kMaxTileSide, std::nullopt},
                         Field{"tilecount", &t.tile_count, 0, kMaxCellCount, 0},
                         Field{"columns", &t.columns, 0, kMaxTileSide, 0},
                         Field{"margin", &t.margin, 0, kMaxTileSide, 0},
                         Field{"spacing", &t.spacing, 0, kMaxTileSide, 0}}) {
    auto v = r.integer(ts, f.name, f.low, f.high, f.fallback);
    if (!v) return v.failure();
    *f.target = *v;
  }
  if (const pugi::xml_node off = ts.child("tileoffset")) {
    auto x = r.integer(off, "x", INT32_MIN, INT32_MAX, 0);
    if (!x) return x.failure();
    auto y = r.integer(off, "y", INT32_MIN, INT32_MAX, 0);
    if (!y) return y.failure();
    t.offset_x = *x;
    t.offset_y = *y;
  }
  if (const pugi::xml_node image = ts.child("image"))
    if (auto f = read_image(r, image, folder, t.image, t.transparent)) return *f;
  for (const pugi::xml_node& tile : ts.children("tile")) {
    auto id = r.integer(tile, "id", 0, kMaxCellCount, std::nullopt);
    if (!id) return id.failure();
    std::map<std::string, TiledProperty> props;
    read_properties(r, tile, props);
    if (auto f = read_tile_properties(*id, props, t)) return *f;
    if (const pugi::xml_node image = tile.child("image")) {
      TiledTileImage ti{*id, {}, {}, r.at(image)};
      TransparentColour unused;
      if (auto f = read_image(r, image, folder, ti.image, unused)) return *f;
      t.tile_images.push_back(std::move(ti));
    }
  }
  if (t.image.empty() && t.tile_images.empty())
    return r.fail(ts, "tileset " + in_quotes(t.name) + " has no image");
  return t;
}

Outcome<TiledTileset> read_tileset(const Reader& r, const pugi::xml_node& ts,
                                   const std::filesystem::path& folder) {
  auto first = r.integer(ts, "firstgid", 1, INT32_MAX, std::nullopt);
  if (!first) return first.failure();
  Outcome<TiledTileset> body = Failure{};
  if (const pugi::xml_attribute source = ts.attribute("source")) {
    const std::filesystem::path file = folder / source.value();
    const std::optional<std::string> text = r.sources.read_text(file);
    if (!text) return r.fail(ts, "tileset file " + file.string() + " cannot be read");
    body = parse_tileset_file(*text, file, r.sources);
  } else {
    body = read_tileset_body(r, ts, folder);
  }
  if (!body) return body;
  if (auto f = check_tileset(*body, r.sources)) return *f;
  body->first_gid = *first;
  return body;
}

std::optional<Failure> read_gids(const Reader& r, const pugi::xml_node& data,
                                 std::string_view encoding, std::string_view compression,
                                 const pugi::xml_node& holder, TiledChunk& chunk) {
  const size_t cells = static_cast<size_t>(chunk.width) * static_cast<size_t>(chunk.height);
  Outcome<std::vector<uint32_t>> gids = std::vector<uint32_t>{};
  if (encoding.empty()) {
    if (!compression.empty()) return r.fail(data, "compression needs base64 encoding");
    std::vector<uint32_t> list;
    for (const pugi::xml_node& tile : holder.children("tile")) {
      if (list.size() == cells) return r.fail(tile, "layer has more tiles than the map has cells");
      const auto v = gid_from_text(tile.attribute("gid").as_string("0"));
      if (!v) return r.fail(tile, "gid is not a tile number");
      list.push_back(*v);
    }
    if (list.size() != cells)
      return r.fail(data, "layer has " + std::to_string(list.size()) + " tiles, the map has " +
                              std::to_string(cells) + " cells");
    gids = std::move(list);
  } else if (encoding == "csv") {
    if (!compression.empty()) return r.fail(data, "CSV layer data cannot be compressed");
    gids = decode_csv_gids(holder.text().get(), cells);
  } else if (encoding == "base64") {
    gids = decode_base64_gids(holder.text().get(), compression, cells);
  } else {
    return r.fail(data, "encoding " + in_quotes(encoding) + " is not supported");
  }
  if (!gids) return r.fail(holder, gids.failure().reason);
  chunk.gids = std::move(*gids);
  return std::nullopt;
}

std::optional<Failure> read_tile_layer(const Reader& r, const pugi::xml_node& layer,
                                       const TiledMap& map, TiledLayer& out) {
  const pugi::xml_node data = layer.child("data");
  if (!data) return r.fail(layer, "layer " + in_quotes(out.name) + " has no data");
  const std::string_view encoding = data.attribute("encoding").value();
  const std::string_view compression = data.attribute("compression").value();
  if (!map.infinite) {
    auto w = r.integer(layer, "width", map.width, map.width, map.width);
    auto h = r.integer(layer, "height", map.height, map.height, map.height);
    if (!w || !h)
      return r.fail(layer, "layer " + in_quotes(out.name) + " is not the size of the map");
    out.chunks.push_back({r.at(data), 0, 0, map.width, map.height, {}});
    return read_gids(r, data, encoding, compression, data, out.chunks.back());
  }
  for (const pugi::xml_node& c : data.children("chunk")) {
    TiledChunk chunk;
    chunk.where = r.at(c);
    for (auto [name, target, low] :
         {std::tuple{"x", &chunk.x, INT32_MIN / 2}, std::tuple{"y", &chunk.y, INT32_MIN / 2},
          std::tuple{"width", &chunk.width, 1}, std::tuple{"height", &chunk.height, 1}}) {
      auto v = r.integer(c, name, low, INT32_MAX / 2, std::nullopt);
      if (!v) return v.failure();
      *target = *v;
    }
    if (int64_t{chunk.width} * chunk.height > kMaxCellCount)
      return r.fail(c, "the chunk has more than " + std::to_string(kMaxCellCount) + " cells");
    if (auto f = read_gids(r, data, encoding, compression, c, chunk)) return f;
    out.chunks.push_back(std::move(chunk));
  }
  return std::nullopt;
}

// The layers below `parent` in drawing order, groups read through.
std::optional<Failure> read_layers(const Reader& r, const pugi::xml_node& parent, bool visible,
                                   bool offset, int depth, TiledMap& map) {
  if (depth > kMaxGroupDepth)
    return r.fail(parent, "groups are nested deeper than " + std::to_string(kMaxGroupDepth));
  for (const pugi::xml_node& child : parent.children()) {
    const std::string_view tag = child.name();
    TiledLayer layer{r.at(child),
                     child.attribute("name").value(),
                     TiledLayerKind::tile,
                     visible && child.attribute("visible").as_int(1) != 0,
                     offset || child.attribute("offsetx").as_double(0.0) != 0.0 ||
                         child.attribute("offsety").as_double(0.0) != 0.0,
                     {}};
    if (tag == "group") {
      if (auto f = read_layers(r, child, layer.visible, layer.offset, depth + 1, map)) return f;
      continue;
    }
    if (tag == "objectgroup")
      layer.kind = TiledLayerKind::object;
    else if (tag == "imagelayer")
      layer.kind = TiledLayerKind::image;
    else if (tag != "layer")
      continue;
    if (layer.kind == TiledLayerKind::tile)
      if (auto f = read_tile_layer(r, child, map, layer)) return f;
    map.layers.push_back(std::move(layer));
  }
  return std::nullopt;
}

Outcome<pugi::xml_document> parse_xml(std::string_view text, const std::string& file) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
  if (!parsed)
    return failure_at({line_at(text, parsed.offset), "", file},
                      std::string("not XML: ") + parsed.description());
  return doc;
}

}  // namespace

Outcome<TiledTileset> parse_tsx(std::string_view text, const std::filesystem::path& file,
                                const TmxSources& sources) {
  auto doc = parse_xml(text, file.filename().string());
  if (!doc) return doc.failure();
  const Reader inner{text, file.filename().string(), sources};
  const pugi::xml_node root = doc->child("tileset");
  if (!root) return failure_at({1, "", inner.file}, "has no <tileset>");
  return read_tileset_body(inner, root, file.parent_path());
}

Outcome<TiledMap> parse_tiled_xml(std::string_view text, const std::filesystem::path& folder,
                                  const TmxSources& sources) {
  auto doc = parse_xml(text, "");
  if (!doc) return doc.failure();
  const Reader r{text, "", sources};
  const pugi::xml_node m = doc->child("map");
  if (!m) return Failure{"not a Tiled map: no <map> element", 1};
  TiledMap map;
  map.where = r.at(m);
  map.orientation = m.attribute("orientation").value();
  map.stagger_axis = m.attribute("staggeraxis").value();
  map.stagger_index = m.attribute("staggerindex").value();
  map.infinite = m.attribute("infinite").as_int(0) != 0;
  for (auto [name, target, low] :
       {std::tuple{"width", &map.width, 1}, std::tuple{"height", &map.height, 1},
        std::tuple{"tilewidth", &map.tile_width, 1}, std::tuple{"tileheight", &map.tile_height, 1},
        std::tuple{"hexsidelength", &map.hex_side, 0}}) {
    // Only hexagonal maps have a side length; the layout check says what else is wrong.
    auto v = r.integer(m, name, low, INT32_MAX / 2,
                       std::string_view(name) == "hexsidelength" ? std::optional(0) : std::nullopt);
    if (!v) return v.failure();
    *target = *v;
  }
  read_properties(r, m, map.properties);
  for (const pugi::xml_node& ts : m.children("tileset")) {
    auto t = read_tileset(r, ts, folder);
    if (!t) return t.failure();
    map.tilesets.push_back(std::move(*t));
  }
  if (auto f = read_layers(r, m, true, false, 0, map)) return *f;
  return map;
}

}  // namespace hexmap::tool
