// put_image: transparent copies and alpha blends of whole images, clipped once per put, and the
// portable row loops.
#include <cstring>
#include <utility>

#include "raster/internal.hpp"
#include "raster/put_kernels.hpp"

namespace raster {
namespace detail {

namespace {

constexpr int kOpaque = 255;

PutKernels best_put_kernels() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) {
    return PutKernels::avx512;
  }
  if (__builtin_cpu_supports("avx2")) return PutKernels::avx2;
#endif
  return PutKernels::portable;
}

PutKernels& put_kernels_cap() {
  static PutKernels cap = PutKernels::avx512;
  return cap;
}

// Calls f(target pixel, source pixel, count) for each opaque run of the put, cut to its area.
template <class F>
void for_each_run(const PutRows& p, F f) {
  const RowWalk walk(p);
  for (int i = 0; i < walk.height(); ++i) {
    const RowRuns& row = walk.runs_of(i);
    for (int r = row.first_run; r < row.first_run + row.run_count; ++r) {
      const RowWork run = walk.run(i, r);
      if (run.n > 0) f(run.dst, run.src, run.n);
    }
  }
}

}  // namespace

PutKernels put_kernels() {
  static const PutKernels best = best_put_kernels();
  return std::min(best, put_kernels_cap());
}

PutKernels limit_put_kernels(PutKernels most) {
  return std::exchange(put_kernels_cap(), most);
}

void copy_rows_portable(const PutRows& p) {
  for_each_run(p, [](Color* dst, const Color* src, int n) {
    std::memcpy(dst, src, static_cast<size_t>(n) * sizeof(Color));
  });
}

void blend_rows_portable(const PutRows& p) {
  const uint32_t w = p.weight;
  for_each_run(p, [w](Color* dst, const Color* src, int n) {
    for (int i = 0; i < n; ++i)
      dst[i] = blend_pixel(src[i], dst[i], w);
  });
}

}  // namespace detail

int put_image(Image* target, float x, float y, const Image* source, PutMode mode, int alpha) {
  using detail::PutKernels;
  if (source == nullptr) return detail::refuse("put_image: no source image");
  if (!detail::finite({x, y})) return detail::refuse("put_image: position is not finite");
  const auto canvas = detail::canvas_for(target);
  if (!canvas) return detail::refuse("put_image: no screen is open");
  // Opacity outside 0..255 is clamped rather than refused.
  alpha = std::clamp(alpha, 0, detail::kOpaque);
  const bool blend = mode == PutMode::alpha_blend;
  if (blend && alpha == 0) return 0;

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
  const detail::PutRows rows{source, &*canvas, ox, oy, area, static_cast<uint32_t>(alpha) + 1};
  switch (detail::put_kernels()) {
#if defined(__x86_64__) || defined(__i386__)
    case PutKernels::avx512:
      blend ? detail::blend_rows_avx512(rows) : detail::copy_rows_avx512(rows);
      break;
    case PutKernels::avx2:
      blend ? detail::blend_rows_avx2(rows) : detail::copy_rows_avx2(rows);
      break;
#endif
    default:
      blend ? detail::blend_rows_portable(rows) : detail::copy_rows_portable(rows);
      break;
  }
  detail::canvas_changed(*canvas);
  return 0;
}

}  // namespace raster
