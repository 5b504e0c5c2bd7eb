#pragma once

#include <cstdint>
#include <vector>

#include "surface/disc_table.h"
#include "surface/drawing_surface.h"
#include "surface/one_colour_disc.h"

namespace tavelune {

// A software raster of 32-bit pixels 0xffRRGGBB in one contiguous buffer, row after row,
// ready to be shown as it is by an RGB32 image.
class RasterSurface final : public DrawingSurface {
 public:
  static constexpr int kSize = 500;
  // Large enough for any screen, small enough that a coordinate on it times 16 stays exact
  // in a float.
  static constexpr int kMaxSize = 16384;

  // Black, with outlines only, until told otherwise; each side at most kMaxSize.
  explicit RasterSurface(int width = kSize, int height = kSize);

  Status Clear() override;
  Status SetBackColor(Colour colour) override;
  Status SetFillSolid() override;
  Status SetFillColor(Colour colour) override;
  Status DrawCircle(float x, float y, float radius, Colour outline) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint32_t* Bits() const { return pixels_.data(); }
  // The colour at column x, row y, both inside the surface.
  Colour At(int x, int y) const;
  Colour BackColor() const { return back_; }
  Colour FillColor() const { return fill_; }
  bool FillSolid() const { return fill_solid_; }

 private:
  void PaintTableDisc(int cx, int cy, std::uint32_t rim);
  void PaintClippedDisc(double cx, double cy, double outer, double inner, std::uint32_t rim);

  Colour back_ = ComposeColor(0, 0, 0);
  Colour fill_ = ComposeColor(0, 0, 0);
  bool fill_solid_ = false;
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;  // initialised from back_, so declared after it
  const DiscTable& discs_ = TableDiscs();
  const OneColourDiscPainter paint_one_colour_ = FastestOneColourDisc();
};

}  // namespace tavelune
