#include "surface/one_colour_disc.h"

#include <immintrin.h>

#include <cstring>

namespace tavelune {
namespace {

// Four and eight pixels as one value (GCC's vector extension): one store each where the
// processor has registers that wide, two or four narrower ones where it has not.
using Pixels4 = std::uint32_t __attribute__((vector_size(16)));
using Pixels8 = std::uint32_t __attribute__((vector_size(32)));

template <typename Pixels>
void Store(std::uint32_t* at, const Pixels& pixels) {
  std::memcpy(at, &pixels, sizeof pixels);
}

// A row of at most 16 pixels takes two stores that may overlap: no loop, no test per pixel.
[[gnu::target_clones("avx2", "default")]] void PaintWithTwoStoresPerRow(std::uint32_t* row, std::ptrdiff_t stride,
                                                                        const DiscRows& disc, std::uint32_t pixel) {
  static_assert(DiscRows::kLastColumn - DiscRows::kFirstColumn + 1 <= 16);
  const Pixels8 eight = Pixels8{} + pixel;
  const Pixels4 four = Pixels4{} + pixel;
  for (const DiscRows::Row& r : disc.rows) {
    std::uint32_t* at = row + r.outer_begin;
    const int n = r.outer_end - r.outer_begin;
    if (n >= 8) {
      Store(at, eight);
      Store(at + n - 8, eight);
    } else if (n >= 4) {
      Store(at, four);
      Store(at + n - 4, four);
    } else if (n > 0) {
      at[0] = pixel;
      at[n / 2] = pixel;
      at[n - 1] = pixel;
    }
    row += stride;
  }
}

// The row's mask leaves the pixels outside its span untouched, and masked-off lanes never
// touch memory at all, so the store may reach past the span and even past the buffer.
[[gnu::target("avx512f")]] void PaintWithMaskedStores(std::uint32_t* row, std::ptrdiff_t stride,
                                                      const DiscRows& disc, std::uint32_t pixel) {
  const __m512i pixels = _mm512_set1_epi32(static_cast<int>(pixel));
  row += DiscRows::kFirstColumn;
  for (const DiscRows::Row& r : disc.rows) {
    _mm512_mask_storeu_epi32(row, r.outer_mask, pixels);
    row += stride;
  }
}

}  // namespace

OneColourDiscPainter PortableOneColourDisc() { return PaintWithTwoStoresPerRow; }

OneColourDiscPainter MaskedOneColourDisc() {
  return __builtin_cpu_supports("avx512f") ? PaintWithMaskedStores : nullptr;
}

OneColourDiscPainter FastestOneColourDisc() {
  const OneColourDiscPainter masked = MaskedOneColourDisc();
  return masked ? masked : PortableOneColourDisc();
}

}  // namespace tavelune
