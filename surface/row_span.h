#pragma once

#include <cmath>

namespace tavelune {

// The rasterisation rule, in units of 1/16 device pixel: the centre is snapped to the nearest
// 1/16 pixel, and a pixel belongs to a disc of reach R when its own centre (16 i + 8,
// 16 j + 8) lies within R of the snapped centre, that is dx^2 + dy^2 <= R^2. A circle of
// radius r on a surface of scale s covers the disc of reach 16 r s + 8; the part within
// 16 r s - 8 is its interior and the rest its rim, about one device pixel wide. A circle of
// radius 5 is 11 pixels across at scale 1 and 21 at scale 2.
constexpr double kSubpixels = 16.0;

// The centre in 1/16 device pixel: the coordinate times `subpixelsPerUnit` (16 times the
// surface's scale), in double, rounded to nearest, ties to even. Adding and subtracting
// 1.5 * 2^52 rounds a double below 2^51 in magnitude to an integer in the default rounding
// mode, with no library call.
inline double SnapSmallToSubpixel(float coordinate, double subpixelsPerUnit) {
  constexpr double kShift = 0x1.8p52;
  return (static_cast<double>(coordinate) * subpixelsPerUnit + kShift) - kShift;
}

// The same for any finite coordinate: a product at or beyond 2^51 is an integer already.
inline double SnapToSubpixel(float coordinate, double subpixelsPerUnit) {
  const double v = static_cast<double>(coordinate) * subpixelsPerUnit;
  return std::fabs(v) < 0x1p51 ? SnapSmallToSubpixel(coordinate, subpixelsPerUnit) : v;
}

// Half-open run [begin, end) of columns in one row.
struct Span {
  int begin = 0;
  int end = 0;
  bool Empty() const { return begin >= end; }
};

// The columns of one row, clipped to [0, width), whose pixel centres lie within `reach`
// of the snapped centre column `centre`; `dy` is the row's vertical distance from the
// snapped centre. All three are in 1/16 pixel. `reach` must not be negative.
Span RowSpan(double centre, double dy, double reach, int width);

}  // namespace tavelune

