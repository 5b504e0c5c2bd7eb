#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "surface/disc_table.h"
#include "surface/drawing_surface.h"
#include "surface/kernel_paths.h"
#include "surface/one_colour_disc.h"

namespace tavelune {

// A software raster of 32-bit pixels 0xffRRGGBB in one contiguous buffer, row after row,
// ready to be shown as it is by an RGB32 image. Callers draw in the surface's own
// coordinates; each of them spans `scale` device pixels, so that a HiDPI screen gets its
// own pixels and not an enlarged image. The rasterisation rule holds at device pixels.
class RasterSurface final : public DrawingSurface {
 public:
  static constexpr int kSize = 500;
  // Large enough for any screen, small enough that a coordinate on it times 16 stays exact
  // in a float.
  static constexpr int kMaxSize = 16384;
  static constexpr double kMinScale = 0.25;
  static constexpr double kMaxScale = 8;
  // The circle the figure draws, precomputed for every surface.
  static constexpr float kTableRadius = 5.0f;

  // A scale that is not a finite number in [kMinScale, kMaxScale] counts as 1.
  static double SaneScale(double scale);

  // Black, with outlines only, until told otherwise. The device size is each side times
  // the scale, rounded, at most kMaxSize. `paths` are the processor paths of its disc
  // painter and of the sine kernel of the figures painted on it, paths this processor runs.
  // May throw std::bad_alloc.
  explicit RasterSurface(int width = kSize, int height = kSize, double scale = 1,
                         KernelPaths paths = ChosenKernelPaths());

  Status Clear() override;
  Status SetBackColor(Colour colour) override;
  Status SetFillSolid() override;
  Status SetFillColor(Colour colour) override;
  Status DrawCircle(float x, float y, float radius, Colour outline) override;

  // The rows that one of `count` threads paints: strips of kStripRows device rows, every
  // count-th strip from strip `which`. Fine strips give every thread a share of nearly every
  // disc, wherever on the surface a figure lies, and each strip's pixels stay in the cache of
  // the one core that paints them.
  struct Band {
    int which = 0;
    int count = 1;
  };
  static constexpr int kStripRows = 16;

  // What SetFillColor(colour) and then DrawCircle(x, y, kTableRadius, colour) paint on a
  // surface with a solid fill, but only in the rows of `band`, and leaving the fill colour as
  // it was. Threads may paint one surface at once this way, each in a band of its own;
  // nothing else may touch the surface meanwhile.
  void PaintFigureDisc(float x, float y, Colour colour, Band band);

  // Layers over the surface, for threads that paint consecutive parts of one figure at once.
  // Layer 0 is the surface itself; a later part's discs go on a later layer. The others hold
  // only what was painted on them and are clear elsewhere (0, which no painted pixel is:
  // its alpha is 0xff). MergeLayers lays them over the surface in order, later over earlier,
  // and clears them again. A surface of at most kLayeredPixels device pixels, a figure full
  // screen on a 4K screen, keeps a layer for each of the process's workers from the start, at
  // most kMaxLayers, so that painting a figure allocates nothing; a larger one would cost too
  // much memory for what the layers save.
  static constexpr long kLayeredPixels = 2200L * 2200;
  static constexpr int kMaxLayers = 4;
  // At least `count` layers, the surface included. May throw std::bad_alloc.
  void ReserveLayers(int count);
  int Layers() const { return 1 + extra_layers_; }
  // The same as PaintFigureDisc(x, y, colour, Band{}), on layer `layer`. Threads may paint
  // one surface at once this way, each on a layer of its own; nothing else may touch the
  // surface meanwhile.
  void PaintFigureDisc(float x, float y, Colour colour, int layer);
  // Lays the layers over rows [first, end) of the surface and clears them there. Threads may
  // merge rows of their own at once.
  void MergeLayers(int first, int end);

  // The size in device pixels.
  int Width() const { return width_; }
  int Height() const { return height_; }
  double Scale() const { return scale_; }
  // The processor paths of its disc painter and of its figures' sines.
  KernelPaths Paths() const { return paths_; }
  const std::uint32_t* Bits() const { return pixels_.data(); }
  // The colour at device column x, row y, both inside the surface.
  Colour At(int x, int y) const;
  Colour BackColor() const { return back_; }
  Colour FillColor() const { return fill_; }
  bool FillSolid() const { return fill_solid_; }

 private:
  // Where a disc goes: the rows of `band` on the pixels of one layer.
  struct Target {
    std::uint32_t* pixels;
    Band band;
  };
  Target OnSurface(Band band) { return {pixels_.data(), band}; }
  Status Draw(float x, float y, float radius, std::uint32_t rim, const std::uint32_t* fill, Target target);
  void PaintTableDisc(int cx, int cy, std::uint32_t rim, const std::uint32_t* fill, Target target);
  void PaintTableRows(int cx, int cy, std::uint32_t rim, const std::uint32_t* fill, std::uint32_t* pixels, int top,
                      int first, int end);
  void PaintClippedDisc(double cx, double cy, double outer, double inner, std::uint32_t rim,
                        const std::uint32_t* fill, Target target);

  Colour back_ = ComposeColor(0, 0, 0);
  Colour fill_ = ComposeColor(0, 0, 0);
  bool fill_solid_ = false;
  double scale_;
  double subpixels_per_unit_;  // 16 device sub-pixels per device pixel
  float width_units_, height_units_;
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;  // initialised from back_, so declared after it
  // Every layer but the surface, one after another. From calloc, so that a large one comes
  // from the system as pages of zeros that cost nothing until painted.
  std::unique_ptr<std::uint32_t, void (*)(void*)> layers_{nullptr, std::free};
  int extra_layers_ = 0;
  DiscTable discs_;
  KernelPaths paths_;
  OneColourDiscPainter paint_one_colour_;
};

}  // namespace tavelune
