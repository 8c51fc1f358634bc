// The map text file as values: the exact bytes written, the reading rules, and the first
// problem of a bad file with its line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/map_file_format.hpp"
#include "map_file_example.hpp"

namespace hexmap::map_file {
namespace {

using hexmap::testing::kExample;
using hexmap::testing::replaced;

const MapFileContent kExampleContent = {
    MapHeader{2, 1, "tiles.bmp", 64, 48, 20, 48, 32, 19, 18, 10},
    "ground, solid flag, wall bit-field",
    {{1, 0, 0}, {3, -1, 5}}};

MapFileContent parsed(std::string_view text) {
  ParseResult result = parse_map_file(text);
  if (const auto* problem = std::get_if<FileProblem>(&result)) {
    ADD_FAILURE() << "line " << problem->line << ": " << problem->reason;
    return {};
  }
  return std::get<MapFileContent>(result);
}

TEST(MapFileFormat, WritesTheExampleAndPadsCellLines) {
  EXPECT_EQ(format_map_file(kExampleContent), kExample);
  std::string lines;
  append_cell_line(lines, {12, 0, 63});
  append_cell_line(lines, {-2147483647 - 1, 2147483647, -7});
  EXPECT_EQ(lines, " 12            0             63\r\n-2147483648    2147483647   -7\r\n");
}

// The example, and files that differ from it only in ways the reading rules allow.
TEST(MapFileFormat, ReadingRulesGiveTheSameMap) {
  const std::string example(kExample);
  const std::string head = example.substr(0, example.find(" 1  "));
  const std::vector<std::string> texts = {
      example,
      head + "1,0,0\r\n3,-1,5\r\n",                // single commas
      head + "\t1\t0 \t 0 \r\n  3 , -1 ,5\t\r\n",  // tabs and trailing blanks
      replaced(example, "\r\n", "\n"),             // LF line ends
      example.substr(0, example.size() - 2),       // no line end at the end
      replaced(example, ": 2 elements", ": 999 elements") + "garbage,\"x\r\n",  // count ignored
      head + "0.1e1, -0.5, 0.4999\r\n 2.5001 -1.4999 5.49\r\n",  // reals rounded to nearest
      replaced(replaced(example, "\"map width\"", "map width"), "\"box_width\"", "\"box, w\""),
      replaced(example, "\"tile width\",64", "\"tile width\"\r\n   64"),  // values span lines
  };
  for (const std::string& text : texts) {
    const MapFileContent content = parsed(text);
    EXPECT_EQ(content.header, kExampleContent.header) << text;
    EXPECT_EQ(content.cells, kExampleContent.cells) << text;
  }
  EXPECT_EQ(parsed(head + "2.5000001 -2.5 1234567.5\r\n-0.5e-9 1e-400 0\r\n").cells,
            (std::vector<StoredCell>{{3, -2, 1234568}, {0, 0, 0}}));
  EXPECT_EQ(parsed(replaced(example, "tiles.bmp", " a, b.bmp ")).header.tile_filename,
            " a, b.bmp ");
}

TEST(MapFileFormat, ReportsTheFirstProblemWithItsLine) {
  const std::string example(kExample);
  struct Case {
    std::string text;
    int64_t line;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"", 1, "the file ends before the map section"},
      {example.substr(0, example.rfind("-1")), 21,
       "the file ends before solid flag of cell (1, 0)"},
      {replaced(example, ",2", ",two"), 2, "map width: 'two' is not a number"},
      {replaced(example, " 3            -1", " 3  -1x"), 21,
       "solid flag of cell (1, 0): '-1x' is not a number"},
      {replaced(example, ",32", ",,"), 11, "box height: the number is missing"},
      {replaced(example, ",32", ",2147483648"), 11, "box height: '2147483648' is out of range"},
      {replaced(example, ",2", ",0"), 2, "map size 0 x 0: the width is below 1"},
      {replaced(replaced(example, ",2", ",65536"), "\",1", "\",65536"), 3,
       "map size 65536 x 65536: more than " + std::to_string(kMaxCellCount) + " cells"},
      {replaced(example, ".bmp\"", ".bmp"), 5,
       "tile file name: the closing double quote is missing"},
      {replaced(example, "s.bmp", std::string("s\0.bmp", 6)), 5,
       "tile file name: it holds a NUL byte"},
  };
  for (const Case& c : cases) {
    const ParseResult result = parse_map_file(c.text);
    const auto* problem = std::get_if<FileProblem>(&result);
    ASSERT_NE(problem, nullptr) << c.reason;
    EXPECT_EQ(problem->line, c.line) << c.reason;
    EXPECT_EQ(problem->reason, c.reason);
  }
}

}  // namespace
}  // namespace hexmap::map_file
