// Writing Tiled's JSON form of a map, with the same content as the TMX export.
#include <nlohmann/json.hpp>

#include "tools/tiled_export.hpp"

namespace hexmap::tool {

Outcome<std::string> write_tiled_json(const MapDocument& m, const TmxSheet& sheet) {
  auto e = tiled_export(m, sheet);
  if (!e) return e.failure();
  using Json = nlohmann::ordered_json;
  Json layers = Json::array();
  int id = 1;
  for (const auto& [name, gids] : e->layers)
    layers.push_back({{"data", gids},
                      {"height", m.height},
                      {"id", id++},
                      {"name", name},
                      {"opacity", 1},
                      {"type", "tilelayer"},
                      {"visible", true},
                      {"width", m.width},
                      {"x", 0},
                      {"y", 0}});
  Json properties = Json::array();
  for (const auto& [name, value] : e->properties)
    properties.push_back({{"name", name}, {"type", "int"}, {"value", value}});
  Json tileset = {{"columns", e->columns},          {"firstgid", 1},
                  {"image", sheet.source},          {"imageheight", sheet.size.height},
                  {"imagewidth", sheet.size.width}, {"margin", 0},
                  {"name", e->tileset_name},        {"spacing", 0},
                  {"tilecount", e->tile_count},     {"tileheight", m.tile_height}};
  // Tiled anchors a tile at its hexagon's bottom-left, the engine at the box's top-left.
  if (e->offset_y != 0) tileset["tileoffset"] = {{"x", 0}, {"y", e->offset_y}};
  if (!e->costs.empty()) {
    Json tiles = Json::array();
    for (const auto& [tile, cost] : e->costs) {
      Json property = {{"name", std::string(kCostProperty)}, {"type", "int"}, {"value", cost}};
      tiles.push_back({{"id", tile}, {"properties", Json::array({property})}});
    }
    tileset["tiles"] = tiles;
  }
  tileset["tilewidth"] = m.tile_width;
  tileset["transparentcolor"] = std::string("#") + kTransparentKey;
  const Json map = {{"compressionlevel", -1},
                    {"height", m.height},
                    {"hexsidelength", e->hex_side},
                    {"infinite", false},
                    {"layers", layers},
                    {"nextlayerid", id},
                    {"nextobjectid", 1},
                    {"orientation", "hexagonal"},
                    {"properties", properties},
                    {"renderorder", "right-down"},
                    {"staggeraxis", "x"},
                    {"staggerindex", "odd"},
                    {"tileheight", m.box_height},
                    {"tilesets", Json::array({tileset})},
                    {"tilewidth", e->hex_width},
                    {"type", "map"},
                    {"version", kTiledVersion},
                    {"width", m.width}};
  return map.dump(1) + "\n";
}

}  // namespace hexmap::tool
