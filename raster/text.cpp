// Text in 8x8 cells on the screen: a 1-based text cursor, white on black.
#include "raster/font.hpp"
#include "raster/internal.hpp"

namespace raster {
namespace {

int text_columns() {
  return detail::screen().frame.width / detail::kCellSize;
}
int text_rows() {
  return detail::screen().frame.height / detail::kCellSize;
}

// Draws one character cell; text is confined to the screen, not to the view.
void draw_cell(int row, int column, unsigned char c) {
  Image& frame = detail::screen().frame;
  const auto& rows = detail::glyph(c);
  // Screen pixels of the cell's top-left corner; the whole cell lies on the screen.
  const int left = (column - 1) * detail::kCellSize;
  const int top = (row - 1) * detail::kCellSize;
  for (int y = 0; y < detail::kCellSize; ++y) {
    Color* px = frame.row(top + y) + left;
    for (int x = 0; x < detail::kCellSize; ++x) {
      px[x] = (rows[y] & (0x80 >> x)) != 0 ? detail::kForeground : detail::kBackground;
    }
  }
}

}  // namespace

int text_locate(int row, int column) {
  detail::ScreenState& s = detail::screen();
  if (!s.open) return detail::refuse("text_locate: no screen is open");
  if (row < 1 || row > text_rows() || column < 1 || column > text_columns()) {
    return detail::refuse("text_locate: cell outside the text grid");
  }
  s.text_row = row;
  s.text_column = column;
  return 0;
}

int print_text(std::string_view text, bool new_line) {
  detail::ScreenState& s = detail::screen();
  if (!s.open) return detail::refuse("print_text: no screen is open");
  const int rows = text_rows();
  const int columns = text_columns();
  if (rows == 0 || columns == 0) return detail::refuse("print_text: screen smaller than a cell");
  // Past the last column text goes on at the start of the next row; past the last row it stays
  // on the last row (the screen does not scroll: it holds graphics too).
  auto next_row = [&] {
    s.text_column = 1;
    s.text_row = std::min(s.text_row + 1, rows);
  };
  for (char c : text) {
    draw_cell(s.text_row, s.text_column, static_cast<unsigned char>(c));
    if (++s.text_column > columns) next_row();
  }
  if (new_line) next_row();
  if (const auto canvas = detail::canvas_for(nullptr)) detail::canvas_changed(*canvas);
  return 0;
}

}  // namespace raster
