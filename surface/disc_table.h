#pragma once

#include <array>
#include <cstdint>

#include "surface/row_span.h"

namespace tavelune {

// The circle the figure draws, radius 5, precomputed for each of the 16 x 16 sub-pixel
// positions of its snapped centre. Rows and columns are offsets from the pixel that holds
// the centre; the rows run from kFirstRow for kRows rows.
struct DiscRows {
  static constexpr float kRadius = 5.0f;
  static constexpr int kFirstRow = -6;
  static constexpr int kRows = 12;
  static constexpr int kFirstColumn = -6;
  static constexpr int kLastColumn = 5;

  struct Row {
    std::int8_t outer_begin, outer_end, inner_begin, inner_end;
    // The outer span as bits, bit 0 for column kFirstColumn.
    std::uint16_t outer_mask;
  };
  // The snapped centre (in 1/16 pixel, both whole numbers) lies far enough inside a surface of
  // that size for the whole table to fit.
  static bool Fits(int cx, int cy, int width, int height) {
    constexpr int kSub = static_cast<int>(kSubpixels);
    return cx >= -kFirstColumn * kSub && cx < (width - kLastColumn) * kSub && cy >= -kFirstRow * kSub &&
           cy < (height - kFirstRow - kRows + 1) * kSub;
  }
  Row rows[kRows];
};

// Indexed by the centre's position within its pixel, in 1/16 pixel: 16 * fy + fx.
using DiscTable = std::array<DiscRows, static_cast<int>(kSubpixels * kSubpixels)>;
const DiscTable& TableDiscs();

}  // namespace tavelune
