#pragma once

#include <cstdint>

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
  };
  Row rows[kRows];
};

// `fx` and `fy` are the centre's position within its pixel, in 1/16 pixel, 0 to 15.
const DiscRows& TableDisc(int fx, int fy);

}  // namespace tavelune
