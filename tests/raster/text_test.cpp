// Text: the font, the text cursor, wrapping, and text ignoring the view.
#include <set>
#include <tuple>

#include "test_support.hpp"

namespace raster_test {
namespace {

using namespace raster;
using RasterText = Screen;

const Rows kBlank(8, "........");

// Screen pixels of the text cell (row, column), 1-based.
Rows cell(int row, int column) {
  return Screen::picture((column - 1) * 8, (row - 1) * 8, 8, 8);
}

// Every printable character has an inked glyph of its own, white on black over whatever was
// in its cell; the others show as blanks.
TEST_F(RasterText, GlyphsAreDistinctWhiteOnBlackAndOthersBlank) {
  ASSERT_EQ(put_image(nullptr, 0, 0, make_image(8, 8, kRed).get(), put_transparent), 0);
  ASSERT_EQ(print_text("A", false), 0);
  EXPECT_EQ(cell(1, 1), (Rows{"..###...", ".#...#..", ".#...#..", ".#####..", ".#...#..",
                              ".#...#..", ".#...#..", "........"}));
  EXPECT_EQ(std::pair(at(2, 0), at(0, 0)), std::pair(kWhite, kBlack));
  std::set<Rows> seen;
  for (int c = 0; c < 256; ++c) {
    ASSERT_EQ(text_locate(1, 1), 0);
    ASSERT_EQ(print_text(std::string(1, static_cast<char>(c)), false), 0);
    const bool printable = c >= 33 && c <= 126;
    EXPECT_EQ(cell(1, 1) != kBlank && seen.insert(cell(1, 1)).second, printable) << c;
  }
}

TEST_F(RasterText, CursorAdvancesWrapsAndStopsAtTheLastRow) {
  ASSERT_EQ(text_locate(3, 5), 0);
  ASSERT_EQ(print_text("ab", false), 0);
  ASSERT_EQ(print_text("c", true), 0);
  ASSERT_EQ(print_text("d", false), 0);
  ASSERT_EQ(text_locate(2, 80), 0);
  ASSERT_EQ(print_text("xy", false), 0);
  // c followed ab on row 3; the new line took d to row 4, column 1; y wrapped past column 80.
  EXPECT_EQ(std::tuple(cell(3, 7) != kBlank, cell(4, 1) != kBlank, cell(3, 1) != kBlank),
            std::tuple(true, true, true));
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
  EXPECT_NE(cell(50, 80), kBlank) << "refused calls keep the cursor";
  EXPECT_TRUE(std::equal(headless::presented_frame().begin(), headless::presented_frame().end(),
                         screen_ptr()))
      << "unlocked text is shown";
}

}  // namespace
}  // namespace raster_test
