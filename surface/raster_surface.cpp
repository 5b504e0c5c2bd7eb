#include "surface/raster_surface.h"

#include <algorithm>
#include <cmath>

#include "surface/disc_table.h"
#include "surface/one_colour_disc.h"
#include "surface/row_span.h"

namespace tavelune {
namespace {

constexpr std::uint32_t kOpaque = 0xff000000u;
constexpr std::uint32_t kRgbMask = 0x00ffffffu;

bool IsColour(Colour c) { return (Rgb(c) & ~kRgbMask) == 0; }
std::uint32_t PixelOf(Colour c) { return kOpaque | Rgb(c); }

void FillSpan(std::uint32_t* row, int begin, int end, std::uint32_t pixel) {
  std::fill(row + begin, row + end, pixel);
}

// One row of a circle: the rim in `rim`; the interior in `fill`, or untouched when `fill`
// is null (outline only).
void PaintRow(std::uint32_t* row, Span outer, Span inner, std::uint32_t rim, const std::uint32_t* fill) {
  if (fill && *fill == rim) return FillSpan(row, outer.begin, outer.end, rim);
  if (inner.Empty()) return FillSpan(row, outer.begin, outer.end, rim);
  FillSpan(row, outer.begin, inner.begin, rim);
  if (fill) FillSpan(row, inner.begin, inner.end, *fill);
  FillSpan(row, inner.end, outer.end, rim);
}

}  // namespace

RasterSurface::RasterSurface(int width, int height)
    : width_(std::clamp(width, 0, kMaxSize)), height_(std::clamp(height, 0, kMaxSize)),
      pixels_(static_cast<std::size_t>(width_) * height_, PixelOf(back_)) {}

Colour RasterSurface::At(int x, int y) const {
  return Colour{pixels_[static_cast<std::size_t>(y) * width_ + x] & kRgbMask};
}

Status RasterSurface::Clear() {
  std::fill(pixels_.begin(), pixels_.end(), PixelOf(back_));
  return Status::kOk;
}

Status RasterSurface::SetBackColor(Colour colour) {
  if (!IsColour(colour)) return Status::kFailed;
  back_ = colour;
  return Clear();
}

Status RasterSurface::SetFillSolid() {
  fill_solid_ = true;
  return Status::kOk;
}

Status RasterSurface::SetFillColor(Colour colour) {
  if (!IsColour(colour)) return Status::kFailed;
  fill_ = colour;
  return Status::kOk;
}

Status RasterSurface::DrawCircle(float x, float y, float radius, Colour outline) {
  // Fast path first: the figure's radius-5 disc with its centre inside the surface (the
  // comparisons turn NaN away too), snapped in float, which is exact for centres this small.
  if (radius == DiscRows::kRadius && x > 0 && x < static_cast<float>(width_) && y > 0 &&
      y < static_cast<float>(height_) && IsColour(outline)) {
    const int cx = SnapSmallToSubpixel(x), cy = SnapSmallToSubpixel(y);
    if (DiscRows::Fits(cx, cy, width_, height_)) {
      PaintTableDisc(cx, cy, PixelOf(outline));
      return Status::kOk;
    }
  }
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius) || radius < 0 ||
      !IsColour(outline)) {
    return Status::kFailed;
  }
  const double cx = SnapToSubpixel(x);
  const double cy = SnapToSubpixel(y);
  const double outer = kSubpixels * radius + kSubpixels / 2;
  if (cx + outer < 0 || cy + outer < 0 || cx - outer > kSubpixels * width_ ||
      cy - outer > kSubpixels * height_) {
    return Status::kOk;  // wholly off the surface
  }
  PaintClippedDisc(cx, cy, outer, kSubpixels * radius - kSubpixels / 2, PixelOf(outline));
  return Status::kOk;
}

// Fast path: the radius-5 circle wholly inside, from the table, with no test per row or pixel.
void RasterSurface::PaintTableDisc(int cx, int cy, std::uint32_t rim) {
  // Both are positive here: the pixel is the value over 16, the sub-pixel the remainder.
  const DiscRows& disc = discs_[(cy & 15) * 16 + (cx & 15)];
  const std::uint32_t fill = PixelOf(fill_);
  const std::ptrdiff_t stride = width_;  // a local: the pixel stores could alias the member
  std::uint32_t* row = pixels_.data() + ((cy >> 4) + DiscRows::kFirstRow) * stride + (cx >> 4);
  if (fill_solid_ && fill == rim) return paint_one_colour_(row, stride, disc, rim);  // the figure's case
  for (const DiscRows::Row& r : disc.rows) {
    PaintRow(row, {r.outer_begin, r.outer_end}, {r.inner_begin, r.inner_end}, rim,
             fill_solid_ ? &fill : nullptr);
    row += stride;
  }
}

// Clipped path: any radius, any position; one RowSpan per row for rim and interior.
void RasterSurface::PaintClippedDisc(double cx, double cy, double outer, double inner, std::uint32_t rim) {
  auto clampRow = [&](double r) { return static_cast<int>(std::clamp(r, 0.0, double(height_))); };
  const int first = clampRow(std::floor((cy - outer) / kSubpixels) - 1);
  const int last = clampRow(std::ceil((cy + outer) / kSubpixels) + 1);
  const std::uint32_t fill = PixelOf(fill_);
  for (int j = first; j < last; ++j) {
    const double dy = kSubpixels * j + kSubpixels / 2 - cy;
    const Span o = RowSpan(cx, dy, outer, width_);
    if (o.Empty()) continue;
    const Span i = inner >= 0 ? RowSpan(cx, dy, inner, width_) : Span{};
    PaintRow(pixels_.data() + static_cast<std::size_t>(j) * width_, o, i, rim,
             fill_solid_ ? &fill : nullptr);
  }
}

}  // namespace tavelune
