// Writing Tiled maps: one embedded tileset, CSV layers, the panels as map properties.
#include <pugixml.hpp>

#include <algorithm>
#include <sstream>

#include "tools/tiled_export.hpp"

namespace hexmap::tool {
namespace {

std::string at(const MapDocument& m, size_t i) {
  return "(" + std::to_string(i % static_cast<size_t>(m.width)) + "," +
         std::to_string(i / static_cast<size_t>(m.width)) + ")";
}

void add_property(pugi::xml_node props, std::string_view name, int32_t value) {
  pugi::xml_node p = props.append_child("property");
  p.append_attribute("name") = std::string(name).c_str();
  p.append_attribute("type") = "int";
  p.append_attribute("value") = value;
}

// Gids of one layer as CSV, one map row per line.
void add_layer(pugi::xml_node map_node, int id, std::string_view name, const MapDocument& m,
               const std::vector<uint32_t>& gids) {
  pugi::xml_node layer = map_node.append_child("layer");
  layer.append_attribute("id") = id;
  layer.append_attribute("name") = std::string(name).c_str();
  layer.append_attribute("width") = m.width;
  layer.append_attribute("height") = m.height;
  pugi::xml_node data = layer.append_child("data");
  data.append_attribute("encoding") = "csv";
  std::string csv = "\n";
  for (size_t i = 0; i < gids.size(); ++i) {
    csv += std::to_string(gids[i]);
    if (i + 1 < gids.size()) csv += ',';
    if ((i + 1) % static_cast<size_t>(m.width) == 0) csv += '\n';
  }
  data.append_child(pugi::node_pcdata).set_value(csv.c_str());
}

}  // namespace

Outcome<TiledExport> tiled_export(const MapDocument& m, const TmxSheet& sheet) {
  if (m.width < 1 || m.height < 1 ||
      m.cells.size() != static_cast<size_t>(m.width) * static_cast<size_t>(m.height))
    return Failure{"the map's size does not match its cells"};
  if (m.tile_width < 1 || m.tile_height < 1) return Failure{"the tile size is below 1"};
  if (m.box_width < 1 || m.box_height < 2 || m.box_height % 2 != 0)
    return Failure{"box " + std::to_string(m.box_width) + " x " + std::to_string(m.box_height) +
                   ": Tiled needs an even box height of at least 2 and a box width of 1 or more"};
  const int64_t capacity =
      int64_t{sheet.size.width / m.tile_width} * (sheet.size.height / m.tile_height);
  if (capacity < 1) return Failure{"the tile sheet is smaller than one tile"};
  const int32_t count = (m.tile_count >= 1 && m.tile_count <= capacity)
                            ? m.tile_count
                            : static_cast<int32_t>(std::min<int64_t>(capacity, INT32_MAX));

  // Tiled's column step is (hex width - side) / 2 + side; an even hex width no wider than two
  // boxes makes it exactly the box width.
  int32_t hex_width = m.tile_width & ~1;
  if (hex_width == 0 || hex_width > 2 * int64_t{m.box_width}) hex_width = 2 * m.box_width;
  const int32_t side = 2 * m.box_width - hex_width;

  const auto panel = [count](int64_t id) {
    return static_cast<uint32_t>(std::clamp<int64_t>(id, 0, count - 1)) + 1;
  };
  const size_t n = m.cells.size();
  std::vector<uint32_t> ground(n), solid(n), overlay(n), prop(n);
  std::array<std::vector<uint32_t>, 6> walls;
  for (auto& w : walls)
    w.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const CellDocument& c = m.cells[i];
    for (auto [value, what] : {std::pair{c.ground, "ground"}, std::pair{c.overlay, "overlay"},
                               std::pair{c.prop, "prop"}})
      if (value < 0 || value >= count)
        return Failure{"cell " + at(m, i) + ": " + what + " tile " + std::to_string(value) +
                       " is not one of the sheet's " + std::to_string(count) + " tiles"};
    if (c.solid != 0 && c.solid != -1)
      return Failure{"cell " + at(m, i) + ": solid flag " + std::to_string(c.solid) +
                     " has no form in a Tiled map (only 0 and -1)"};
    if ((c.wall & ~0x3F) != 0)
      return Failure{"cell " + at(m, i) + ": wall bit-field " + std::to_string(c.wall) +
                     " has bits beyond the six sides"};
    // Ground 0 is drawn as tile 0 by the engine, so it is shown, not left empty.
    ground[i] = static_cast<uint32_t>(c.ground) + 1;
    overlay[i] = c.overlay == 0 ? 0 : static_cast<uint32_t>(c.overlay) + 1;
    prop[i] = c.prop == 0 ? 0 : static_cast<uint32_t>(c.prop) + 1;
    solid[i] = c.solid != 0 ? panel(m.solid_panel) : 0;
    for (int s = 0; s < 6; ++s)
      walls[s][i] = (c.wall >> s & 1) ? panel(int64_t{m.first_wall_panel} + s) : 0;
  }

  TiledExport e{hex_width,
                side,
                count,
                sheet.size.width / m.tile_width,
                m.tile_height - m.box_height,
                std::filesystem::path(sheet.source).stem().string(),
                {},
                {},
                {}};
  // A ground id is its tile's id in the exported tileset.
  for (const auto& [ground, cost] : m.ground_costs) {
    if (ground < 0 || ground >= count)
      return Failure{"ground " + std::to_string(ground) +
                     " has a cost but is not one of the sheet's " + std::to_string(count) +
                     " tiles"};
    e.costs[ground] = cost;
  }
  e.properties = {{kFirstWallPanelProperty, m.first_wall_panel},
                  {kFloodPanelProperty, m.flood_panel}};
  if (count != m.tile_count) e.properties.emplace_back(kTileCountProperty, m.tile_count);
  e.properties.emplace_back(kSolidPanelProperty, m.solid_panel);
  e.layers.emplace_back(kGroundLayer, std::move(ground));
  for (int s = 0; s < 6; ++s)
    e.layers.emplace_back(kWallLayers[s], std::move(walls[s]));
  e.layers.emplace_back(kSolidLayer, std::move(solid));
  e.layers.emplace_back(kOverlayLayer, std::move(overlay));
  e.layers.emplace_back(kPropLayer, std::move(prop));
  return e;
}

Outcome<std::string> write_tmx(const MapDocument& m, const TmxSheet& sheet) {
  auto e = tiled_export(m, sheet);
  if (!e) return e.failure();
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node map = doc.append_child("map");
  map.append_attribute("version") = kTiledVersion;
  map.append_attribute("orientation") = "hexagonal";
  map.append_attribute("renderorder") = "right-down";
  map.append_attribute("width") = m.width;
  map.append_attribute("height") = m.height;
  map.append_attribute("tilewidth") = e->hex_width;
  map.append_attribute("tileheight") = m.box_height;
  map.append_attribute("infinite") = 0;
  map.append_attribute("hexsidelength") = e->hex_side;
  map.append_attribute("staggeraxis") = "x";
  map.append_attribute("staggerindex") = "odd";
  map.append_attribute("nextlayerid") = static_cast<int>(e->layers.size()) + 1;
  map.append_attribute("nextobjectid") = 1;

  pugi::xml_node props = map.append_child("properties");
  for (const auto& [name, value] : e->properties)
    add_property(props, name, value);

  pugi::xml_node ts = map.append_child("tileset");
  ts.append_attribute("firstgid") = 1;
  ts.append_attribute("name") = e->tileset_name.c_str();
  ts.append_attribute("tilewidth") = m.tile_width;
  ts.append_attribute("tileheight") = m.tile_height;
  ts.append_attribute("tilecount") = e->tile_count;
  ts.append_attribute("columns") = e->columns;
  // Tiled anchors a tile at its hexagon's bottom-left, the engine at the box's top-left.
  if (e->offset_y != 0) {
    pugi::xml_node off = ts.append_child("tileoffset");
    off.append_attribute("x") = 0;
    off.append_attribute("y") = e->offset_y;
  }
  pugi::xml_node image = ts.append_child("image");
  image.append_attribute("source") = sheet.source.c_str();
  image.append_attribute("trans") = kTransparentKey;
  image.append_attribute("width") = sheet.size.width;
  image.append_attribute("height") = sheet.size.height;
  for (const auto& [tile, cost] : e->costs) {
    pugi::xml_node t = ts.append_child("tile");
    t.append_attribute("id") = tile;
    add_property(t.append_child("properties"), kCostProperty, cost);
  }

  int id = 1;
  for (const auto& [name, gids] : e->layers)
    add_layer(map, id++, name, m, gids);

  std::ostringstream out;
  doc.save(out, " ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

}  // namespace hexmap::tool
