// Writing the map text file: the header lines and the padded cell lines, CR LF after each.
#include <string>

#include "hexmap/map_file_format.hpp"

namespace hexmap::map_file {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Cell lines put their values in columns 1, 15 and 29.
constexpr std::size_t kCellColumnWidth = 14;

void append_section(std::string& out, std::string_view text) {
  out.append(text).append(kLineEnd);
}

void append_value(std::string& out, std::string_view label, int64_t value) {
  out.append("\"").append(label).append("\",").append(std::to_string(value)).append(kLineEnd);
}

void append_text(std::string& out, std::string_view label, std::string_view text) {
  out.append("\"").append(label).append("\",\"").append(text).append("\"").append(kLineEnd);
}

// A number with its sign position: a blank for zero and positive values, else '-'.
void append_signed(std::string& out, int64_t value) {
  if (value >= 0) out.push_back(' ');
  out.append(std::to_string(value));
}

}  // namespace

std::string format_header(const MapHeader& h) {
  std::string out;
  append_section(out, "- map property -");
  append_value(out, "map width", h.map_width);
  append_value(out, "map_height", h.map_height);
  append_section(out, "- tile property -");
  append_text(out, "tile filename", h.tile_filename);
  append_value(out, "tile width", h.tile_width);
  append_value(out, "tile height", h.tile_height);
  append_value(out, "number of tiles", h.tile_count);
  append_section(out, "- tile overlap property -");
  append_value(out, "box_width", h.box_width);
  append_value(out, "box_height", h.box_height);
  append_section(out, "- solid panel property -");
  append_value(out, "wall panel", h.solid_panel);
  append_section(out, "- floodmap panel property -");
  append_value(out, "flood panel", h.flood_panel);
  append_section(out, "- wall panels property -");
  append_value(out, "first (top) wall panel", h.first_wall_panel);
  out.append("- map cell property :");
  append_signed(out, int64_t{h.map_width} * h.map_height);
  out.append(" elements -").append(kLineEnd);
  append_section(out, "ground, solid flag, wall bit-field");
  return out;
}

void append_cell_line(std::string& out, StoredCell cell) {
  for (const int32_t padded : {cell.ground, cell.solid}) {
    const std::size_t start = out.size();
    append_signed(out, padded);
    out.append(kCellColumnWidth - (out.size() - start), ' ');
  }
  append_signed(out, cell.wall);
  out.append(kLineEnd);
}

std::string format_map_file(const MapFileContent& content) {
  std::string out = format_header(content.header);
  for (const StoredCell cell : content.cells)
    append_cell_line(out, cell);
  return out;
}

std::string tile_filename_refusal(std::string_view name) {
  if (name.find('"') != std::string_view::npos) return "it holds a double quote";
  if (name.find_first_of("\r\n") != std::string_view::npos) return "it holds a line break";
  if (name.find('\0') != std::string_view::npos) return "it holds a NUL byte";
  return {};
}

}  // namespace hexmap::map_file
