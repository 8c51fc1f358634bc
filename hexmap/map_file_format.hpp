// The map text file as values: a formatter and a parser, free of the map object and of files,
// so that the engine's save and load, tools and fuzzers share one set of rules. Internal
// header: not installed.
//
// The file is CR LF text: 17 header lines (section lines and "label",value lines), a line with
// the cell count, a heading line, then one line per cell in cell index order (grid row after
// row) holding ground tile id, solid flag and wall bit-field.
#pragma once

#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Not exported by the shared library: the tool, the tests and the fuzzers reach it through the
// engine's in-tree static form (hexmap_internal) or its sources.
namespace hexmap::map_file {

// Everything a map file holds before the cells.
struct MapHeader {
  int32_t map_width = 0;
  int32_t map_height = 0;
  std::string tile_filename;
  int32_t tile_width = 0;
  int32_t tile_height = 0;
  int32_t tile_count = 0;
  int32_t box_width = 0;
  int32_t box_height = 0;
  int32_t solid_panel = 0;
  int32_t flood_panel = 0;
  int32_t first_wall_panel = 0;

  friend bool operator==(const MapHeader&, const MapHeader&) = default;
};

// The three values a cell line stores.
struct StoredCell {
  int32_t ground = 0;
  int32_t solid = 0;
  int32_t wall = 0;

  friend bool operator==(StoredCell, StoredCell) = default;
};

struct MapFileContent {
  MapHeader header;
  std::string cell_heading;       // the line before the cells, as read, without its line end
  std::vector<StoredCell> cells;  // map_width x map_height, in cell index order
};

// The first thing wrong with a file: where (1-based line) and why.
struct FileProblem {
  int64_t line = 0;
  std::string reason;
};

using ParseResult = std::variant<MapFileContent, FileProblem>;

// ---- Writing ----
// Lines 1 to 19: the header, the cell count (map_width x map_height) and the cell heading.
std::string format_header(const MapHeader& header);
// Appends one cell line, CR LF included.
void append_cell_line(std::string& out, StoredCell cell);
// The whole file; the cell count line says header.map_width x header.map_height whatever
// content.cells holds.
std::string format_map_file(const MapFileContent& content);
// Why a tile file name cannot be written so that it reads back the same; empty when it can.
std::string tile_filename_refusal(std::string_view name);

// ---- Reading ----
// Reads a whole map file. Values flow in sequence across lines: blanks (spaces, tabs) before a
// value are skipped; a text ends at a comma or line end (CR, LF or CR LF) unless it is in
// double quotes; a number also ends at a blank. After a value, blanks and one comma or line
// end are consumed. Section lines, the cell count line and the heading are skipped whole. A
// number with a decimal point or exponent is rounded to the nearest integer, ties to even.
// Refused: an early end, a missing value or text where a number belongs, a number outside
// int32, an unclosed quote, and a grid below 1 x 1 or above hexmap::kMaxCellCount cells.
// Exactly map_width x map_height cell lines are read; what follows them is ignored.
ParseResult parse_map_file(std::streambuf& in);
ParseResult parse_map_file(std::string_view text);

}  // namespace hexmap::map_file
