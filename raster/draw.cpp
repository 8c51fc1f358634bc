// Lines and circles.
#include <numbers>

#include "raster/internal.hpp"

namespace raster {
namespace detail {

void plot_line(const Canvas& canvas, int x1, int y1, int x2, int y2, Color color, uint16_t style) {
  // Pixel i of the line (0..n along the major axis) sits at minor offset
  // round(i * minor / major) with halves rounded up: a closed form, so only the steps whose
  // major coordinate lies inside the clip are visited and a huge line costs no more than the
  // target is wide or tall.
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  const bool x_major = std::abs(dx) >= std::abs(dy);
  const int64_t major = x_major ? std::abs(dx) : std::abs(dy);
  const int64_t minor = x_major ? std::abs(dy) : std::abs(dx);
  const int64_t major_step = (x_major ? dx : dy) < 0 ? -1 : 1;
  const int64_t minor_step = (x_major ? dy : dx) < 0 ? -1 : 1;
  const int64_t major_start = x_major ? x1 : y1;
  const int64_t minor_start = x_major ? y1 : x1;
  // Screen or image pixels, inclusive.
  const int64_t lo = x_major ? canvas.clip.left : canvas.clip.top;
  const int64_t hi = x_major ? canvas.clip.right : canvas.clip.bottom;
  int64_t first = major_step > 0 ? lo - major_start : major_start - hi;
  int64_t last = major_step > 0 ? hi - major_start : major_start - lo;
  first = std::max<int64_t>(first, 0);
  last = std::min(last, major);
  for (int64_t i = first; i <= last; ++i) {
    if (((style >> (15 - i % 16)) & 1) == 0) continue;
    const int64_t offset = major == 0 ? 0 : (2 * i * minor + major) / (2 * major);
    const int64_t a = major_start + major_step * i;
    const int64_t b = minor_start + minor_step * offset;
    // a lies inside the clip; b (within +-2^30 as coordinates are clamped) is checked by plot.
    if (x_major) {
      canvas.plot(static_cast<int>(a), static_cast<int>(b), color);
    } else {
      canvas.plot(static_cast<int>(b), static_cast<int>(a), color);
    }
  }
}

}  // namespace detail

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Arcs spanning at least this much are full circles (callers pass 2 pi rounded up in single
// precision, or a little less after float arithmetic).
constexpr double kFullTurn = kTwoPi - 1e-5;
constexpr int kLineModeAbsolute = 0;
constexpr int kLineModeRelative = 1;

// Which part of the ellipse is drawn: angles in radians, counter-clockwise from the +x axis
// with screen y pointing down.
struct Arc {
  bool full = true;
  double start = 0;
  double end = 0;
  double rx = 1;  // to compare angles of the ellipse as if it were a circle
  double ry = 1;

  bool contains(int dx, int dy) const {
    if (full) return true;
    if (dx == 0 && dy == 0) return true;
    double angle = std::atan2(-dy * rx / ry, static_cast<double>(dx));
    if (angle < 0) angle += kTwoPi;
    return start <= end ? angle >= start && angle <= end : angle >= start || angle <= end;
  }
};

double normalise_angle(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

}  // namespace

int draw_line(Image* target, float x1, float y1, float x2, float y2, Color color, int style,
              int coordinate_mode) {
  if (!detail::finite({x1, y1, x2, y2})) return detail::refuse("draw_line: point is not finite");
  if (coordinate_mode != kLineModeAbsolute && coordinate_mode != kLineModeRelative) {
    return detail::refuse("draw_line: coordinate mode is neither 0 nor 1");
  }
  const auto canvas = detail::canvas_for(target);
  if (!canvas) return detail::refuse("draw_line: no screen is open");
  double ex = x2;
  double ey = y2;
  if (coordinate_mode == kLineModeRelative) {
    ex += x1;
    ey += y1;
  }
  detail::plot_line(*canvas, detail::to_pixel(x1), detail::to_pixel(y1), detail::to_pixel(ex),
                    detail::to_pixel(ey), color, static_cast<uint16_t>(style));
  detail::screen().cursor_x = static_cast<float>(ex);
  detail::screen().cursor_y = static_cast<float>(ey);
  detail::canvas_changed(*canvas);
  return 0;
}

int draw_circle(Image* target, float cx, float cy, float radius, Color color, float aspect,
                float start_angle, float end_angle, bool filled) {
  if (!detail::finite({cx, cy, radius, start_angle, end_angle})) {
    return detail::refuse("draw_circle: argument is not finite");
  }
  const auto canvas = detail::canvas_for(target);
  if (!canvas) return detail::refuse("draw_circle: no screen is open");
  detail::screen().cursor_x = cx;
  detail::screen().cursor_y = cy;
  if (radius <= 0) return 0;

  // Aspect is the ratio of the vertical to the horizontal radius; 0 (or nonsense) means 1.
  const double a = std::isfinite(aspect) && aspect > 0 ? aspect : 1.0;
  const double r = std::min<double>(radius, detail::kCoordLimit);
  const double rx = a > 1 ? r / a : r;
  const double ry = a > 1 ? r : r * a;
  Arc arc;
  if (end_angle - start_angle < kFullTurn) {
    arc = Arc{false, normalise_angle(start_angle), normalise_angle(end_angle), rx, ry};
  }

  // Half-width of the ellipse in row j (rows relative to the centre, |j| <= rows).
  const int rows = static_cast<int>(std::floor(ry));
  auto half_width = [&](int j) -> int {
    if (std::abs(j) > rows) return -1;
    const double t = rows == 0 ? 0.0 : static_cast<double>(j) / ry;
    return static_cast<int>(std::floor(rx * std::sqrt(std::max(0.0, 1 - t * t)) + 0.5));
  };

  const int ccx = detail::to_pixel(cx);
  const int ccy = detail::to_pixel(cy);
  // Only rows that can touch the clip (target pixels, inclusive) are visited.
  const int64_t j_first = std::max<int64_t>(-rows, int64_t{canvas->clip.top} - ccy);
  const int64_t j_last = std::min<int64_t>(rows, int64_t{canvas->clip.bottom} - ccy);
  for (int64_t jj = j_first; jj <= j_last; ++jj) {
    const int j = static_cast<int>(jj);
    const int y = ccy + j;
    const int hw = half_width(j);
    // The outline of a row reaches inwards to where the next row out ends, so the outline is
    // closed; the outermost rows are drawn whole.
    const int outer = half_width(j < 0 ? j - 1 : j + 1);
    const int inner = filled ? 0 : std::min(hw, outer + 1);
    for (int side : {-1, 1}) {
      const int64_t from = int64_t{ccx} + side * int64_t{inner};
      const int64_t to = int64_t{ccx} + side * int64_t{hw};
      const int left = static_cast<int>(std::max<int64_t>(std::min(from, to), canvas->clip.left));
      const int right = static_cast<int>(std::min<int64_t>(std::max(from, to), canvas->clip.right));
      if (arc.full) {
        canvas->span(left, right, y, color);
      } else {
        for (int x = left; x <= right; ++x) {
          if (arc.contains(x - ccx, j)) canvas->plot(x, y, color);
        }
      }
    }
  }
  detail::canvas_changed(*canvas);
  return 0;
}

}  // namespace raster
