// put_image: transparent copies and alpha blends of whole images, clipped once per put.
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
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

// The vector kernels below blend with the same lane arithmetic as blend_pixel and keep the
// target pixel wherever the source pixel is transparent, so a row is processed from its first
// to its last opaque pixel without branching on holes. Each returns how many pixels it did.
#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] int blend_span_avx2(Color* dst, const Color* src, int n, uint32_t w) {
  const __m256i ws = _mm256_set1_epi16(static_cast<int16_t>(w));
  const __m256i keep = _mm256_set1_epi16(static_cast<int16_t>(256 - w));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alpha_byte = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i colour = _mm256_set1_epi32(static_cast<int>(detail::kColorMask));
  const __m256i key = _mm256_set1_epi32(static_cast<int>(kTransparentKey));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i lo =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), ws),
                                           _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), keep)),
                          8);
    const __m256i hi =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), ws),
                                           _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), keep)),
                          8);
    const __m256i mixed = _mm256_packus_epi16(lo, hi);  // per 128-bit lane: order is kept
    const __m256i out =
        _mm256_or_si256(_mm256_and_si256(d, alpha_byte), _mm256_andnot_si256(alpha_byte, mixed));
    const __m256i hole = _mm256_cmpeq_epi32(_mm256_and_si256(s, colour), key);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(out, d, hole));
  }
  return i;
}

// Copies n pixels, leaving dst wherever the source pixel is transparent.
[[gnu::target("avx2")]] int copy_keyed_avx2(Color* dst, const Color* src, int n) {
  const __m256i colour = _mm256_set1_epi32(static_cast<int>(detail::kColorMask));
  const __m256i key = _mm256_set1_epi32(static_cast<int>(kTransparentKey));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i hole = _mm256_cmpeq_epi32(_mm256_and_si256(s, colour), key);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(s, d, hole));
  }
  return i;
}

bool has_avx2() {
  static const bool supported = __builtin_cpu_supports("avx2") != 0;
  return supported;
}
#endif

#if defined(__SSE2__)
int blend_span_sse2(Color* dst, const Color* src, int n, uint32_t w) {
  const __m128i ws = _mm_set1_epi16(static_cast<int16_t>(w));
  const __m128i keep = _mm_set1_epi16(static_cast<int16_t>(256 - w));
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha_byte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i colour = _mm_set1_epi32(static_cast<int>(detail::kColorMask));
  const __m128i key = _mm_set1_epi32(static_cast<int>(kTransparentKey));
  int i = 0;
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
    const __m128i hole = _mm_cmpeq_epi32(_mm_and_si128(s, colour), key);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_or_si128(_mm_and_si128(hole, d), _mm_andnot_si128(hole, out)));
  }
  return i;
}
#endif

#if defined(__SSE2__)
int copy_keyed_sse2(Color* dst, const Color* src, int n) {
  const __m128i colour = _mm_set1_epi32(static_cast<int>(detail::kColorMask));
  const __m128i key = _mm_set1_epi32(static_cast<int>(kTransparentKey));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i hole = _mm_cmpeq_epi32(_mm_and_si128(s, colour), key);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_or_si128(_mm_and_si128(hole, d), _mm_andnot_si128(hole, s)));
  }
  return i;
}
#endif

// Copies n source pixels, transparent ones included (they leave dst).
void copy_keyed_span(Color* dst, const Color* src, int n) {
  int i = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (has_avx2()) i = copy_keyed_avx2(dst, src, n);
#endif
#if defined(__SSE2__)
  i += copy_keyed_sse2(dst + i, src + i, n - i);
#endif
  for (; i < n; ++i) {
    if (!detail::is_transparent(src[i])) dst[i] = src[i];
  }
}

// Blends n source pixels, transparent ones included (they leave dst), with weight
// w = alpha + 1 (1..255).
void blend_span(Color* dst, const Color* src, int n, uint32_t w) {
  int i = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (has_avx2()) i = blend_span_avx2(dst, src, n, w);
#endif
#if defined(__SSE2__)
  i += blend_span_sse2(dst + i, src + i, n - i, w);
#endif
  for (; i < n; ++i) {
    if (!detail::is_transparent(src[i])) dst[i] = blend_pixel(src[i], dst[i], w);
  }
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
    const int first_run = source->row_first_run[sy];
    const int end_run = source->row_first_run[sy + 1];
    if (first_run == end_run) continue;
    const bool partial_blend = blend && alpha != kOpaque;
    if (partial_blend || (!blend && end_run - first_run > 1)) {
      // A row with holes gets one masked pass from its first to its last opaque pixel, which
      // beats a copy call per short run; a row with a single run is copied whole below.
      const OpaqueRun& last = source->runs[end_run - 1];
      const int a = std::max(source->runs[first_run].x, first_col);
      const int b = std::min(last.x + last.length - 1, last_col);
      if (a > b) continue;
      if (partial_blend) {
        blend_span(dst_row + (ox + a), src_row + a, b - a + 1, weight);
      } else {
        copy_keyed_span(dst_row + (ox + a), src_row + a, b - a + 1);
      }
      continue;
    }
    for (int r = first_run; r < end_run; ++r) {
      const int a = std::max(source->runs[r].x, first_col);
      const int b = std::min(source->runs[r].x + source->runs[r].length - 1, last_col);
      if (a > b) continue;
      Color* to = dst_row + (ox + a);
      const int n = b - a + 1;
      if (blend) {
        replace_colour_run(to, src_row + a, n);
      } else {
        std::memcpy(to, src_row + a, static_cast<size_t>(n) * sizeof(Color));
      }
    }
  }
  detail::canvas_changed(*canvas);
  return 0;
}

}  // namespace raster
