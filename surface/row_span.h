#pragma once

#include <cmath>

namespace tavelune {

// The rasterisation rule, in units of 1/16 pixel: the centre is snapped to the nearest
// 1/16 pixel, and a pixel belongs to a disc of reach R when its own centre (16 i + 8,
// 16 j + 8) lies within R of the snapped centre, that is dx^2 + dy^2 <= R^2. A circle of
// radius r covers the disc of reach 16 r + 8; the part within 16 r - 8 is its interior
// and the rest its rim, about one pixel wide. A circle of radius 5 is 11 pixels across.
constexpr double kSubpixels = 16.0;

// Nearest, ties to even, as nearbyint in the default rounding mode, without a library call:
// adding and subtracting 1.5 * 2^52 rounds a double to an integer. A float times 16 at or
// beyond 2^51 is an integer already.
inline double SnapToSubpixel(float coordinate) {
  constexpr double kShift = 0x1.8p52;
  const double v = static_cast<double>(coordinate) * kSubpixels;
  return std::fabs(v) < 0x1p51 ? (v + kShift) - kShift : v;
}

// The same for a coordinate of magnitude below 2^18, in float arithmetic.
inline int SnapSmallToSubpixel(float coordinate) {
  constexpr float kShift = 0x1.8p23f;
  return static_cast<int>((coordinate * static_cast<float>(kSubpixels) + kShift) - kShift);
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

