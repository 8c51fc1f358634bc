// Reading the map text file: values in sequence, whole lines skipped where the layout has
// section lines, and the first problem reported with its line.
#include <algorithm>
#include <limits>
#include <string>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/map_file_format.hpp"

namespace hexmap::map_file {

namespace {

using Traits = std::streambuf::traits_type;

// Longest piece of a bad value quoted back in a problem.
constexpr std::size_t kQuotedValueLength = 24;
// Exponents are saturated here; anything this far out is out of range or rounds to 0.
constexpr int64_t kExponentLimit = 1'000'000'000;

struct Refusal {
  FileProblem problem;
};

bool is_blank(int c) {
  return c == ' ' || c == '\t';
}
bool is_line_end(int c) {
  return c == '\r' || c == '\n';
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::string quoted(std::string_view value) {
  std::string text(value.substr(0, kQuotedValueLength));
  if (value.size() > kQuotedValueLength) text += "...";
  return "'" + text + "'";
}

// A number token rounded to the nearest int32 (ties to even), worked out on its decimal digits
// so that no precision or locale enters. Empty when the token is no number; `out_of_range`
// when it is one that no int32 holds.
struct NumberValue {
  bool is_number = false;
  bool out_of_range = false;
  int32_t value = 0;
};

NumberValue round_number(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  std::string digits;  // mantissa digits, point removed
  int64_t integer_digits = 0;
  for (; i < token.size() && is_digit(token[i]); ++i, ++integer_digits)
    digits += token[i];
  if (i < token.size() && token[i] == '.') {
    for (++i; i < token.size() && is_digit(token[i]); ++i)
      digits += token[i];
  }
  if (digits.empty()) return {};
  int64_t exponent = 0;
  if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    bool exponent_negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
      exponent_negative = token[i++] == '-';
    if (i == token.size() || !is_digit(token[i])) return {};
    for (; i < token.size() && is_digit(token[i]); ++i)
      exponent = std::min(kExponentLimit, exponent * 10 + (token[i] - '0'));
    if (exponent_negative) exponent = -exponent;
  }
  if (i != token.size()) return {};

  // value = 0.d1 d2 d3 ... x 10^point, with d1 the first non-zero digit.
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return {true, false, 0};
  digits.erase(0, first);
  const int64_t point = integer_digits + exponent - static_cast<int64_t>(first);
  constexpr int64_t kMaxIntegerDigits = std::numeric_limits<int32_t>::digits10 + 1;
  if (point > kMaxIntegerDigits) return {true, true, 0};

  int64_t magnitude = 0;
  for (int64_t k = 0; k < point; ++k) {
    const std::size_t at = static_cast<std::size_t>(k);
    magnitude = magnitude * 10 + (at < digits.size() ? digits[at] - '0' : 0);
  }
  if (point >= 0 && static_cast<std::size_t>(point) < digits.size()) {
    // digits from `point` on are the fraction: compare it with one half.
    const std::string_view fraction =
        std::string_view(digits).substr(static_cast<std::size_t>(point));
    const bool above_half =
        fraction[0] > '5' ||
        (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string_view::npos);
    const bool half = fraction[0] == '5' && !above_half;
    if (above_half || (half && magnitude % 2 == 1)) ++magnitude;
  }
  // point < 0: below 0.1, rounds to 0.
  const int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return {true, true, 0};
  return {true, false, static_cast<int32_t>(value)};
}

// What a value is, for problems; cell values name their grid position (column, row).
struct What {
  std::string_view field;
  int64_t cell = -1;
  int32_t map_width = 1;

  std::string text() const {
    std::string out(field);
    if (cell >= 0)
      out += " of cell (" + std::to_string(cell % map_width) + ", " +
             std::to_string(cell / map_width) + ")";
    return out;
  }
};

class Reader {
 public:
  explicit Reader(std::streambuf& in) : in_(in) {}

  [[noreturn]] void refuse(int64_t line, const std::string& reason) const {
    throw Refusal{FileProblem{line, reason}};
  }
  // Line on which the last value read started.
  int64_t value_line() const { return value_line_; }

  // Consumes the rest of the current line and its line end; returns the text before it.
  std::string whole_line(What what) {
    if (peek() == Traits::eof()) refuse(line_, "the file ends before " + what.text());
    value_line_ = line_;
    std::string text;
    for (int c = peek(); c != Traits::eof() && !is_line_end(c); c = peek()) {
      text += Traits::to_char_type(c);
      in_.sbumpc();
    }
    take_line_end();
    return text;
  }

  // A text value, in double quotes or up to the next comma or line end.
  std::string text(What what) {
    start_value(what);
    std::string value;
    if (peek() == '"') {
      in_.sbumpc();
      for (int c = peek(); c != '"'; c = peek()) {
        if (c == Traits::eof() || is_line_end(c))
          refuse(value_line_, what.text() + ": the closing double quote is missing");
        value += Traits::to_char_type(c);
        in_.sbumpc();
      }
      in_.sbumpc();
    } else {
      for (int c = peek(); c != Traits::eof() && c != ',' && !is_line_end(c); c = peek()) {
        value += Traits::to_char_type(c);
        in_.sbumpc();
      }
    }
    end_value();
    return value;
  }

  int32_t number(What what) {
    start_value(what);
    std::string token;
    for (int c = peek(); c != Traits::eof() && c != ',' && !is_line_end(c) && !is_blank(c);
         c = peek()) {
      if (token.size() == kLongestNumber)
        refuse(value_line_, what.text() + ": " + quoted(token) + " is too long for a number");
      token += Traits::to_char_type(c);
      in_.sbumpc();
    }
    if (token.empty()) refuse(value_line_, what.text() + ": the number is missing");
    const NumberValue n = round_number(token);
    if (!n.is_number) refuse(value_line_, what.text() + ": " + quoted(token) + " is not a number");
    if (n.out_of_range)
      refuse(value_line_, what.text() + ": " + quoted(token) + " is out of range");
    end_value();
    return n.value;
  }

 private:
  // Longest number token read: room for long runs of leading zeros or fraction digits.
  static constexpr std::size_t kLongestNumber = 4096;

  int peek() { return in_.sgetc(); }

  void take_line_end() {
    const int c = peek();
    if (!is_line_end(c)) return;
    in_.sbumpc();
    if (c == '\r' && peek() == '\n') in_.sbumpc();
    ++line_;
  }

  // Skips blanks before a value and notes the line it starts on.
  void start_value(What what) {
    while (is_blank(peek()))
      in_.sbumpc();
    if (peek() == Traits::eof()) refuse(line_, "the file ends before " + what.text());
    value_line_ = line_;
  }

  // Blanks and one comma or line end after a value.
  void end_value() {
    while (is_blank(peek()))
      in_.sbumpc();
    if (peek() == ',') {
      in_.sbumpc();
    } else {
      take_line_end();
    }
  }

  std::streambuf& in_;
  int64_t line_ = 1;
  int64_t value_line_ = 1;
};

// A label, read and ignored, and its number, as on a value line.
int32_t labelled_number(Reader& in, std::string_view field) {
  in.text({"the label of the " + std::string(field)});
  return in.number({field});
}

std::string size_text(const MapHeader& h) {
  return "map size " + std::to_string(h.map_width) + " x " + std::to_string(h.map_height);
}

// Lines 1 to 3; refuses a size CREATE_MAP would refuse, before any cell is read.
void read_size(Reader& in, MapHeader& h) {
  in.whole_line({"the map section"});
  h.map_width = labelled_number(in, "map width");
  if (h.map_width < 1) in.refuse(in.value_line(), size_text(h) + ": the width is below 1");
  h.map_height = labelled_number(in, "map height");
  if (h.map_height < 1) in.refuse(in.value_line(), size_text(h) + ": the height is below 1");
  if (int64_t{h.map_width} * h.map_height > kMaxCellCount)
    in.refuse(in.value_line(),
              size_text(h) + ": more than " + std::to_string(kMaxCellCount) + " cells");
}

MapHeader read_header(Reader& in) {
  MapHeader h;
  read_size(in, h);
  in.whole_line({"the tile section"});
  in.text({"the label of the tile file name"});
  h.tile_filename = in.text({"tile file name"});
  if (h.tile_filename.find('\0') != std::string::npos)
    in.refuse(in.value_line(), "tile file name: it holds a NUL byte");
  h.tile_width = labelled_number(in, "tile width");
  h.tile_height = labelled_number(in, "tile height");
  h.tile_count = labelled_number(in, "number of tiles");
  in.whole_line({"the overlap section"});
  h.box_width = labelled_number(in, "box width");
  h.box_height = labelled_number(in, "box height");
  in.whole_line({"the solid panel section"});
  h.solid_panel = labelled_number(in, "solid panel");
  in.whole_line({"the flood panel section"});
  h.flood_panel = labelled_number(in, "flood panel");
  in.whole_line({"the wall panel section"});
  h.first_wall_panel = labelled_number(in, "first wall panel");
  return h;
}

MapFileContent read_content(Reader& in, std::size_t size_hint) {
  MapFileContent content;
  content.header = read_header(in);
  in.whole_line({"the cell count line"});
  content.cell_heading = in.whole_line({"the cell heading"});
  const int32_t width = content.header.map_width;
  const int64_t count = int64_t{width} * content.header.map_height;
  // Each cell line takes a few bytes at least, so a short file cannot claim a huge grid's room.
  content.cells.reserve(static_cast<std::size_t>(std::min<int64_t>(count, size_hint)));
  for (int64_t i = 0; i < count; ++i) {
    StoredCell cell;
    cell.ground = in.number({"ground", i, width});
    cell.solid = in.number({"solid flag", i, width});
    cell.wall = in.number({"wall bit-field", i, width});
    content.cells.push_back(cell);
  }
  return content;
}

ParseResult parse(std::streambuf& in_buffer, std::size_t size_hint) {
  Reader in(in_buffer);
  try {
    return read_content(in, size_hint);
  } catch (const Refusal& refusal) {
    return refusal.problem;
  }
}

// Reads a character range in place; the buffer is never written through.
class ViewBuffer : public std::streambuf {
 public:
  explicit ViewBuffer(std::string_view text) {
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
  }
};

// Cells reserved up front when the length of the input is not known.
constexpr std::size_t kUnknownSizeHint = 4096;

}  // namespace

ParseResult parse_map_file(std::streambuf& in) {
  return parse(in, kUnknownSizeHint);
}

ParseResult parse_map_file(std::string_view text) {
  ViewBuffer buffer(text);
  // A cell line holds at least three digits and two separators.
  constexpr std::size_t kShortestCellLine = 5;
  return parse(buffer, text.size() / kShortestCellLine);
}

}  // namespace hexmap::map_file
