#include "surface/one_colour_disc.h"

#include <cstring>

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
    } else if (n >= 4) {
      Store(at, four);
      Store(at + n - 4, four);
    } else if (n > 0) {
      at[0] = pixel;
      at[n / 2] = pixel;
      at[n - 1] = pixel;
    }
  }
}

void PaintBaseline(std::uint32_t* row, std::ptrdiff_t stride, const DiscTable& table, int fx, int fy,
                   std::uint32_t pixel, int first, int end) {
  PaintWithOverlappingStores(row, stride, table, fx, fy, pixel, first, end);
}

#if defined(__x86_64__)
// Eight pixels a store, masked by half of the table's 16-column mask. Masked-off lanes
// never touch memory, as with AVX-512. A masked store reads only each lane's sign bit, so
// the row's mask, in both halves of every lane, is shifted for lane i to carry bit i there
// (bit i + 8 for the second store): one broadcast and two shifts a row, no compares.
template <int kChunks>
[[gnu::target("avx2"), gnu::always_inline]] inline void PaintMaskedRows8(std::uint32_t* row, std::ptrdiff_t stride,
                                                                       const std::uint16_t* masks, int rows,
                                                                       int chunks, __m256i pixels) {
  const int n = kChunks > 0 ? kChunks : chunks;
  const __m256i low = _mm256_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8);
  const __m256i high = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
#pragma GCC unroll 4
  for (int k = 0; k < rows; ++k, row += stride, masks += n) {
    for (int c = 0; c < n; ++c) {
      const __m256i mask = _mm256_set1_epi16(static_cast<short>(masks[c]));
      _mm256_maskstore_epi32(reinterpret_cast<int*>(row + 16 * c), _mm256_sllv_epi32(mask, low), pixels);
      _mm256_maskstore_epi32(reinterpret_cast<int*>(row + 16 * c + 8), _mm256_sllv_epi32(mask, high), pixels);
    }
  }
}

[[gnu::target("avx2")]] void PaintAvx2(std::uint32_t* row, std::ptrdiff_t stride, const DiscTable& table, int fx,
                                       int fy, std::uint32_t pixel, int first, int end) {
  const __m256i pixels = _mm256_set1_epi32(static_cast<int>(pixel));
  const int chunks = table.Chunks();
  const std::uint16_t* masks = table.MasksAt(fx, fy) + first * chunks;
  row += table.FirstColumn();
  switch (chunks) {
    case 1: return PaintMaskedRows8<1>(row, stride, masks, end - first, 1, pixels);  // up to 16 pixels across
    case 2: return PaintMaskedRows8<2>(row, stride, masks, end - first, 2, pixels);  // up to 32
    default: return PaintMaskedRows8<0>(row, stride, masks, end - first, chunks, pixels);
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

}  // namespace

OneColourDiscPainter OneColourDiscFor(CpuPath path) {
#if defined(__x86_64__)
  if (path == CpuPath::kAvx512) return PaintAvx512;
  if (path == CpuPath::kAvx2) return PaintAvx2;
#endif
  (void)path;
  return PaintBaseline;
}

}  // namespace tavelune
