#pragma once

#include "runtime/colour.h"
#include "runtime/status.h"

namespace tavelune {

// The canvas everything is painted on. Coordinates are pixels from the top-left
// corner, y downwards. A call that fails changes nothing.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Paints every pixel in the back colour.
  virtual Status Clear() = 0;
  // Makes `colour` the back colour and repaints the whole surface in it.
  virtual Status SetBackColor(Colour colour) = 0;
  // Circles drawn from now on have their interior filled with the fill colour.
  virtual Status SetFillSolid() = 0;
  virtual Status SetFillColor(Colour colour) = 0;
  // A full circle with its rim in `outline`, over whatever lies beneath, clipped at the edges.
  virtual Status DrawCircle(float x, float y, float radius, Colour outline) = 0;
};

}  // namespace tavelune
