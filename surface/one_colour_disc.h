#pragma once

#include <cstddef>
#include <cstdint>

#include "surface/disc_table.h"

namespace tavelune {

// Paints the radius-5 disc of the table in one colour. `row` points into the disc's top row,
// kFirstRow rows from the pixel that holds the centre, in that pixel's column. Every
// painter paints the same pixels; they differ in the processor features they use.
using OneColourDiscPainter = void (*)(std::uint32_t* row, std::ptrdiff_t stride, const DiscRows& disc,
                                      std::uint32_t pixel);

// Two stores per row that may overlap; built for AVX2 and for the baseline, the loader
// picking by the processor.
OneColourDiscPainter PortableOneColourDisc();
// One masked store per row; null where the processor lacks AVX-512.
OneColourDiscPainter MaskedOneColourDisc();
OneColourDiscPainter FastestOneColourDisc();

}  // namespace tavelune
