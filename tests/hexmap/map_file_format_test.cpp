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

MapFileContent example_content() {
  return {MapHeader{2, 1, "tiles.bmp", 64, 48, 20, 48, 32, 19, 18, 10},
          "ground, solid flag, wall bit-field",
          {{1, 0, 0}, {3, -1, 5}}};
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

MapFileContent parsed(std::string_view text) {
  ParseResult result = parse_map_file(text);
  if (const auto* problem = std::get_if<FileProblem>(&result))
    ADD_FAILURE() << "line " << problem->line << ": " << problem->reason;
  return std::get_if<MapFileContent>(&result) ? std::get<MapFileContent>(result) : MapFileContent{};
}

TEST(MapFileFormat, WritesTheExampleAndPadsCellLines) {
  EXPECT_EQ(format_map_file(example_content()), kExample);

  struct Case {
    StoredCell cell;
    std::string_view line;
  };
  for (const Case& c : std::vector<Case>{
           {{12, 0, 63}, " 12            0             63\r\n"},
           {{-2147483647 - 1, 2147483647, -7}, "-2147483648    2147483647   -7\r\n"}}) {
    std::string line;
    append_cell_line(line, c.cell);
    EXPECT_EQ(line, c.line);
  }
  MapHeader big;
  big.map_width = 20;
  big.map_height = 20;
  EXPECT_NE(format_header(big).find("\r\n- map cell property : 400 elements -\r\n"),
            std::string::npos);
}

TEST(MapFileFormat, ReadsBackWhatItWrites) {
  const MapFileContent content = parsed(kExample);
  EXPECT_EQ(content.header, example_content().header);
  EXPECT_EQ(content.cells, example_content().cells);
  EXPECT_EQ(content.cell_heading, "ground, solid flag, wall bit-field");
  EXPECT_EQ(format_map_file(content), kExample);
}

// Files that differ from the example only in ways the reading rules allow.
TEST(MapFileFormat, ReadingRulesGiveTheSameMap) {
  const std::string example(kExample);
  const std::string cells_with = example.substr(0, example.find(" 1  "));
  struct Case {
    const char* what;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"single commas between cell values", cells_with + "1,0,0\r\n3,-1,5\r\n"},
      {"tabs and trailing blanks", cells_with + "\t1\t0 \t 0 \r\n  3 , -1 ,5\t\r\n"},
      {"LF line ends", replaced(example, "\r\n", "\n")},
      {"CR line ends", replaced(example, "\r\n", "\r")},
      {"no line end at the end", example.substr(0, example.size() - 2)},
      {"a wrong count on the count line", replaced(example, ": 2 elements", ": 999 elements")},
      {"text after the last cell", example + "garbage, \"and more\r\n"},
      {"reals rounded to nearest", cells_with + "0.1e1, -0.5, 0.4999\r\n 2.5001 -1.4999 5.49\r\n"},
      {"signs, exponents and points", cells_with + "+1. 0e99 .5\r\n 30e-1 -10e-1 5.0\r\n"},
      {"unquoted labels, quoted label with a comma",
       replaced(replaced(example, "\"map width\"", "map width"), "\"box_width\"", "\"box, w\"")},
      {"a label and its value on two lines",
       replaced(example, "\"tile width\",64", "\"tile width\"\r\n   64")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const MapFileContent content = parsed(c.text);
    EXPECT_EQ(content.header, example_content().header);
    EXPECT_EQ(content.cells, example_content().cells);
  }
  const MapFileContent odd =
      parsed(cells_with + "2.5000001 -2.5 1234567.5\r\n-0.5e-9 1e-400 0\r\n");
  EXPECT_EQ(odd.cells, (std::vector<StoredCell>{{3, -2, 1234568}, {0, 0, 0}}));
  EXPECT_EQ(parsed(replaced(example, "\"tiles.bmp\"", " \tmy tiles.bmp")).header.tile_filename,
            "my tiles.bmp");
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
      {example.substr(0, example.find("\"map_height")), 3,
       "the file ends before the label of the map height"},
      {example.substr(0, example.rfind(" 3 ")), 21, "the file ends before ground of cell (1, 0)"},
      {example.substr(0, example.rfind("-1")), 21,
       "the file ends before solid flag of cell (1, 0)"},
      {replaced(example, "\"map width\",2", "\"map width\",two"), 2,
       "map width: 'two' is not a number"},
      {replaced(example, "\"tile height\",48", "\"tile height\",\"48\""), 7,
       "tile height: '\"48\"' is not a number"},
      {replaced(example, " 3            -1", " 3  -1x"), 21,
       "solid flag of cell (1, 0): '-1x' is not a number"},
      {replaced(example, "\"box_height\",32", "\"box_height\",,"), 11,
       "box height: the number is missing"},
      {replaced(example, "\"box_height\",32", "\"box_height\",2147483648"), 11,
       "box height: '2147483648' is out of range"},
      {replaced(example, "\"flood panel\",18", "\"flood panel\",-2.1e10"), 15,
       "flood panel: '-2.1e10' is out of range"},
      {replaced(example, "\"map width\",2", "\"map width\",0"), 2,
       "map size 0 x 0: the width is below 1"},
      {replaced(example, "\"map_height\",1", "\"map_height\",-1"), 3,
       "map size 2 x -1: the height is below 1"},
      {replaced(replaced(example, "\"map width\",2", "\"map width\",65536"), "\"map_height\",1",
                "\"map_height\",65536"),
       3, "map size 65536 x 65536: more than " + std::to_string(kMaxCellCount) + " cells"},
      {replaced(example, "\"tiles.bmp\"", "\"tiles.bmp"), 5,
       "tile file name: the closing double quote is missing"},
      {replaced(example, "tiles.bmp", std::string("tiles\0.bmp", 10)), 5,
       "tile file name: it holds a NUL byte"},
      {example.substr(0, example.find("ground,")), 19, "the file ends before the cell heading"},
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
