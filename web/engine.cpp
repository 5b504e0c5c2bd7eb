// The engine as the web page reaches it: one figure at a time, painted at the scale the
// page asks for, its pixels handed over as RGBA bytes for an ImageData.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "runtime/runtime.h"
#include "surface/raster_surface.h"

namespace {

using tavelune::Status;

// What the page shows: the figure, its code, and the directions that carry to the next one,
// all +1 at the start as in the window.
struct Shown {
  tavelune::Directions directions;
  std::unique_ptr<tavelune::RasterSurface> surface;
  std::string code;
  std::vector<std::uint8_t> rgba;
};

Shown& TheShown() {
  static Shown shown;
  return shown;
}

// Whether `bytes` more can be had now. The web build has no exceptions: an allocation that
// fails there does not throw std::bad_alloc but aborts the module, so a surface and its
// bytes for the page are asked of malloc, which answers null, before they are made.
bool CanAllocate(std::size_t bytes) {
  void* probe = std::malloc(bytes);
  std::free(probe);
  return probe != nullptr;
}

// A black surface that fills its discs, at `scale`; nothing where there is no memory for it.
tavelune::RasterSurface* FreshSurface(double scale) {
  Shown& shown = TheShown();
  scale = tavelune::RasterSurface::SaneScale(scale);
  if (!shown.surface || shown.surface->Scale() != scale) {
    shown.surface.reset();
    std::vector<std::uint8_t>().swap(shown.rgba);
    const double side = std::nearbyint(tavelune::RasterSurface::kSize * scale);
    // The surface's pixels and the page's bytes, four each, and room for the tables.
    if (!CanAllocate(static_cast<std::size_t>(side * side) * 8 + (std::size_t{4} << 20))) return nullptr;
    shown.surface = std::make_unique<tavelune::RasterSurface>(tavelune::RasterSurface::kSize,
                                                              tavelune::RasterSurface::kSize, scale);
  }
  tavelune::RasterSurface& surface = *shown.surface;
  if (surface.SetBackColor(tavelune::ComposeColor(0, 0, 0)) == Status::kFailed ||
      surface.SetFillSolid() == Status::kFailed || surface.Clear() == Status::kFailed) {
    return nullptr;
  }
  return &surface;
}

// The surface's 0xffRRGGBB pixels as the R, G, B, A bytes a canvas takes.
bool Publish(const tavelune::RasterSurface& surface, const tavelune::FigureStart& start) {
  Shown& shown = TheShown();
  const std::size_t count = static_cast<std::size_t>(surface.Width()) * surface.Height();
  if (shown.rgba.size() != count * 4) {
    if (!CanAllocate(count * 4)) return false;
    shown.rgba.resize(count * 4);
  }
  const std::uint32_t* pixel = surface.Bits();
  std::uint8_t* out = shown.rgba.data();
  for (std::size_t i = 0; i < count; ++i, out += 4) {
    out[0] = static_cast<std::uint8_t>(pixel[i] >> 16);
    out[1] = static_cast<std::uint8_t>(pixel[i] >> 8);
    out[2] = static_cast<std::uint8_t>(pixel[i]);
    out[3] = 0xff;
  }
  shown.code = tavelune::CodeOf(start).value_or("");
  return true;
}

}  // namespace

// What a paint returns: 0 once the figure is painted; else why nothing was painted.
enum WebFault : int {
  kPainted = 0,
  kCodeLength = 1,     // the code is not 18 characters long
  kCodeCharacter = 2,  // a character that no code has
  kCodeCheck = 3,      // mistyped, or not a code
  kNoMemory = 4,
  kNoClock = 5,
};

extern "C" {

// A new figure, reseeded from the clock, from the directions the last one left.
EMSCRIPTEN_KEEPALIVE int tavelune_paint_new(double scale) {
  tavelune::RasterSurface* surface = FreshSurface(scale);
  if (surface == nullptr) return kNoMemory;
  tavelune::FigureStart start;
  Shown& shown = TheShown();
  if (DrawFigure(shown.directions, *surface, tavelune::ProcessRuntime(), &start) == Status::kFailed) return kNoClock;
  return Publish(*surface, start) ? kPainted : kNoMemory;
}

// The figure of `code`, which then hands its directions on; a code that is refused changes nothing.
EMSCRIPTEN_KEEPALIVE int tavelune_paint_code(const char* code, double scale) {
  tavelune::CodeFault fault = tavelune::CodeFault::kNone;
  const auto figure = tavelune::DecodeFigure(code, &fault);
  if (!figure) {
    switch (fault) {
      case tavelune::CodeFault::kLength: return kCodeLength;
      case tavelune::CodeFault::kCharacter: return kCodeCharacter;
      default: return kCodeCheck;
    }
  }
  tavelune::RasterSurface* surface = FreshSurface(scale);
  if (surface == nullptr) return kNoMemory;
  const tavelune::FigureStart start = tavelune::StartOf(*figure);
  const tavelune::Directions left = tavelune::RepaintFigure(start, *surface);
  if (!Publish(*surface, start)) return kNoMemory;
  TheShown().directions = left;
  return kPainted;
}

// The last painted figure's code, its side in device pixels and its RGBA bytes, row after row.
EMSCRIPTEN_KEEPALIVE const char* tavelune_code() { return TheShown().code.c_str(); }
EMSCRIPTEN_KEEPALIVE int tavelune_side() { return TheShown().surface ? TheShown().surface->Width() : 0; }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* tavelune_pixels() { return TheShown().rgba.data(); }

}  // extern "C"
