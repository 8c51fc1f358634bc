// The vector row loops of put_image. A row is processed from its first to its last opaque pixel
// in whole vectors, transparent pixels included: a lane mask keeps the target wherever the
// source is transparent, which beats a branch per run on sprites with many holes.
//
// A row of at least one vector ends with a block that overlaps the one before it instead of a
// masked tail: masked stores are slow on some processors. Its target pixels are read before any
// block of the row is stored, so both blocks compute the overlap from the original target (a
// blend must not apply twice) and no load waits on a store it partly overlaps.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "raster/put_kernels.hpp"

namespace raster::detail {
namespace {

constexpr Color kLowBytes = 0x00FF00FFu;   // red and blue: the low byte of each 16-bit lane
constexpr Color kHighBytes = 0xFF00FF00u;  // green and alpha: the high byte of each 16-bit lane

int as_int(Color c) {
  return static_cast<int>(c);
}

// Each pixel is two 16-bit lanes. Masked with kLowBytes they hold blue and red, shifted down by 8
// green and alpha; every channel is weighted w : 256 - w as in blend_pixel, except alpha, which
// is weighted 0 : 256 so the target keeps its byte. The (green, alpha) weights as 32-bit words:
int green_alpha_weight(uint32_t w) {
  return as_int(w);
}
int green_alpha_keep(uint32_t w) {
  return as_int((256u << 16) | (256u - w));
}

// ---- eight pixels at a time ----

struct Avx2Keyed {
  [[gnu::target("avx2")]] __m256i operator()(__m256i s, __m256i d, __m256i hole) const {
    return _mm256_blendv_epi8(s, d, hole);
  }
};

// The same sums as blend_pixel.
struct Avx2Blend {
  __m256i w_rb, keep_rb, w_ga, keep_ga;
  [[gnu::target("avx2")]] __m256i operator()(__m256i s, __m256i d, __m256i hole) const {
    const __m256i low = _mm256_set1_epi32(as_int(kLowBytes));
    const __m256i rb =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, low), w_rb),
                                           _mm256_mullo_epi16(_mm256_and_si256(d, low), keep_rb)),
                          8);
    const __m256i ga = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(s, 8), w_ga),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(d, 8), keep_ga));
    return _mm256_blendv_epi8(_mm256_or_si256(rb, _mm256_andnot_si256(low, ga)), d, hole);
  }
};

[[gnu::target("avx2")]] inline __m256i holes8(__m256i s) {
  return _mm256_cmpeq_epi32(_mm256_and_si256(s, _mm256_set1_epi32(as_int(kColorMask))),
                            _mm256_set1_epi32(as_int(kTransparentKey)));
}

template <class Op>
[[gnu::target("avx2")]] inline __m256i block8(const Op& op, const Color* src, const Color* dst) {
  const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
  return op(s, d, holes8(s));
}

// One row through op, with target pixels kept where the source is transparent.
template <class Op>
[[gnu::target("avx2")]] inline void masked_row8(const Op& op, const RowWork& row) {
  constexpr int kLanes = 8;
  if (row.n >= kLanes) {
    const int last = row.n - kLanes;
    const __m256i tail = block8(op, row.src + last, row.dst + last);
    for (int i = 0; i < last; i += kLanes) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row.dst + i),
                          block8(op, row.src + i, row.dst + i));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row.dst + last), tail);
  } else if (row.n > 0) {
    const __m256i lanes =
        _mm256_cmpgt_epi32(_mm256_set1_epi32(row.n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    int* to = reinterpret_cast<int*>(row.dst);
    const __m256i s = _mm256_maskload_epi32(reinterpret_cast<const int*>(row.src), lanes);
    const __m256i hole = holes8(s);
    const __m256i opaque = _mm256_andnot_si256(hole, lanes);
    _mm256_maskstore_epi32(to, opaque, op(s, _mm256_maskload_epi32(to, opaque), hole));
  }
}

// A run without holes: a plain copy, no target pixel read; from 4 pixels on, the last block
// overlaps the one before.
[[gnu::target("avx2")]] inline void copy_run8(const RowWork& run) {
  constexpr int kLanes = 8;
  const int n = run.n;
  if (n >= kLanes) {
    const int last = n - kLanes;
    for (int i = 0; i < last; i += kLanes) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(run.dst + i),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(run.src + i)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(run.dst + last),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(run.src + last)));
  } else if (n >= 4) {
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.src));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.src + n - 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(run.dst), head);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(run.dst + n - 4), tail);
  } else {
    for (int i = 0; i < n; ++i)
      run.dst[i] = run.src[i];
  }
}

// ---- sixteen pixels at a time ----

struct Avx512Keyed {
  [[gnu::target("avx512f")]] __m512i operator()(__m512i s, __m512i d, __mmask16 hole) const {
    return _mm512_mask_mov_epi32(s, hole, d);
  }
};

struct Avx512Blend {
  __m512i w_rb, keep_rb, w_ga, keep_ga;
  [[gnu::target("avx512f,avx512bw")]] __m512i operator()(__m512i s, __m512i d,
                                                         __mmask16 hole) const {
    const __m512i low = _mm512_set1_epi32(as_int(kLowBytes));
    const __m512i rb =
        _mm512_srli_epi16(_mm512_add_epi16(_mm512_mullo_epi16(_mm512_and_si512(s, low), w_rb),
                                           _mm512_mullo_epi16(_mm512_and_si512(d, low), keep_rb)),
                          8);
    const __m512i ga = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_srli_epi16(s, 8), w_ga),
                                        _mm512_mullo_epi16(_mm512_srli_epi16(d, 8), keep_ga));
    // rb | (ga & high bytes) in one instruction.
    const __m512i out =
        _mm512_ternarylogic_epi32(rb, ga, _mm512_set1_epi32(as_int(kHighBytes)), 0xF8);
    return _mm512_mask_mov_epi32(out, hole, d);
  }
};

[[gnu::target("avx512f")]] inline __mmask16 holes16(__m512i s) {
  return _mm512_cmpeq_epi32_mask(_mm512_and_si512(s, _mm512_set1_epi32(as_int(kColorMask))),
                                 _mm512_set1_epi32(as_int(kTransparentKey)));
}

template <class Op>
[[gnu::target("avx512f")]] inline __m512i block16(const Op& op, const Color* src,
                                                  const Color* dst) {
  const __m512i s = _mm512_loadu_si512(src);
  return op(s, _mm512_loadu_si512(dst), holes16(s));
}

// A run without holes: a plain copy, no target pixel read.
[[gnu::target("avx512f")]] inline void copy_run16(const RowWork& run) {
  constexpr int kLanes = 16;
  if (run.n < kLanes) {
    copy_run8(run);
    return;
  }
  const int last = run.n - kLanes;
  for (int i = 0; i < last; i += kLanes)
    _mm512_storeu_si512(run.dst + i, _mm512_loadu_si512(run.src + i));
  _mm512_storeu_si512(run.dst + last, _mm512_loadu_si512(run.src + last));
}

template <class Op>
[[gnu::target("avx512f,avx512bw")]] inline void masked_row16(const Op& op, const RowWork& row) {
  constexpr int kLanes = 16;
  if (row.n >= kLanes) {
    const int last = row.n - kLanes;
    const __m512i tail = block16(op, row.src + last, row.dst + last);
    for (int i = 0; i < last; i += kLanes)
      _mm512_storeu_si512(row.dst + i, block16(op, row.src + i, row.dst + i));
    _mm512_storeu_si512(row.dst + last, tail);
  } else if (row.n > 0) {
    const auto lanes = static_cast<__mmask16>((1u << row.n) - 1);
    const __m512i s = _mm512_maskz_loadu_epi32(lanes, row.src);
    const __mmask16 hole = holes16(s);
    const __mmask16 opaque = lanes & static_cast<__mmask16>(~hole);
    const __m512i d = _mm512_maskz_loadu_epi32(opaque, row.dst);
    _mm512_mask_storeu_epi32(row.dst, opaque, op(s, d, hole));
  }
}

}  // namespace

// Rows with few runs copy them one by one, which reads no target pixel; rows with more take one
// masked pass, which beats a branch per short run.
constexpr int kMostRunsCopiedOneByOne = 3;

[[gnu::target("avx2")]] void copy_rows_avx2(const PutRows& p) {
  const RowWalk walk(p);
  for (int i = 0; i < walk.height(); ++i) {
    const RowRuns& row = walk.runs_of(i);
    if (row.run_count > kMostRunsCopiedOneByOne) {
      masked_row8(Avx2Keyed{}, walk.span(i));
      continue;
    }
    for (int r = row.first_run; r < row.first_run + row.run_count; ++r) {
      const RowWork run = walk.run(i, r);
      if (run.n > 0) copy_run8(run);
    }
  }
}

[[gnu::target("avx2")]] void blend_rows_avx2(const PutRows& p) {
  const Avx2Blend blend{_mm256_set1_epi16(static_cast<int16_t>(p.weight)),
                        _mm256_set1_epi16(static_cast<int16_t>(256 - p.weight)),
                        _mm256_set1_epi32(green_alpha_weight(p.weight)),
                        _mm256_set1_epi32(green_alpha_keep(p.weight))};
  const RowWalk walk(p);
  for (int i = 0; i < walk.height(); ++i)
    masked_row8(blend, walk.span(i));
}

[[gnu::target("avx512f,avx512bw")]] void copy_rows_avx512(const PutRows& p) {
  const RowWalk walk(p);
  for (int i = 0; i < walk.height(); ++i) {
    const RowRuns& row = walk.runs_of(i);
    if (row.run_count > kMostRunsCopiedOneByOne) {
      masked_row16(Avx512Keyed{}, walk.span(i));
      continue;
    }
    for (int r = row.first_run; r < row.first_run + row.run_count; ++r) {
      const RowWork run = walk.run(i, r);
      if (run.n > 0) copy_run16(run);
    }
  }
}

[[gnu::target("avx512f,avx512bw")]] void blend_rows_avx512(const PutRows& p) {
  const Avx512Blend blend{_mm512_set1_epi16(static_cast<int16_t>(p.weight)),
                          _mm512_set1_epi16(static_cast<int16_t>(256 - p.weight)),
                          _mm512_set1_epi32(green_alpha_weight(p.weight)),
                          _mm512_set1_epi32(green_alpha_keep(p.weight))};
  const RowWalk walk(p);
  for (int i = 0; i < walk.height(); ++i)
    masked_row16(blend, walk.span(i));
}

}  // namespace raster::detail
#endif
