// Turtle command strings: U D L R E F G H walks, M moves, B and N prefixes.
#include <cctype>
#include <numbers>

#include "raster/internal.hpp"

namespace raster {
namespace {

// Step counts and M coordinates saturate here; the pen is kept within +-kCoordLimit anyway.
constexpr int64_t kMaxNumber = int64_t{1} << 30;
// Diagonal walks take n * sqrt(2) unit steps, with the constant written to float precision.
constexpr double kDiagonalSteps = 1.4142135;
constexpr double kHalfSqrt2 = std::numbers::sqrt2 / 2;

struct Pen {
  double x = 0;  // pixel units; x + 0.5 is the centre of pixel x
  double y = 0;
};

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool done() const { return pos_ >= text_.size(); }
  char next() { return text_[pos_++]; }
  void skip_blanks() {
    while (!done() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
      ++pos_;
  }
  bool at_digit() const { return !done() && std::isdigit(static_cast<unsigned char>(text_[pos_])); }
  // A run of decimal digits, saturating at kMaxNumber; nullopt when there is none.
  std::optional<int64_t> number() {
    skip_blanks();
    if (!at_digit()) return std::nullopt;
    int64_t value = 0;
    while (at_digit())
      value = std::min(kMaxNumber, value * 10 + (next() - '0'));
    return value;
  }
  // An optional sign and a number; sets had_sign when a sign was written.
  std::optional<int64_t> signed_number(bool& had_sign) {
    skip_blanks();
    had_sign = false;
    int64_t sign = 1;
    if (!done() && (text_[pos_] == '+' || text_[pos_] == '-')) {
      had_sign = true;
      sign = next() == '-' ? -1 : 1;
    }
    const auto n = number();
    if (!n) return std::nullopt;
    return sign * *n;
  }
  bool accept(char c) {
    skip_blanks();
    if (done() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

double clamp_coord(double v) {
  return std::clamp(v, double{-detail::kCoordLimit}, double{detail::kCoordLimit});
}

// Plots the k + 1 points pen + i * (ux, uy), i = 0..k, at the pixels containing them. Only the
// steps that can land inside the clip (target pixels, inclusive) are visited, so a huge k
// costs no more than the target is wide.
void walk_points(const detail::Canvas& canvas, Pen pen, double ux, double uy, int64_t k,
                 Color color) {
  if (canvas.clip.empty()) return;
  double first = 0;
  double last = static_cast<double>(k);
  auto narrow = [&](double p0, double u, int lo, int hi) {
    if (u == 0) {
      if (p0 < lo || p0 >= static_cast<double>(hi) + 1) last = -1;
      return;
    }
    const double a = (lo - p0) / u;
    const double b = (static_cast<double>(hi) + 1 - p0) / u;
    first = std::max(first, std::floor(std::min(a, b)) - 1);
    last = std::min(last, std::ceil(std::max(a, b)) + 1);
  };
  narrow(pen.x, ux, canvas.clip.left, canvas.clip.right);
  narrow(pen.y, uy, canvas.clip.top, canvas.clip.bottom);
  for (auto i = static_cast<int64_t>(first); i <= static_cast<int64_t>(last); ++i) {
    const auto t = static_cast<double>(i);
    canvas.plot(detail::to_pixel(pen.x + t * ux), detail::to_pixel(pen.y + t * uy), color);
  }
}

}  // namespace

int draw_commands(Image* target, std::string_view commands) {
  const auto canvas = detail::canvas_for(target);
  if (!canvas) return detail::refuse("draw_commands: no screen is open");
  detail::ScreenState& s = detail::screen();
  Pen pen{clamp_coord(std::floor(double{s.cursor_x}) + 0.5),
          clamp_coord(std::floor(double{s.cursor_y}) + 0.5)};
  bool pen_up = false;    // B: move without drawing
  bool stay_put = false;  // N: draw, then return to where the command started
  Reader in(commands);
  while (!in.done()) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(in.next())));
    Pen end = pen;
    if (c == 'B') {
      pen_up = true;
      continue;
    }
    if (c == 'N') {
      stay_put = true;
      continue;
    }
    if (std::string_view("UDLREFGH").find(c) != std::string_view::npos) {
      const int64_t n = in.number().value_or(1);
      double ux = 0;
      double uy = 0;
      int64_t steps = n;
      switch (c) {
        case 'U':
          uy = -1;
          break;
        case 'D':
          uy = 1;
          break;
        case 'L':
          ux = -1;
          break;
        case 'R':
          ux = 1;
          break;
        default:
          ux = (c == 'E' || c == 'F') ? kHalfSqrt2 : -kHalfSqrt2;
          uy = (c == 'F' || c == 'G') ? kHalfSqrt2 : -kHalfSqrt2;
          steps = std::llround(static_cast<double>(n) * kDiagonalSteps);
          break;
      }
      if (!pen_up) walk_points(*canvas, pen, ux, uy, steps, detail::kForeground);
      end = Pen{pen.x + static_cast<double>(steps) * ux, pen.y + static_cast<double>(steps) * uy};
    } else if (c == 'M') {
      bool relative = false;
      bool y_sign = false;
      const auto x = in.signed_number(relative);
      const bool comma = x && in.accept(',');
      const auto y = comma ? in.signed_number(y_sign) : std::nullopt;
      if (!y) break;  // a malformed move ends the string
      end = relative ? Pen{pen.x + static_cast<double>(*x), pen.y + static_cast<double>(*y)}
                     : Pen{static_cast<double>(*x) + 0.5, static_cast<double>(*y) + 0.5};
      if (!pen_up) {
        detail::plot_line(*canvas, detail::to_pixel(pen.x), detail::to_pixel(pen.y),
                          detail::to_pixel(end.x), detail::to_pixel(end.y), detail::kForeground,
                          0xFFFF);
      }
    } else {
      continue;  // blanks, separators and commands this layer does not know
    }
    if (!stay_put) {
      pen = Pen{clamp_coord(std::floor(end.x) + 0.5), clamp_coord(std::floor(end.y) + 0.5)};
    }
    pen_up = false;
    stay_put = false;
  }
  s.cursor_x = static_cast<float>(std::floor(pen.x));
  s.cursor_y = static_cast<float>(std::floor(pen.y));
  detail::canvas_changed(*canvas);
  return 0;
}

}  // namespace raster
