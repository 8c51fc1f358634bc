// Text: the font, the text cursor, wrapping, and text ignoring the view.
#include <set>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterText = Screen;
using Rows = std::vector<std::string>;

// Screen pixels of the text cell (row, column), 1-based.
Rows cell(int row, int column) {
  return Screen::picture((column - 1) * 8, (row - 1) * 8, 8, 8);
}

TEST_F(RasterText, GlyphsAreWhiteOnBlackInTheirCell) {
  ASSERT_EQ(print_text("A", false), 0);
  EXPECT_EQ(cell(1, 1), (Rows{"..###...", ".#...#..", ".#...#..", ".#####..", ".#...#..",
                              ".#...#..", ".#...#..", "........"}));
  EXPECT_EQ(at(2, 0), 0xFFFFFFFFu);
  // The cell's background is painted black over whatever was there.
  auto red = make_filled(8, 8, 0xFFFF0000);
  ASSERT_EQ(put_image(nullptr, 8, 0, red.get(), put_transparent), 0);
  ASSERT_EQ(print_text(" ", false), 0);
  EXPECT_EQ(cell(1, 2), Rows(8, "........"));
}

TEST_F(RasterText, EveryPrintableCharacterHasItsOwnInkedGlyph) {
  std::set<Rows> seen;
  for (int c = 33; c <= 126; ++c) {
    ASSERT_EQ(text_locate(1, 1), 0);
    ASSERT_EQ(print_text(std::string(1, static_cast<char>(c)), false), 0);
    const Rows drawn = cell(1, 1);
    EXPECT_NE(drawn, Rows(8, "........")) << static_cast<char>(c);
    EXPECT_TRUE(seen.insert(drawn).second) << static_cast<char>(c) << " looks like another";
  }
  for (int c : {0, 9, 10, 127, 200, 255}) {
    ASSERT_EQ(text_locate(1, 1), 0);
    ASSERT_EQ(print_text(std::string(1, static_cast<char>(c)), false), 0);
    EXPECT_EQ(cell(1, 1), Rows(8, "........")) << c;
  }
}

TEST_F(RasterText, CursorAdvancesWrapsAndStopsAtTheLastRow) {
  ASSERT_EQ(text_locate(3, 5), 0);
  ASSERT_EQ(print_text("ab", false), 0);
  ASSERT_EQ(print_text("c", true), 0);
  EXPECT_NE(cell(3, 7), Rows(8, "........"));  // c follows ab on the same row
  ASSERT_EQ(print_text("d", false), 0);
  EXPECT_NE(cell(4, 1), Rows(8, "........"));  // the new line went to row 4, column 1
  ASSERT_EQ(text_locate(2, 80), 0);
  ASSERT_EQ(print_text("xy", false), 0);
  EXPECT_NE(cell(3, 1), Rows(8, "........"));  // y wrapped past column 80
  ASSERT_EQ(text_locate(50, 1), 0);
  ASSERT_EQ(print_text("p", true), 0);
  ASSERT_EQ(print_text("q", false), 0);
  ASSERT_EQ(text_locate(49, 1), 0);
  ASSERT_EQ(print_text("q", false), 0);
  EXPECT_EQ(cell(50, 1), cell(49, 1)) << "q went to row 50, column 1: no scrolling";
}

TEST_F(RasterText, LocateRefusesCellsOffTheGridAndTextIgnoresTheView) {
  ASSERT_EQ(view_set(100, 100, 110, 110), 0);
  EXPECT_EQ(text_locate(50, 80), 0);
  for (const auto& [row, column] : {std::pair{0, 1}, {51, 1}, {1, 81}, {1, 0}})
    EXPECT_NE(text_locate(row, column), 0) << row << "," << column;
  ASSERT_EQ(print_text("z", false), 0);
  EXPECT_NE(cell(50, 80), Rows(8, "........")) << "refused calls keep the cursor";
  for (int y = 392; y < kHeight; ++y) {  // screen pixels of that cell: unlocked text is shown
    for (int x = 632; x < kWidth; ++x)
      ASSERT_EQ(shown(x, y), at(x, y));
  }
}

}  // namespace
}  // namespace raster_test
