// Reading Tiled maps. Everything the engine cannot show the way Tiled does is refused with a
// reason; nothing is guessed.
#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <set>

#include "hexmap/hexagon_map.hpp"
#include "tools/base64.hpp"
#include "tools/inflate.hpp"
#include "tools/tmx_format.hpp"

namespace hexmap::tool {
namespace {

// The top bits of a gid say how Tiled flips or rotates the tile; the engine cannot.
constexpr uint32_t kGidFlagMask = 0xF0000000u;
constexpr size_t kGidBytes = 4;

std::string in_quotes(std::string_view s) {
  return "'" + std::string(s) + "'";
}

// Line of a node in the text it was parsed from (1-based).
int line_of(std::string_view text, const pugi::xml_node& node) {
  const ptrdiff_t offset = node.offset_debug();
  if (offset < 0) return 0;
  const auto end = text.begin() + std::min<ptrdiff_t>(offset, ssize(text));
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

struct Reader {
  std::string_view text;
  std::string file_label;  // prefix for failures about another file than the map

  Failure fail(const pugi::xml_node& node, std::string reason) const {
    if (file_label.empty()) return Failure{std::move(reason), line_of(text, node)};
    return Failure{file_label + ":" + std::to_string(line_of(text, node)) + ": " + reason, 0};
  }
};

std::optional<int64_t> to_integer(std::string_view s) {
  int64_t v = 0;
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

// An int attribute within [low, high]; `fallback` when the attribute is absent.
Outcome<int32_t> int_attribute(const Reader& r, const pugi::xml_node& node, const char* name,
                               int64_t low, int64_t high, std::optional<int32_t> fallback) {
  const pugi::xml_attribute a = node.attribute(name);
  if (!a) {
    if (fallback) return *fallback;
    return r.fail(node, "<" + std::string(node.name()) + "> has no " + name);
  }
  const auto v = to_integer(a.value());
  if (!v || *v < low || *v > high)
    return r.fail(node, std::string(name) + "=" + in_quotes(a.value()) +
                            " must be a whole number from " + std::to_string(low) + " to " +
                            std::to_string(high));
  return static_cast<int32_t>(*v);
}

Failure unsupported_layout(const Reader& r, const pugi::xml_node& map) {
  return r.fail(map, std::string("orientation ") + in_quotes(map.attribute("orientation").value()) +
                         ", staggeraxis " + in_quotes(map.attribute("staggeraxis").value()) +
                         ", staggerindex " + in_quotes(map.attribute("staggerindex").value()) +
                         " is not supported: maps must be hexagonal with staggeraxis 'x' and "
                         "staggerindex 'odd'");
}

struct Tileset {
  int32_t first_gid = 1;
  int32_t tile_width = 0;
  int32_t tile_height = 0;
  int32_t tile_count = 0;
  std::filesystem::path image;
  TransparentColour transparent;
  int32_t offset_x = 0;
  int32_t offset_y = 0;
  std::map<int32_t, int32_t> costs;  // tile index -> "cost" property
  std::set<int32_t> solid_tiles;     // tile indices with "solid" true
};

// A path through every cell of the largest map still sums within int32.
constexpr int32_t kMaxGroundCost = (int64_t{1} << 31) / kMaxCellCount - 1;
constexpr std::string_view kSolidProperty = "solid";
constexpr std::string_view kCostProperty = "cost";

// The engine's meaning of a tile's own properties: "solid" (bool) and "cost" (int).
std::optional<Failure> read_tile_properties(const Reader& r, const pugi::xml_node& ts, Tileset& t) {
  for (const pugi::xml_node& tile : ts.children("tile")) {
    auto id = int_attribute(r, tile, "id", 0, t.tile_count - 1, std::nullopt);
    if (!id) return id.failure();
    for (const pugi::xml_node& p : tile.child("properties").children("property")) {
      const std::string_view name = p.attribute("name").value();
      const std::string_view type = p.attribute("type").as_string("string");
      if (name == kSolidProperty && type == "bool") {
        if (p.attribute("value").as_bool()) t.solid_tiles.insert(*id);
      } else if (name == kCostProperty && type == "int") {
        auto cost = int_attribute(r, p, "value", 1, kMaxGroundCost, std::nullopt);
        if (!cost) return cost.failure();
        t.costs[*id] = *cost;
      }
    }
  }
  return std::nullopt;
}

std::string lowercase_extension(const std::filesystem::path& p) {
  std::string e = p.extension().string();
  std::transform(e.begin(), e.end(), e.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return e;
}

// The tileset element's own content, from the map or from an external .tsx file.
Outcome<Tileset> read_tileset_body(const Reader& r, const pugi::xml_node& ts,
                                   const std::filesystem::path& folder, const TmxSources& sources) {
  Tileset t;
  constexpr int64_t kMaxTileSide = 1 << 15;  // the screen's own largest side
  auto tw = int_attribute(r, ts, "tilewidth", 1, kMaxTileSide, std::nullopt);
  if (!tw) return tw.failure();
  auto th = int_attribute(r, ts, "tileheight", 1, kMaxTileSide, std::nullopt);
  if (!th) return th.failure();
  t.tile_width = *tw;
  t.tile_height = *th;
  for (const char* gap : {"spacing", "margin"}) {
    auto v = int_attribute(r, ts, gap, 0, 0, 0);
    if (!v)
      return r.fail(ts, std::string("tileset ") + gap +
                            " must be 0: the engine cuts sheets with no gaps between tiles");
  }
  for (const pugi::xml_node& tile : ts.children("tile"))
    if (tile.child("image"))
      return r.fail(tile, "tileset " + in_quotes(ts.attribute("name").value()) +
                              " is a collection of images; the engine needs one tile sheet");
  if (const pugi::xml_node off = ts.child("tileoffset")) {
    auto x = int_attribute(r, off, "x", INT32_MIN, INT32_MAX, 0);
    if (!x) return x.failure();
    auto y = int_attribute(r, off, "y", INT32_MIN, INT32_MAX, 0);
    if (!y) return y.failure();
    t.offset_x = *x;
    t.offset_y = *y;
  }
  const pugi::xml_node image = ts.child("image");
  if (!image || !image.attribute("source"))
    return r.fail(ts, "tileset " + in_quotes(ts.attribute("name").value()) + " has no image");
  t.image = folder / image.attribute("source").value();
  const std::string ext = lowercase_extension(t.image);
  if (ext != ".png" && ext != ".bmp")
    return r.fail(image, "tileset image " + in_quotes(image.attribute("source").value()) +
                             " is neither PNG nor BMP");
  if (const pugi::xml_attribute trans = image.attribute("trans")) {
    std::string_view hex = trans.value();
    if (!hex.empty() && hex.front() == '#') hex.remove_prefix(1);
    uint32_t colour = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), colour, 16);
    if (hex.size() != 6 || ec != std::errc() || end != hex.data() + hex.size())
      return r.fail(image, "trans=" + in_quotes(trans.value()) + " is not a colour RRGGBB");
    t.transparent = colour;
  }
  const std::optional<ImageSize> size = sources.image_size(t.image);
  if (!size) return r.fail(image, "tileset image " + t.image.string() + " cannot be read");
  const int64_t capacity =
      int64_t{size->width / t.tile_width} * int64_t{size->height / t.tile_height};
  if (capacity < 1)
    return r.fail(image, "tileset image " + t.image.string() + " is smaller than one tile");
  auto count = int_attribute(r, ts, "tilecount", 1, capacity,
                             static_cast<int32_t>(std::min<int64_t>(capacity, INT32_MAX)));
  if (!count)
    return r.fail(ts, "tilecount " + in_quotes(ts.attribute("tilecount").value()) +
                          " does not fit the image, which holds " + std::to_string(capacity) +
                          " tiles");
  t.tile_count = *count;
  if (auto f = read_tile_properties(r, ts, t)) return *f;
  return t;
}

Outcome<Tileset> read_tileset(const Reader& r, const pugi::xml_node& ts,
                              const std::filesystem::path& folder, const TmxSources& sources) {
  auto first = int_attribute(r, ts, "firstgid", 1, INT32_MAX, std::nullopt);
  if (!first) return first.failure();
  Outcome<Tileset> body = Failure{};
  if (const pugi::xml_attribute source = ts.attribute("source")) {
    const std::filesystem::path tsx = folder / source.value();
    const std::optional<std::string> text = sources.read_text(tsx);
    if (!text) return r.fail(ts, "tileset file " + tsx.string() + " cannot be read");
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(text->data(), text->size());
    const Reader inner{*text, tsx.filename().string()};
    if (!parsed) return Failure{inner.file_label + ": not XML: " + parsed.description(), 0};
    const pugi::xml_node root = doc.child("tileset");
    if (!root) return Failure{inner.file_label + ": has no <tileset>", 0};
    body = read_tileset_body(inner, root, tsx.parent_path(), sources);
  } else {
    body = read_tileset_body(r, ts, folder, sources);
  }
  if (body) body->first_gid = *first;
  return body;
}

// Interprets one layer's gids and stores them into the cells.
enum class LayerRole { ground, wall, solid, overlay, prop };

struct LayerKind {
  LayerRole role;
  int side = 0;  // for walls
};

std::optional<LayerKind> layer_kind(std::string_view name) {
  if (name == kGroundLayer) return LayerKind{LayerRole::ground};
  if (name == kSolidLayer) return LayerKind{LayerRole::solid};
  if (name == kOverlayLayer) return LayerKind{LayerRole::overlay};
  if (name == kPropLayer) return LayerKind{LayerRole::prop};
  for (int side = 0; side < 6; ++side)
    if (name == kWallLayers[side]) return LayerKind{LayerRole::wall, side};
  return std::nullopt;
}

std::string known_layer_names() {
  std::string s = in_quotes(kGroundLayer);
  for (std::string_view w : kWallLayers)
    s += ", " + in_quotes(w);
  for (std::string_view n : {kSolidLayer, kOverlayLayer, kPropLayer})
    s += ", " + in_quotes(n);
  return s;
}

Outcome<std::vector<uint32_t>> layer_gids(const Reader& r, const pugi::xml_node& data,
                                          size_t cells) {
  const std::string_view encoding = data.attribute("encoding").value();
  const std::string_view compression = data.attribute("compression").value();
  std::vector<uint32_t> gids;
  if (data.child("chunk"))
    return r.fail(data, "infinite maps (chunked layer data) are not supported");
  if (encoding.empty()) {
    if (!compression.empty()) return r.fail(data, "compression needs base64 encoding");
    for (const pugi::xml_node& tile : data.children("tile")) {
      if (gids.size() == cells) return r.fail(tile, "layer has more tiles than the map has cells");
      const auto v = to_integer(tile.attribute("gid").as_string("0"));
      if (!v || *v < 0 || *v > UINT32_MAX) return r.fail(tile, "gid is not a tile number");
      gids.push_back(static_cast<uint32_t>(*v));
    }
  } else if (encoding == "csv") {
    if (!compression.empty()) return r.fail(data, "CSV layer data cannot be compressed");
    std::string_view rest = data.text().get();
    gids.reserve(cells);
    while (true) {
      const size_t start = rest.find_first_not_of(" \t\r\n");
      if (start == std::string_view::npos) break;
      rest.remove_prefix(start);
      const size_t end = rest.find_first_of(", \t\r\n");
      const auto v = to_integer(rest.substr(0, end));
      if (!v || *v < 0 || *v > UINT32_MAX)
        return r.fail(data, "CSV value " + in_quotes(rest.substr(0, std::min<size_t>(end, 20))) +
                                " is not a tile number");
      if (gids.size() == cells) return r.fail(data, "layer has more tiles than the map has cells");
      gids.push_back(static_cast<uint32_t>(*v));
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end);
      const size_t comma = rest.find_first_not_of(" \t\r\n");
      if (comma == std::string_view::npos) break;
      if (rest[comma] != ',') return r.fail(data, "CSV values must be separated by commas");
      rest.remove_prefix(comma + 1);
    }
  } else if (encoding == "base64") {
    if (!compression.empty() && compression != "zlib" && compression != "gzip")
      return r.fail(data, "compression " + in_quotes(compression) +
                              " is not supported (use CSV, base64, base64 with zlib or gzip)");
    auto bytes = base64_decode(data.text().get());
    if (!bytes) return r.fail(data, "layer data is not base64");
    const size_t expected = cells * kGidBytes;
    if (!compression.empty()) {
      bytes = inflate_all(*bytes, compression == "zlib" ? Wrapper::zlib : Wrapper::gzip, expected);
      if (!bytes)
        return r.fail(data, "layer data does not inflate to " + std::to_string(expected) +
                                " bytes with " + std::string(compression));
    }
    if (bytes->size() != expected)
      return r.fail(data, "layer data holds " + std::to_string(bytes->size() / kGidBytes) +
                              " tiles, the map has " + std::to_string(cells) + " cells");
    gids.resize(cells);
    for (size_t i = 0; i < cells; ++i) {
      const uint8_t* b = bytes->data() + i * kGidBytes;
      gids[i] = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    }
  } else {
    return r.fail(data, "encoding " + in_quotes(encoding) + " is not supported");
  }
  if (gids.size() != cells)
    return r.fail(data, "layer has " + std::to_string(gids.size()) + " tiles, the map has " +
                            std::to_string(cells) + " cells");
  return gids;
}

std::optional<Failure> read_layer(const Reader& r, const pugi::xml_node& layer, const Tileset& ts,
                                  MapDocument& map) {
  const std::string name = layer.attribute("name").value();
  const std::optional<LayerKind> kind = layer_kind(name);
  if (!kind)
    return r.fail(layer, "layer " + in_quotes(name) +
                             " has no meaning for the engine; layers are " + known_layer_names());
  auto w = int_attribute(r, layer, "width", map.width, map.width, map.width);
  auto h = int_attribute(r, layer, "height", map.height, map.height, map.height);
  if (!w || !h) return r.fail(layer, "layer " + in_quotes(name) + " is not the size of the map");
  for (const char* offset : {"offsetx", "offsety"})
    if (layer.attribute(offset).as_double(0.0) != 0.0)
      return r.fail(layer,
                    "layer " + in_quotes(name) + " is drawn with an offset; the engine has none");
  const pugi::xml_node data = layer.child("data");
  if (!data) return r.fail(layer, "layer " + in_quotes(name) + " has no data");
  auto gids = layer_gids(r, data, map.cells.size());
  if (!gids) return gids.failure();

  const int64_t last_gid = int64_t{ts.first_gid} + ts.tile_count - 1;
  for (size_t i = 0; i < gids->size(); ++i) {
    const uint32_t gid = (*gids)[i];
    const std::string at = "(" + std::to_string(i % static_cast<size_t>(map.width)) + "," +
                           std::to_string(i / static_cast<size_t>(map.width)) + ")";
    if (gid & kGidFlagMask)
      return r.fail(data, "the tile at " + at + " of layer " + in_quotes(name) +
                              " is flipped or rotated; the engine draws tiles only as they are");
    if (gid == 0) continue;
    if (gid < static_cast<uint32_t>(ts.first_gid) || gid > last_gid)
      return r.fail(data, "the tile at " + at + " of layer " + in_quotes(name) + " (gid " +
                              std::to_string(gid) + ") is not in the tileset");
    const int32_t id = static_cast<int32_t>(gid - static_cast<uint32_t>(ts.first_gid));
    CellDocument& cell = map.cells[i];
    if (ts.solid_tiles.contains(id)) cell.solid = -1;
    switch (kind->role) {
      case LayerRole::ground:
        cell.ground = id;
        break;
      case LayerRole::wall:
        cell.wall |= 1 << kind->side;
        break;
      case LayerRole::solid:
        cell.solid = -1;
        break;
      case LayerRole::overlay:
        cell.overlay = id;
        break;
      case LayerRole::prop:
        cell.prop = id;
        break;
    }
  }
  return std::nullopt;
}

// Map properties holding the panels; `required` ones must be present.
std::optional<Failure> read_properties(const Reader& r, const pugi::xml_node& map_node,
                                       MapDocument& map) {
  struct Wanted {
    std::string_view name;
    int32_t* target;
    bool required;
  };
  const std::array<Wanted, 4> wanted{{{kSolidPanelProperty, &map.solid_panel, true},
                                      {kFloodPanelProperty, &map.flood_panel, true},
                                      {kFirstWallPanelProperty, &map.first_wall_panel, true},
                                      {kTileCountProperty, &map.tile_count, false}}};
  const pugi::xml_node props = map_node.child("properties");
  for (const Wanted& w : wanted) {
    const pugi::xml_node p =
        props.find_child_by_attribute("property", "name", std::string(w.name).c_str());
    if (!p) {
      if (!w.required) continue;
      return r.fail(map_node, "the map property " + in_quotes(w.name) +
                                  " (int) is missing; it holds the engine's tile id for it");
    }
    const std::string_view type = p.attribute("type").as_string("string");
    auto v = int_attribute(r, p, "value", INT32_MIN, INT32_MAX, std::nullopt);
    if ((type != "int" && type != "string") || !v)
      return r.fail(p, "the map property " + in_quotes(w.name) + " must be a whole number");
    *w.target = *v;
  }
  return std::nullopt;
}

}  // namespace

Outcome<TmxImport> read_tmx(std::string_view xml, const std::filesystem::path& folder,
                            const TmxSources& sources) {
  const Reader r{xml, {}};
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
  if (!parsed) {
    const int line =
        1 +
        static_cast<int>(std::count(
            xml.begin(), xml.begin() + std::clamp<ptrdiff_t>(parsed.offset, 0, ssize(xml)), '\n'));
    return Failure{std::string("not XML: ") + parsed.description(), line};
  }
  const pugi::xml_node m = doc.child("map");
  if (!m) return Failure{"not a Tiled map: no <map> element", 1};
  if (std::string_view(m.attribute("orientation").value()) != "hexagonal" ||
      std::string_view(m.attribute("staggeraxis").value()) != "x" ||
      std::string_view(m.attribute("staggerindex").value()) != "odd")
    return unsupported_layout(r, m);
  if (m.attribute("infinite").as_int(0) != 0)
    return r.fail(m, "infinite maps are not supported; give the map a fixed size");

  TmxImport out;
  MapDocument& map = out.map;
  auto width = int_attribute(r, m, "width", 1, INT32_MAX, std::nullopt);
  if (!width) return width.failure();
  auto height = int_attribute(r, m, "height", 1, INT32_MAX, std::nullopt);
  if (!height) return height.failure();
  if (int64_t{*width} * *height > kMaxCellCount)
    return r.fail(m, "the map has more than " + std::to_string(kMaxCellCount) + " cells");
  map.width = *width;
  map.height = *height;
  // Tiled rounds hexagon sizes down to even numbers; an odd one would draw elsewhere there.
  auto hex_width = int_attribute(r, m, "tilewidth", 2, INT32_MAX / 2, std::nullopt);
  if (!hex_width) return hex_width.failure();
  auto hex_height = int_attribute(r, m, "tileheight", 2, INT32_MAX / 2, std::nullopt);
  if (!hex_height) return hex_height.failure();
  auto side = int_attribute(r, m, "hexsidelength", 0, INT32_MAX / 2, std::nullopt);
  if (!side) return side.failure();
  if (*hex_width % 2 != 0 || *hex_height % 2 != 0)
    return r.fail(m, "tilewidth and tileheight must be even for staggered hexagons");
  // Tiled's column step: half of what the side leaves of the width, plus the side.
  map.box_width = (*hex_width - *side) / 2 + *side;
  map.box_height = *hex_height;
  if (map.box_width < 1) return r.fail(m, "hexsidelength leaves no room between columns");

  if (const auto n = std::distance(m.children("tileset").begin(), m.children("tileset").end());
      n != 1)
    return r.fail(m, "the map has " + std::to_string(n) +
                         " tilesets; the engine draws from exactly one tile sheet");
  auto ts = read_tileset(r, m.child("tileset"), folder, sources);
  if (!ts) return ts.failure();
  map.tile_width = ts->tile_width;
  map.tile_height = ts->tile_height;
  map.tile_count = ts->tile_count;
  map.ground_costs = ts->costs;  // a tile's index is its ground id
  out.sheet = ts->image;
  out.transparent = ts->transparent;
  // The engine puts a tile's top-left corner at its box's; Tiled anchors it bottom-left.
  const int64_t wanted_offset = int64_t{map.tile_height} - map.box_height;
  if (ts->offset_x != 0 || ts->offset_y != wanted_offset)
    return r.fail(m.child("tileset"),
                  "the tileset's drawing offset must be 0," + std::to_string(wanted_offset) +
                      " so that tiles " + std::to_string(map.tile_height) +
                      " pixels high sit on hexagons " + std::to_string(map.box_height) +
                      " high as the engine draws them");

  if (auto f = read_properties(r, m, map)) return *f;

  map.cells.assign(static_cast<size_t>(map.width) * static_cast<size_t>(map.height), {});
  std::vector<std::string> seen;
  for (const pugi::xml_node& child : m.children()) {
    const std::string_view tag = child.name();
    if (tag == "properties" || tag == "tileset" || tag == "editorsettings") continue;
    if (tag != "layer")
      return r.fail(child,
                    "<" + std::string(tag) + "> is not supported: only tile layers carry cells");
    const std::string name = child.attribute("name").value();
    if (std::find(seen.begin(), seen.end(), name) != seen.end())
      return r.fail(child, "layer " + in_quotes(name) + " appears twice");
    seen.push_back(name);
    if (auto f = read_layer(r, child, *ts, map)) return *f;
  }
  return out;
}

}  // namespace hexmap::tool
