#include "surface/row_span.h"

#include <algorithm>
#include <cmath>

namespace tavelune {

Span RowSpan(double centre, double dy, double reach, int width) {
  const double reach2 = reach * reach;
  const double dy2 = dy * dy;
  if (!(dy2 <= reach2)) return {};
  auto inside = [&](int column) {
    const double dx = kSubpixels * column + kSubpixels / 2 - centre;
    return dx * dx + dy2 <= reach2;
  };
  // An estimate from one square root per row, clamped before it becomes an int so that huge
  // coordinates cannot overflow; the exact test then settles the last column at each end.
  const double half = std::sqrt(reach2 - dy2);
  auto column = [&](double c) { return static_cast<int>(std::clamp(c, 0.0, double(width))); };
  Span span{column(std::ceil((centre - kSubpixels / 2 - half) / kSubpixels)),
            column(std::floor((centre - kSubpixels / 2 + half) / kSubpixels) + 1)};
  while (span.begin > 0 && inside(span.begin - 1)) --span.begin;
  while (span.begin < span.end && !inside(span.begin)) ++span.begin;
  while (span.end < width && inside(span.end)) ++span.end;
  while (span.end > span.begin && !inside(span.end - 1)) --span.end;
  return span;
}

}  // namespace tavelune
