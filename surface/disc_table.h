#pragma once

#include <cstdint>
#include <vector>

#include "surface/row_span.h"

namespace tavelune {

// One row of a disc, in columns from the pixel that holds the centre: the outer span (the
// whole disc) and the inner one (the interior within the rim).
struct DiscRow {
  std::int16_t outer_begin, outer_end, inner_begin, inner_end;
};

// A circle of one size precomputed for each of the 16 x 16 sub-pixel positions of its
// snapped centre, from the same RowSpan as the clipped path, so that the two cannot
// disagree. Built once per surface; a disc is then one lookup and a run of row fills.
class DiscTable {
 public:
  // `outer` and `inner` are the reaches of the disc and of its interior, in 1/16 pixel.
  DiscTable(double outer, double inner);

  int FirstRow() const { return first_row_; }
  int Rows() const { return rows_; }
  int FirstColumn() const { return first_column_; }
  // The rows of the disc whose centre lies at (fx, fy) sixteenths within its pixel.
  const DiscRow* At(int fx, int fy) const { return rows_at_.data() + (fy * kPositions + fx) * rows_; }
  // The same rows as masks of 16 columns each from FirstColumn(), Chunks() masks a row, bit
  // 0 for the chunk's first column: what a masked store of 16 pixels wants.
  int Chunks() const { return chunks_; }
  const std::uint16_t* MasksAt(int fx, int fy) const {
    return masks_at_.data() + (fy * kPositions + fx) * rows_ * chunks_;
  }
  // The snapped centre (in 1/16 pixel, both positive) lies far enough inside a surface of
  // that size for every row and column of the table to fit.
  bool Fits(int cx, int cy, int width, int height) const {
    const int x = cx >> 4, y = cy >> 4;
    return x + first_column_ >= 0 && x + last_column_ < width && y + first_row_ >= 0 &&
           y + first_row_ + rows_ <= height;
  }

  static constexpr int kPositions = static_cast<int>(kSubpixels);

 private:
  int first_row_ = 0, rows_ = 0, first_column_ = 0, last_column_ = -1, chunks_ = 0;
  std::vector<DiscRow> rows_at_;
  std::vector<std::uint16_t> masks_at_;
};

// The table of a disc whose circle lies `reach` sixteenths of a device pixel from its
// centre (the radius times the scale times 16), its rim one pixel wide about the circle.
inline DiscTable TableOfReach(double reach) { return DiscTable(reach + kSubpixels / 2, reach - kSubpixels / 2); }

}  // namespace tavelune
