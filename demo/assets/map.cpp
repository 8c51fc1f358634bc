// The demo's map: meadows, a road, ponds, woods, a walled courtyard and a fence, written in
// the map text file format. Grid coordinates throughout.
#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "demo/assets/assets.hpp"
#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace assets {

namespace {

constexpr int kMapWidth = 30;
constexpr int kMapHeight = 22;

// One character per cell: ~ water (no ground), . , * grass, : ; sand, # road, = dirt,
// " moss, T a tree on grass (solid).
constexpr std::array<std::string_view, kMapHeight> kLayout = {
    "..,*,,T..,,.::;::..,..TT.,,..,",  //
    "######=..,,.:;;::..,...T..,.*.",  //
    ".,..,#=.TT...::;:..~~~..,..,..",  //
    ".,~~.#=..T..,.::.~~~~~..**.,..",  //
    ",~~~~#.,,...,..,.~~~~~.,.,.T..",  //
    ".~~~.#..*..,##########..,..TT.",  //
    "..~..#.,,.,.#,..,..,.#.,.,..T.",  //
    ".T...#######..,..TT..#..*.,...",  //
    ".TT..,..,..#.,..TTT..#.,..~~..",  //
    "..T.*..,...#..,..T...#...~~~~.",  //
    ".,..,,..,..#=====....#..,~~~~.",  //
    "..,,...TT.,#.,..=.,..####..~~.",  //
    ".,...,TTT..#..,.=..,....#.,..,",  //
    "::..,..T...#.,..=..~~...#..,..",  //
    ";::..,.....####=#####~..#.TT..",  //
    ";;::..,..,.,..,.=..~~~..#.TTT.",  //
    ":;;::.,.**.,..,.=..,~...#..T..",  //
    "::;;::..,..,TT..=.,.....#.,..,",  //
    ".::;::..,.TTT...===========...",  //
    "..::...,...TT..,..,.,..,..,..,",  //
    ".,..,..,.,.,..,.,..,.,..,..,.,",  //
    "..,..,..,..,..,..,..,..,..,..,",  //
};

struct Cell {
  int32_t ground = 0;
  int32_t solid = 0;
  int32_t walls = 0;
};

Cell cell_of(char c) {
  switch (c) {
    case '~':
      return {kWater};
    case '.':
      return {kGrass};
    case ',':
      return {kMeadow};
    case '*':
      return {kFlowers};
    case ':':
      return {kSand};
    case ';':
      return {kDunes};
    case '#':
      return {kCobbles};
    case '=':
      return {kDirt};
    case '"':
      return {kMoss};
    case 'T':
      return {kGrass, -1};
    default:
      throw std::logic_error(std::string("map layout: unknown cell '") + c + "'");
  }
}

class Grid {
 public:
  Grid() : cells_(static_cast<size_t>(kMapWidth) * kMapHeight) {
    for (int y = 0; y < kMapHeight; ++y) {
      if (kLayout[y].size() != kMapWidth) throw std::logic_error("map layout: ragged row");
      for (int x = 0; x < kMapWidth; ++x)
        at(x, y) = cell_of(kLayout[y][x]);
    }
  }
  Cell& at(int x, int y) { return cells_[static_cast<size_t>(y) * kMapWidth + x]; }
  const std::vector<Cell>& cells() const { return cells_; }

  // A wall on side d of (x, y), stored on both cells it separates.
  void wall(int x, int y, int d) {
    at(x, y).walls |= 1 << d;
    const int nx = hexmap::HEXAGON_MAP::ADJACENT_X(x, y, d);
    const int ny = hexmap::HEXAGON_MAP::ADJACENT_Y(x, y, d);
    if (nx >= 0 && ny >= 0 && nx < kMapWidth && ny < kMapHeight) {
      at(nx, ny).walls |= 1 << hexmap::opposite(d);
    }
  }

 private:
  std::vector<Cell> cells_;
};

// A walled courtyard: the outward sides of the six cells around (cx, cy), with a gate in
// the top and the bottom.
void courtyard(Grid& grid, int cx, int cy) {
  for (int d = 0; d < 6; ++d) {
    const int x = hexmap::HEXAGON_MAP::ADJACENT_X(cx, cy, d);
    const int y = hexmap::HEXAGON_MAP::ADJACENT_Y(cx, cy, d);
    for (int side : {(d + 5) % 6, d, (d + 1) % 6}) {
      if ((d == 0 && side == 0) || (d == 3 && side == 3)) continue;
      grid.wall(x, y, side);
    }
  }
}

// Value lines and cell numbers of the map text file. Built by appending: g++ 12 warns
// (falsely) about operator+ on a literal.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  out += text;
  out += '"';
  return out;
}
std::string value_line(std::string_view label, int32_t value) {
  std::string out = quoted(label);
  out += ',';
  out += std::to_string(value);
  out += "\r\n";
  return out;
}
std::string text_line(std::string_view label, std::string_view value) {
  std::string out = quoted(label);
  out += ',';
  out += quoted(value);
  out += "\r\n";
  return out;
}
// A number with its sign position: a blank before values of zero and above.
std::string signed_number(int32_t v) {
  std::string out = v < 0 ? "" : " ";
  out += std::to_string(v);
  return out;
}
std::string padded(int32_t v) {
  constexpr size_t kColumn = 14;
  std::string s = signed_number(v);
  s.resize(std::max(s.size(), kColumn), ' ');
  return s;
}

}  // namespace

std::string map_text() {
  Grid grid;
  courtyard(grid, 6, 7);
  // A fence down the left of column 8 with a gap at row 3.
  for (int y = 1; y <= 5; ++y) {
    if (y == 3) continue;
    grid.wall(8, y, 4);
    grid.wall(8, y, 5);
  }
  // A low wall along the top of row 9 from column 2 to 6.
  for (int x = 2; x <= 6; ++x) {
    grid.wall(x, 9, 0);
    if (x % 2 == 0) {
      grid.wall(x, 9, 5);
      grid.wall(x, 9, 1);
    }
  }
  const auto& cells = grid.cells();
  std::string out;
  out += "- map property -\r\n";
  out += value_line("map width", kMapWidth);
  out += value_line("map_height", kMapHeight);
  out += "- tile property -\r\n";
  out += text_line("tile filename", kTileSheetFile);
  out += value_line("tile width", kTileWidth);
  out += value_line("tile height", kTileHeight);
  out += value_line("number of tiles", kTileCount);
  out += "- tile overlap property -\r\n";
  out += value_line("box_width", kBoxWidth);
  out += value_line("box_height", kBoxHeight);
  out += "- solid panel property -\r\n";
  out += value_line("wall panel", kTree);
  out += "- floodmap panel property -\r\n";
  out += value_line("flood panel", kFlood);
  out += "- wall panels property -\r\n";
  out += value_line("first (top) wall panel", kWallTop);
  out += "- map cell property :";
  out += signed_number(static_cast<int32_t>(cells.size()));
  out += " elements -\r\n";
  out += "ground, solid flag, wall bit-field\r\n";
  for (const Cell& cell : cells) {
    out += padded(cell.ground);
    out += padded(cell.solid);
    out += signed_number(cell.walls);
    out += "\r\n";
  }
  return out;
}

}  // namespace assets
