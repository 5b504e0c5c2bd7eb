#include "surface/disc_table.h"

#include "surface/row_span.h"

namespace tavelune {
namespace {

constexpr int kPositions = static_cast<int>(kSubpixels);

// The table comes from the same RowSpan as the clipped path, so the two cannot disagree.
DiscTable BuildTable() {
  constexpr int kOrigin = -DiscRows::kFirstColumn;
  constexpr int kWidth = kOrigin + DiscRows::kLastColumn + 1;
  const double outer = kSubpixels * DiscRows::kRadius + kSubpixels / 2;
  const double inner = kSubpixels * DiscRows::kRadius - kSubpixels / 2;
  DiscTable table{};
  for (int fy = 0; fy < kPositions; ++fy) {
    for (int fx = 0; fx < kPositions; ++fx) {
      DiscRows& disc = table[fy * kPositions + fx];
      const double centre = kSubpixels * kOrigin + fx;
      for (int k = 0; k < DiscRows::kRows; ++k) {
        const double dy = kSubpixels * (DiscRows::kFirstRow + k) + kSubpixels / 2 - fy;
        const Span o = RowSpan(centre, dy, outer, kWidth);
        const Span i = RowSpan(centre, dy, inner, kWidth);
        auto offset = [](int column) { return static_cast<std::int8_t>(column - kOrigin); };
        const auto mask = static_cast<std::uint16_t>(((1u << o.end) - 1) & ~((1u << o.begin) - 1));
        disc.rows[k] = {offset(o.begin), offset(o.end), offset(i.begin), offset(i.end), mask};
      }
    }
  }
  return table;
}

}  // namespace

const DiscTable& TableDiscs() {
  static const DiscTable table = BuildTable();
  return table;
}

}  // namespace tavelune
