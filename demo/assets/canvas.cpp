#include "demo/assets/canvas.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <string>

#include "raster/raster.hpp"

namespace assets {

double noise(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / 16777216.0;
}

namespace {

int channel(Color c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}
Color pack(double r, double g, double b) {
  const auto clamp = [](double v) {
    return static_cast<Color>(std::clamp(std::lround(v), 0L, 255L));
  };
  return clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

}  // namespace

Color mix(Color a, Color b, double t) {
  const auto lerp = [&](int shift) {
    return channel(a, shift) + (channel(b, shift) - channel(a, shift)) * t;
  };
  return pack(lerp(16), lerp(8), lerp(0));
}

Color shade(Color c, double f) {
  return pack(channel(c, 16) * f, channel(c, 8) * f, channel(c, 0) * f);
}

Canvas::Canvas(int w, int h, Color fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

void Canvas::paint(int x1, int y1, int x2, int y2,
                   const std::function<bool(int, int, Color&)>& paint) {
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) {
      Color c = inside(x, y) ? get(x, y) : 0;
      if (paint(x - x1, y - y1, c)) set(x, y, c);
    }
  }
}

void Canvas::fill_rect(int x1, int y1, int x2, int y2, Color c) {
  paint(x1, y1, x2, y2, [c](int, int, Color& out) {
    out = c;
    return true;
  });
}

void Canvas::fill_ellipse(double cx, double cy, double rx, double ry, Color c) {
  const int x1 = static_cast<int>(std::floor(cx - rx));
  const int y1 = static_cast<int>(std::floor(cy - ry));
  paint(x1, y1, static_cast<int>(std::ceil(cx + rx)), static_cast<int>(std::ceil(cy + ry)),
        [&](int dx, int dy, Color& out) {
          const double u = (x1 + dx + 0.5 - cx) / rx;
          const double v = (y1 + dy + 0.5 - cy) / ry;
          if (u * u + v * v > 1.0) return false;
          out = c;
          return true;
        });
}

void Canvas::put(const Canvas& from, int x, int y) {
  for (int sy = 0; sy < from.height; ++sy) {
    for (int sx = 0; sx < from.width; ++sx) {
      const Color c = from.get(sx, sy);
      if (c != kMagenta) set(x + sx, y + sy, c);
    }
  }
}

void Canvas::outline(int x1, int y1, int x2, int y2, Color edge) {
  const Canvas before = *this;
  const auto opaque = [&](int x, int y) {
    return x >= x1 && x <= x2 && y >= y1 && y <= y2 && before.inside(x, y) &&
           before.get(x, y) != kMagenta;
  };
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) {
      if (opaque(x, y)) continue;
      if (opaque(x - 1, y) || opaque(x + 1, y) || opaque(x, y - 1) || opaque(x, y + 1)) {
        set(x, y, edge);
      }
    }
  }
}

namespace {

constexpr int kGlyph = 8;  // font cell, font pixels

// The glyph of c as drawn by the graphics layer: 8 rows of 8 bits, bit 7 the leftmost pixel.
std::array<uint8_t, kGlyph> glyph(char c) {
  static bool open = false;
  if (!open) {
    raster::select_backend(raster::Backend::headless);
    open = raster::screen_set_mode(kGlyph, kGlyph, 32) == 0;
  }
  std::array<uint8_t, kGlyph> rows{};
  if (!open) return rows;
  raster::text_locate(1, 1);
  raster::print_text(std::string(1, c), false);
  const raster::Color* px = raster::screen_ptr();
  for (int y = 0; y < kGlyph; ++y) {
    for (int x = 0; x < kGlyph; ++x) {
      if ((px[y * kGlyph + x] & 0xFFFFFF) != 0) rows[y] |= static_cast<uint8_t>(0x80 >> x);
    }
  }
  return rows;
}

}  // namespace

int text_width(std::string_view text, int scale) {
  return static_cast<int>(text.size()) * kGlyph * scale;
}

void draw_text(Canvas& canvas, int x, int y, std::string_view text, Color color, int scale,
               Color shadow) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto rows = glyph(text[i]);
    const int left = x + static_cast<int>(i) * kGlyph * scale;
    for (int pass = shadow == kMagenta ? 1 : 0; pass < 2; ++pass) {
      const int offset = pass == 0 ? scale : 0;
      const Color c = pass == 0 ? shadow : color;
      for (int gy = 0; gy < kGlyph; ++gy) {
        for (int gx = 0; gx < kGlyph; ++gx) {
          if ((rows[gy] & (0x80 >> gx)) == 0) continue;
          canvas.fill_rect(left + gx * scale + offset, y + gy * scale + offset,
                           left + (gx + 1) * scale - 1 + offset, y + (gy + 1) * scale - 1 + offset,
                           c);
        }
      }
    }
  }
}

namespace {

void put_le(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

bool write_bmp(const std::filesystem::path& file, const Canvas& canvas) {
  constexpr uint32_t kHeaders = 14 + 40;
  const uint32_t row_bytes = (static_cast<uint32_t>(canvas.width) * 3 + 3) & ~3u;
  const uint32_t image_bytes = row_bytes * static_cast<uint32_t>(canvas.height);
  std::string out;
  out.reserve(kHeaders + image_bytes);
  out += "BM";
  put_le(out, kHeaders + image_bytes, 4);
  put_le(out, 0, 4);
  put_le(out, kHeaders, 4);
  put_le(out, 40, 4);
  put_le(out, static_cast<uint32_t>(canvas.width), 4);
  put_le(out, static_cast<uint32_t>(canvas.height), 4);  // positive: rows bottom-up
  put_le(out, 1, 2);
  put_le(out, 24, 2);
  put_le(out, 0, 4);
  put_le(out, image_bytes, 4);
  put_le(out, 2835, 4);  // 72 dpi
  put_le(out, 2835, 4);
  put_le(out, 0, 4);
  put_le(out, 0, 4);
  for (int y = canvas.height - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width; ++x)
      put_le(out, canvas.get(x, y), 3);
    out.append(row_bytes - static_cast<uint32_t>(canvas.width) * 3, '\0');
  }
  // Written beside the target and renamed over it, so a reader never sees half a file.
  const std::filesystem::path temporary = file.string() + ".tmp";
  {
    std::ofstream f(temporary, std::ios::binary | std::ios::trunc);
    if (!f.write(out.data(), static_cast<std::streamsize>(out.size()))) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  return !ec;
}

}  // namespace assets
