// The row loops behind put_image, one set per instruction set, chosen once per process.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/internal.hpp"

namespace raster::detail {

// One put, already clipped: source pixel (sx, sy) lands on target pixel (ox + sx, oy + sy).
struct PutRows {
  const Image* source = nullptr;
  const Canvas* target = nullptr;
  int ox = 0;
  int oy = 0;
  Rect area;            // target pixels, inclusive; never empty
  uint32_t weight = 0;  // blends only: alpha + 1, 1..256
};

// Pixels of one target row for a kernel: n source pixels from src onto dst (n <= 0: nothing).
struct RowWork {
  Color* dst = nullptr;
  const Color* src = nullptr;
  int n = 0;
};

// The rows of one put from top to bottom, with everything the kernels need in members of its
// own: a kernel keeps a RowWalk in registers, where its stores to the target cannot alter it.
class RowWalk {
 public:
  explicit RowWalk(const PutRows& p)
      : rows_(p.source->row_runs.data() + (p.area.top - p.oy)),
        runs_(p.source->runs.data()),
        src_(p.source->row(p.area.top - p.oy)),
        dst_(p.target->row(p.area.top)),
        src_stride_(p.source->width),
        dst_stride_(p.target->width),
        ox_(p.ox),
        first_col_(p.area.left - p.ox),
        end_col_(p.area.right - p.ox + 1),
        height_(p.area.bottom - p.area.top + 1) {}

  int height() const { return height_; }
  const RowRuns& runs_of(int i) const { return rows_[i]; }

  // Row i of the area from the first to the last opaque pixel of its source row, clipped.
  RowWork span(int i) const { return clipped(i, rows_[i].begin, rows_[i].end); }
  // Run r of row i, clipped.
  RowWork run(int i, int r) const {
    const OpaqueRun& run = runs_[r];
    return clipped(i, run.x, run.x + run.length);
  }

 private:
  // Source columns begin .. end (end exclusive) of row i cut to the area.
  RowWork clipped(int i, int begin, int end) const {
    const int a = std::max(begin, first_col_);
    const int b = std::min(end, end_col_);
    return {dst_ + i * dst_stride_ + (ox_ + a), src_ + i * src_stride_ + a, b - a};
  }

  const RowRuns* rows_;
  const OpaqueRun* runs_;
  const Color* src_;  // the first row of the area
  Color* dst_;
  std::ptrdiff_t src_stride_;
  std::ptrdiff_t dst_stride_;
  int ox_;
  int first_col_;  // source columns of the area, first inclusive, end exclusive
  int end_col_;
  int height_;
};

// d + floor((s - d) * w / 256) == floor((d * (256 - w) + s * w) / 256): both products are
// non-negative and their sum is at most 255 * 256, so each channel fits an unsigned 16-bit
// lane and a plain right shift is the floor. The target's alpha byte is kept.
inline Color blend_pixel(Color s, Color d, uint32_t w) {
  const uint32_t keep = 256 - w;
  const uint32_t rb = (((s & 0x00FF00FFu) * w + (d & 0x00FF00FFu) * keep) >> 8) & 0x00FF00FFu;
  const uint32_t g = (((s & 0x0000FF00u) * w + (d & 0x0000FF00u) * keep) >> 8) & 0x0000FF00u;
  return (d & 0xFF000000u) | rb | g;
}

// The sets of row loops, fastest last. Each has the same results, pixel for pixel.
enum class PutKernels { portable, avx2, avx512 };

// The set this processor runs, capped by limit_put_kernels.
PutKernels put_kernels();
// Caps the set used from now on (tests run every set on one machine); returns the previous cap.
PutKernels limit_put_kernels(PutKernels most);

void copy_rows_portable(const PutRows& p);
void blend_rows_portable(const PutRows& p);
void copy_rows_avx2(const PutRows& p);
void blend_rows_avx2(const PutRows& p);
void copy_rows_avx512(const PutRows& p);
void blend_rows_avx512(const PutRows& p);

}  // namespace raster::detail
