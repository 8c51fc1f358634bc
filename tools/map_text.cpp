#include "tools/map_text.hpp"

#include "hexmap/map_file_format.hpp"

namespace hexmap::tool {

Outcome<MapDocument> parse_map_text(std::string_view text) {
  map_file::ParseResult parsed = map_file::parse_map_file(text);
  if (const auto* problem = std::get_if<map_file::FileProblem>(&parsed))
    return Failure{problem->reason, static_cast<int>(problem->line)};
  const auto& content = std::get<map_file::MapFileContent>(parsed);
  const map_file::MapHeader& h = content.header;
  MapDocument m{
      h.map_width, h.map_height, h.tile_filename, h.tile_width,  h.tile_height,      h.tile_count,
      h.box_width, h.box_height, h.solid_panel,   h.flood_panel, h.first_wall_panel, {},
      {}};
  m.cells.reserve(content.cells.size());
  for (const map_file::StoredCell& c : content.cells)
    m.cells.push_back({c.ground, c.solid, c.wall});
  return m;
}

Outcome<std::string> format_map_text(const MapDocument& m) {
  if (std::string why = map_file::tile_filename_refusal(m.tile_filename); !why.empty())
    return Failure{why};
  map_file::MapFileContent content;
  content.header = {m.width,       m.height,      m.tile_filename,   m.tile_width,
                    m.tile_height, m.tile_count,  m.box_width,       m.box_height,
                    m.solid_panel, m.flood_panel, m.first_wall_panel};
  content.cells.reserve(m.cells.size());
  for (const CellDocument& c : m.cells)
    content.cells.push_back({c.ground, c.solid, c.wall});
  return map_file::format_map_file(content);
}

}  // namespace hexmap::tool
