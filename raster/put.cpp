// put_image: transparent copies and alpha blends of whole images, clipped once per put.
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "raster/internal.hpp"

namespace raster {
namespace {

constexpr int kOpaque = 255;

// d + floor((s - d) * w / 256) == floor((d * (256 - w) + s * w) / 256): both products are
// non-negative and their sum is at most 255 * 256, so each channel fits an unsigned 16-bit
// lane and a plain right shift is the floor. Red and blue share one 32-bit word (16 bits
// apart), green gets its own. The target's alpha byte is kept.
inline Color blend_pixel(Color s, Color d, uint32_t w) {
  const uint32_t keep = 256 - w;
  const uint32_t rb = (((s & 0x00FF00FFu) * w + (d & 0x00FF00FFu) * keep) >> 8) & 0x00FF00FFu;
  const uint32_t g = (((s & 0x0000FF00u) * w + (d & 0x0000FF00u) * keep) >> 8) & 0x0000FF00u;
  return (d & 0xFF000000u) | rb | g;
}

// Blends a run of n opaque source pixels onto dst with weight w = alpha + 1 (1..255).
void blend_run(Color* dst, const Color* src, int n, uint32_t w) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i ws = _mm_set1_epi16(static_cast<int16_t>(w));
  const __m128i keep = _mm_set1_epi16(static_cast<int16_t>(256 - w));
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha_byte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i lo =
        _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), ws),
                                     _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), keep)),
                       8);
    const __m128i hi =
        _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), ws),
                                     _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), keep)),
                       8);
    const __m128i mixed = _mm_packus_epi16(lo, hi);
    const __m128i out =
        _mm_or_si128(_mm_and_si128(d, alpha_byte), _mm_andnot_si128(alpha_byte, mixed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
  }
#endif
  for (; i < n; ++i)
    dst[i] = blend_pixel(src[i], dst[i], w);
}

// Full opacity: red, green and blue of the source, the target's alpha byte.
void replace_colour_run(Color* dst, const Color* src, int n) {
  for (int i = 0; i < n; ++i)
    dst[i] = (dst[i] & 0xFF000000u) | (src[i] & detail::kColorMask);
}

}  // namespace

int put_image(Image* target, float x, float y, const Image* source, PutMode mode, int alpha) {
  if (source == nullptr) return detail::refuse("put_image: no source image");
  if (!detail::finite({x, y})) return detail::refuse("put_image: position is not finite");
  const auto canvas = detail::canvas_for(target);
  if (!canvas) return detail::refuse("put_image: no screen is open");
  // Opacity outside 0..255 is clamped rather than refused.
  alpha = std::clamp(alpha, 0, kOpaque);
  if (mode == PutMode::alpha_blend && alpha == 0) return 0;

  // A put of an image onto itself reads pixels it has already written: work from a copy.
  std::optional<Image> own_copy;
  if (source == target) source = &own_copy.emplace(*source);

  // Target pixels, inclusive: the source's footprint cut to the target's clip.
  const int ox = detail::to_pixel(x);
  const int oy = detail::to_pixel(y);
  const detail::Rect area =
      detail::Rect{ox, oy, ox + source->width - 1, oy + source->height - 1}.intersect(canvas->clip);
  if (area.empty()) return 0;

  source->refresh_runs();
  // Source pixels, inclusive: the columns of the source that land inside the area.
  const int first_col = area.left - ox;
  const int last_col = area.right - ox;
  const bool blend = mode == PutMode::alpha_blend;
  const uint32_t weight = static_cast<uint32_t>(alpha) + 1;
  for (int ty = area.top; ty <= area.bottom; ++ty) {
    const int sy = ty - oy;
    const Color* src_row = source->row(sy);
    Color* dst_row = canvas->row(ty);
    for (int r = source->row_first_run[sy]; r < source->row_first_run[sy + 1]; ++r) {
      const int a = std::max(source->runs[r].x, first_col);
      const int b = std::min(source->runs[r].x + source->runs[r].length - 1, last_col);
      if (a > b) continue;
      Color* to = dst_row + (ox + a);
      const int n = b - a + 1;
      if (!blend) {
        std::memcpy(to, src_row + a, static_cast<size_t>(n) * sizeof(Color));
      } else if (alpha == kOpaque) {
        replace_colour_run(to, src_row + a, n);
      } else {
        blend_run(to, src_row + a, n, weight);
      }
    }
  }
  detail::canvas_changed(*canvas);
  return 0;
}

}  // namespace raster
