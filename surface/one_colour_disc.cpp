#include "surface/one_colour_disc.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/fastest_path.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tavelune {
namespace {

// Four pixels as one value (GCC's vector extension: SSE2, NEON on arm64, WebAssembly's
// SIMD), the widest register every such processor has. A wider vector type would be built
// in memory, one pixel at a time, and read back whole, which stalls every disc.
using Pixels4 = std::uint32_t __attribute__((vector_size(16)));

[[gnu::always_inline]] inline void Store(std::uint32_t* at, const Pixels4& pixels) {
  std::memcpy(at, &pixels, sizeof pixels);
}

// A row of fewer than eight pixels, as at a disc's tips: two stores of four that overlap, or
// three single pixels (one, two or all three of them the same).
[[gnu::always_inline]] inline void PaintShortRow(std::uint32_t* at, int n, const Pixels4& four, std::uint32_t pixel) {
  if (n >= 4) {
    Store(at, four);
    Store(at + n - 4, four);
  } else if (n > 0) {
    at[0] = pixel;
    at[n / 2] = pixel;
    at[n - 1] = pixel;
  }
}

// A span of n pixels: stores of eight (two of four) from its start, the last ones ending at
// the span's end and overlapping the ones before; no loop per pixel, no test per pixel. A span
// of 4 to 12 pixels, every row of a disc at scale 1 but its tips, takes three stores of four
// at its start, middle and end, overlapping as far as it is short, with no branch: the rows'
// lengths change from row to row and disc to disc, and mispredicted branches cost more
// than the stores.
[[gnu::always_inline]] inline void PaintWithOverlappingStores(std::uint32_t* row, std::ptrdiff_t stride,
                                                              const DiscTable& table, int fx, int fy,
                                                              std::uint32_t pixel, int first, int end) {
  const DiscRow* rows = table.At(fx, fy);
  const Pixels4 four = Pixels4{} + pixel;
  for (int k = first; k < end; ++k, row += stride) {
    std::uint32_t* at = row + rows[k].outer_begin;
    const int n = rows[k].outer_end - rows[k].outer_begin;
    if (const unsigned last = static_cast<unsigned>(n - 4); last <= 8u) {
      Store(at, four);
      Store(at + last / 2, four);  // never more than four from either
      Store(at + last, four);
    } else if (n >= 8) {
      for (int i = 0; i < n - 8; i += 8) {
        Store(at + i, four);
        Store(at + i + 4, four);
      }
      Store(at + n - 8, four);
      Store(at + n - 4, four);
    } else {
      PaintShortRow(at, n, four, pixel);
    }
  }
}

void PaintBaseline(std::uint32_t* row, std::ptrdiff_t stride, const DiscTable& table, int fx, int fy,
                   std::uint32_t pixel, int first, int end) {
  PaintWithOverlappingStores(row, stride, table, fx, fy, pixel, first, end);
}

#if defined(__x86_64__)
using Pixels8 = std::uint32_t __attribute__((vector_size(32)));

[[gnu::target("avx2"), gnu::always_inline]] inline void Store(std::uint32_t* at, const Pixels8& pixels) {
  std::memcpy(at, &pixels, sizeof pixels);
}

// Plain unaligned stores that may overlap, never masked: a masked store to memory
// (vpmaskmovd) is microcoded on AMD processors and costs many times these. As the
// baseline's three stores of four cover a row of 4 to 12 pixels with no branch, three of
// eight cover one of 8 to 24, every row of a disc at scale 2 but its tips. A table of one
// chunk (rows of at most 16 pixels, as at scale 1) takes the baseline's stores: its rows
// fall in that one case, and the fewer cases a table's rows fall in, the fewer branches are
// mispredicted as the rows' lengths change from row to row.
[[gnu::target("avx2")]] void PaintAvx2(std::uint32_t* row, std::ptrdiff_t stride, const DiscTable& table, int fx,
                                       int fy, std::uint32_t pixel, int first, int end) {
  if (table.Chunks() == 1) return PaintWithOverlappingStores(row, stride, table, fx, fy, pixel, first, end);
  const DiscRow* rows = table.At(fx, fy);
  const Pixels4 four = Pixels4{} + pixel;
  const Pixels8 eight = Pixels8{} + pixel;
  for (int k = first; k < end; ++k, row += stride) {
    std::uint32_t* at = row + rows[k].outer_begin;
    const int n = rows[k].outer_end - rows[k].outer_begin;
    if (const unsigned last = static_cast<unsigned>(n - 8); last <= 16u) {
      Store(at, eight);
      Store(at + last / 2, eight);  // never more than eight from either
      Store(at + last, eight);
    } else if (n > 24) {
      for (int i = 0; i < n - 8; i += 8) Store(at + i, eight);
      Store(at + n - 8, eight);
    } else {
      PaintShortRow(at, n, four, pixel);
    }
  }
}

// Sixteen pixels a store, masked to the row's span by the table. Masked-off lanes never
// touch memory at all, so a store may reach past the span and even past the buffer. With
// the row's number of stores known, the loop unrolls into independent stores.
template <int kChunks>
[[gnu::target("avx512f"), gnu::always_inline]] inline void PaintMaskedRows(std::uint32_t* row, std::ptrdiff_t stride,
                                                                          const std::uint16_t* masks, int rows,
                                                                          int chunks, __m512i pixels) {
  const int n = kChunks > 0 ? kChunks : chunks;
#pragma GCC unroll 4
  for (int k = 0; k < rows; ++k, row += stride, masks += n) {
    for (int c = 0; c < n; ++c) _mm512_mask_storeu_epi32(row + 16 * c, masks[c], pixels);
  }
}

[[gnu::target("avx512f")]] void PaintAvx512(std::uint32_t* row, std::ptrdiff_t stride, const DiscTable& table, int fx,
                                            int fy, std::uint32_t pixel, int first, int end) {
  const __m512i pixels = _mm512_set1_epi32(static_cast<int>(pixel));
  const int chunks = table.Chunks();
  const std::uint16_t* masks = table.MasksAt(fx, fy) + first * chunks;
  row += table.FirstColumn();
  switch (chunks) {
    case 1: return PaintMaskedRows<1>(row, stride, masks, end - first, 1, pixels);  // up to 16 pixels across
    case 2: return PaintMaskedRows<2>(row, stride, masks, end - first, 2, pixels);  // up to 32
    default: return PaintMaskedRows<0>(row, stride, masks, end - first, chunks, pixels);
  }
}
#endif

// The measurement's fixed work: discs at scales 1 and 2, as most screens show them, on a
// scratch raster, each a little over half a pixel from the last, as a figure's are, their
// centres at every sub-pixel position.
class PainterScene {
 public:
  PainterScene() : pixels_(kSide * kSide) {
    for (int i = 0; i < kDiscs; ++i) {
      const double turn = 0.02 * i;
      centres_[i] = {static_cast<int>(kSubpixels * (kSide / 2 + kLoop * std::cos(turn))),
                     static_cast<int>(kSubpixels * (kSide / 2 + kLoop * std::sin(turn)))};
    }
  }

  double TimeRound(CpuPath path) {
    const OneColourDiscPainter paint = OneColourDiscFor(path);
    return SecondsOf([&] {
      for (const DiscTable* table : {&at_scale_1_, &at_scale_2_}) {
        for (int i = 0; i < kDiscs; ++i) {
          const auto [cx, cy] = centres_[i];
          std::uint32_t* row = pixels_.data() + ((cy >> 4) + table->FirstRow()) * kSide + (cx >> 4);
          paint(row, kSide, *table, cx & 15, cy & 15, 0xff000000u | static_cast<std::uint32_t>(i), 0, table->Rows());
        }
      }
    });
  }

 private:
  static constexpr int kSide = 128;  // pixels, room for the loop and a disc at scale 2 about it
  static constexpr double kLoop = 30;
  static constexpr int kDiscs = 512;
  static constexpr double kReach = 16 * 5.0;  // the figure's radius in sixteenths at scale 1
  DiscTable at_scale_1_ = TableOfReach(kReach), at_scale_2_ = TableOfReach(2 * kReach);
  struct Centre {
    int x, y;
  } centres_[kDiscs];
  std::vector<std::uint32_t> pixels_;
};

}  // namespace

CpuPath PainterPath() {
  static const CpuPath path = [] {
    if (!kPathsToChoose) return ForcedCpuPath().value_or(CpuPath::kBaseline);
    PainterScene scene;
    return ChoosePath(ForcedCpuPath(), [&scene](CpuPath p) { return scene.TimeRound(p); });
  }();
  return path;
}

OneColourDiscPainter OneColourDiscFor(CpuPath path) {
#if defined(__x86_64__)
  if (path == CpuPath::kAvx512) return PaintAvx512;
  if (path == CpuPath::kAvx2) return PaintAvx2;
#endif
  (void)path;
  return PaintBaseline;
}

}  // namespace tavelune
