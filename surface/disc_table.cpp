#include "surface/disc_table.h"

#include <algorithm>
#include <cmath>

namespace tavelune {

DiscTable::DiscTable(double outer, double inner) {
  // Rows and columns are laid out around a centre pixel far enough from the edges of a
  // scratch row that no span is clipped; the reach bounds how far a disc can extend.
  const int extent = static_cast<int>(std::ceil(outer / kSubpixels)) + 1;
  const int width = 2 * extent + 1;
  auto span = [&](int fx, int fy, int k, double reach) {
    const double centre = kSubpixels * extent + fx;
    const double dy = kSubpixels * k + kSubpixels / 2 - fy;
    return RowSpan(centre, dy, reach, width);
  };
  // First the rows and columns that any position reaches, then the spans themselves.
  int first = extent + 1, last = -extent - 1;
  first_column_ = extent + 1;
  last_column_ = -extent - 1;
  for (int fy = 0; fy < kPositions; ++fy) {
    for (int fx = 0; fx < kPositions; ++fx) {
      for (int k = -extent; k <= extent; ++k) {
        const Span o = span(fx, fy, k, outer);
        if (o.Empty()) continue;
        first = std::min(first, k);
        last = std::max(last, k);
        first_column_ = std::min(first_column_, o.begin - extent);
        last_column_ = std::max(last_column_, o.end - 1 - extent);
      }
    }
  }
  if (first > last) return;  // a disc that covers no pixel centre at all
  first_row_ = first;
  rows_ = last - first + 1;
  rows_at_.resize(static_cast<std::size_t>(kPositions) * kPositions * rows_);
  chunks_ = (last_column_ - first_column_ + 16) / 16;
  masks_at_.resize(rows_at_.size() * chunks_);
  for (int fy = 0; fy < kPositions; ++fy) {
    for (int fx = 0; fx < kPositions; ++fx) {
      DiscRow* rows = rows_at_.data() + (fy * kPositions + fx) * rows_;
      for (int k = 0; k < rows_; ++k) {
        const Span o = span(fx, fy, first_row_ + k, outer);
        const Span i = inner >= 0 ? span(fx, fy, first_row_ + k, inner) : Span{};
        auto offset = [&](int column) { return static_cast<std::int16_t>(column - extent); };
        rows[k] = o.Empty() ? DiscRow{0, 0, 0, 0}
                            : DiscRow{offset(o.begin), offset(o.end), offset(i.begin), offset(i.end)};
        std::uint16_t* masks = masks_at_.data() + ((fy * kPositions + fx) * rows_ + k) * chunks_;
        for (int column = rows[k].outer_begin; column < rows[k].outer_end; ++column) {
          const int bit = column - first_column_;
          masks[bit / 16] = static_cast<std::uint16_t>(masks[bit / 16] | 1u << (bit % 16));
        }
      }
    }
  }
}

}  // namespace tavelune
