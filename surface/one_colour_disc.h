#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/cpu_path.h"
#include "surface/disc_table.h"

namespace tavelune {

// Paints rows [first, end) of a table disc in one colour, its centre at (fx, fy) sixteenths
// within its pixel. `row` points into the disc's row `first`, in the column of the pixel
// that holds the centre. Every painter paints the same pixels; they differ in the processor
// features they use.
using OneColourDiscPainter = void (*)(std::uint32_t* row, std::ptrdiff_t stride, const DiscTable& table, int fx,
                                      int fy, std::uint32_t pixel, int first, int end);

// The painter for a path this processor runs: on the baseline and AVX2 paths, plain vector
// stores that may overlap within a row; on AVX-512, stores masked by the table.
OneColourDiscPainter OneColourDiscFor(CpuPath path);

// The path the painters take: TAVELUNE_CPU's, or else the fastest of this processor's as
// measured on the first call (about two milliseconds).
CpuPath PainterPath();

}  // namespace tavelune
