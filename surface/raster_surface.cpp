#include "surface/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "surface/disc_table.h"
#include "surface/one_colour_disc.h"
#include "surface/row_span.h"
#include "runtime/worker_pool.h"

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

double RasterSurface::SaneScale(double scale) {
  return std::isfinite(scale) && scale >= kMinScale && scale <= kMaxScale ? scale : 1.0;
}

namespace {

int DeviceSide(int units, double scale) {
  return static_cast<int>(std::clamp(std::nearbyint(std::clamp(units, 0, RasterSurface::kMaxSize) * scale), 0.0,
                                                 double(RasterSurface::kMaxSize)));
}

}  // namespace

RasterSurface::RasterSurface(int width, int height, double scale, KernelPaths paths)
    : scale_(SaneScale(scale)), subpixels_per_unit_(kSubpixels * scale_),
      width_units_(static_cast<float>(std::clamp(width, 0, kMaxSize))),
      height_units_(static_cast<float>(std::clamp(height, 0, kMaxSize))), width_(DeviceSide(width, scale_)),
      height_(DeviceSide(height, scale_)), pixels_(static_cast<std::size_t>(width_) * height_, PixelOf(back_)),
      discs_(TableOfReach(subpixels_per_unit_ * kTableRadius)), paths_(paths),
      paint_one_colour_(OneColourDiscFor(paths.painter)) {
  // The pool is started with the first surface, so that painting a figure allocates nothing.
  const int workers = ProcessWorkers().Size();
  if (long(width_) * height_ <= kLayeredPixels) ReserveLayers(std::min(workers, kMaxLayers));
}

void RasterSurface::ReserveLayers(int count) {
  if (count <= Layers() || pixels_.empty()) return;
  void* layers = std::calloc(pixels_.size() * (count - 1), sizeof(std::uint32_t));
  if (layers == nullptr) throw std::bad_alloc();
  layers_.reset(static_cast<std::uint32_t*>(layers));
  extra_layers_ = count - 1;
}

void RasterSurface::PaintFigureDisc(float x, float y, Colour colour, int layer) {
  if (!IsColour(colour) || layer < 0 || layer >= Layers()) return;
  const std::uint32_t pixel = PixelOf(colour);
  std::uint32_t* pixels = layer == 0 ? pixels_.data() : layers_.get() + (layer - 1) * pixels_.size();
  (void)Draw(x, y, kTableRadius, pixel, &pixel, {pixels, Band{}});
}

void RasterSurface::MergeLayers(int first, int end) {
  first = std::clamp(first, 0, height_);
  end = std::clamp(end, first, height_);
  std::uint32_t* const out = pixels_.data() + std::size_t(first) * width_;
  const std::size_t count = std::size_t(end - first) * width_;
  for (int k = 0; k < extra_layers_; ++k) {
    std::uint32_t* const layer = layers_.get() + k * pixels_.size() + std::size_t(first) * width_;
    // Branch-free, so that it vectorises: where the layer is clear the mask keeps the pixel.
    for (std::size_t i = 0; i < count; ++i) out[i] = layer[i] | (out[i] & -std::uint32_t{layer[i] == 0});
    std::fill_n(layer, count, 0u);
  }
}

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
  if (!IsColour(outline)) return Status::kFailed;
  const std::uint32_t fill = PixelOf(fill_);
  return Draw(x, y, radius, PixelOf(outline), fill_solid_ ? &fill : nullptr, OnSurface(Band{}));
}

void RasterSurface::PaintFigureDisc(float x, float y, Colour colour, Band band) {
  if (!IsColour(colour)) return;
  const std::uint32_t pixel = PixelOf(colour);
  (void)Draw(x, y, kTableRadius, pixel, &pixel, OnSurface(band));
}

// A circle with its rim in `rim` and its interior in `fill`, or untouched where `fill` is
// null, painted on `target`'s pixels in the rows of its band alone.
Status RasterSurface::Draw(float x, float y, float radius, std::uint32_t rim, const std::uint32_t* fill,
                           Target target) {
  // Fast path first: the table's circle with its centre inside the surface (the comparisons
  // turn NaN away too), snapped with no library call, which is exact for centres this small.
  if (radius == kTableRadius && x > 0 && x < width_units_ && y > 0 && y < height_units_) {
    const int cx = static_cast<int>(SnapSmallToSubpixel(x, subpixels_per_unit_));
    const int cy = static_cast<int>(SnapSmallToSubpixel(y, subpixels_per_unit_));
    if (discs_.Fits(cx, cy, width_, height_)) {
      PaintTableDisc(cx, cy, rim, fill, target);
      return Status::kOk;
    }
  }
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius) || radius < 0) return Status::kFailed;
  const double cx = SnapToSubpixel(x, subpixels_per_unit_);
  const double cy = SnapToSubpixel(y, subpixels_per_unit_);
  const double reach = subpixels_per_unit_ * radius;
  const double outer = reach + kSubpixels / 2;
  if (cx + outer < 0 || cy + outer < 0 || cx - outer > kSubpixels * width_ ||
      cy - outer > kSubpixels * height_) {
    return Status::kOk;  // wholly off the surface
  }
  PaintClippedDisc(cx, cy, outer, reach - kSubpixels / 2, rim, fill, target);
  return Status::kOk;
}

namespace {

// Whether strip `strip` is the band's; a power of two of threads needs no division.
bool InBand(int strip, RasterSurface::Band band) {
  const unsigned count = static_cast<unsigned>(band.count), s = static_cast<unsigned>(strip);
  return ((count & (count - 1)) == 0 ? s & (count - 1) : s % count) == static_cast<unsigned>(band.which);
}

}  // namespace

// Fast path: the table's circle wholly inside, with no test per row or pixel; for a band,
// the band's strips that the disc reaches.
void RasterSurface::PaintTableDisc(int cx, int cy, std::uint32_t rim, const std::uint32_t* fill, Target target) {
  const int top = (cy >> 4) + discs_.FirstRow();  // not negative: the disc fits
  const Band band = target.band;
  if (band.count == 1) return PaintTableRows(cx, cy, rim, fill, target.pixels, top, 0, discs_.Rows());
  for (int strip = top / kStripRows; strip * kStripRows < top + discs_.Rows(); ++strip) {
    if (!InBand(strip, band)) continue;
    PaintTableRows(cx, cy, rim, fill, target.pixels, top, std::max(0, strip * kStripRows - top),
                   std::min(discs_.Rows(), (strip + 1) * kStripRows - top));
  }
}

// Rows [first, end) of the table's disc whose top row is `top`.
void RasterSurface::PaintTableRows(int cx, int cy, std::uint32_t rim, const std::uint32_t* fill, std::uint32_t* pixels,
                                   int top, int first, int end) {
  // Both are positive here: the pixel is the value over 16, the sub-pixel the remainder.
  const int fx = cx & 15, fy = cy & 15;
  const std::ptrdiff_t stride = width_;  // a local: the pixel stores could alias the member
  std::uint32_t* row = pixels + (top + first) * stride + (cx >> 4);
  if (fill && *fill == rim) return paint_one_colour_(row, stride, discs_, fx, fy, rim, first, end);  // the figure's case
  const DiscRow* spans = discs_.At(fx, fy);
  for (int k = first; k < end; ++k, row += stride) {
    PaintRow(row, {spans[k].outer_begin, spans[k].outer_end}, {spans[k].inner_begin, spans[k].inner_end}, rim, fill);
  }
}

// Clipped path: any radius, any position; one RowSpan per row for rim and interior.
void RasterSurface::PaintClippedDisc(double cx, double cy, double outer, double inner, std::uint32_t rim,
                                     const std::uint32_t* fill, Target target) {
  const Band band = target.band;
  auto clampRow = [&](double r) { return static_cast<int>(std::clamp(r, 0.0, double(height_))); };
  const int first = clampRow(std::floor((cy - outer) / kSubpixels) - 1);
  const int last = clampRow(std::ceil((cy + outer) / kSubpixels) + 1);
  for (int j = first; j < last; ++j) {
    if (band.count > 1 && !InBand(j / kStripRows, band)) continue;
    const double dy = kSubpixels * j + kSubpixels / 2 - cy;
    const Span o = RowSpan(cx, dy, outer, width_);
    if (o.Empty()) continue;
    const Span i = inner >= 0 ? RowSpan(cx, dy, inner, width_) : Span{};
    PaintRow(target.pixels + static_cast<std::size_t>(j) * width_, o, i, rim, fill);
  }
}

}  // namespace tavelune
