#include "figure/draw_figure.h"

#include <optional>

#include "figure/figure_constants.h"
#include "figure/stroke.h"
#include "runtime/rounding.h"

namespace tavelune {
namespace {

std::optional<Colour> ColourOf(const Stroke& s) {
  const auto red = RoundToInt16(s.red);
  const auto green = RoundToInt16(s.green);
  const auto blue = RoundToInt16(s.blue);
  if (!red || !green || !blue) return std::nullopt;
  return ComposeColor(*red, *green, *blue);
}

}  // namespace

Status DrawFigure(Directions& directions, DrawingSurface& surface, Runtime runtime) {
  if (ReseedFromClock(runtime) == Status::kFailed) return Status::kFailed;
  for (int stroke = 0; stroke < figure::kStrokes; ++stroke) {
    Stroke s = Stroke::Draw(runtime.random);
    for (int step = 0; step < figure::kStepsPerStroke; ++step) {
      s.Advance(directions);
      const DiscCentre centre = CentreOf(s);
      const auto colour = ColourOf(s);
      if (!colour) continue;  // a colour that cannot be rounded skips this disc
      // A failing surface call is skipped on its own; the figure goes on.
      (void)surface.SetFillColor(*colour);
      (void)surface.DrawCircle(static_cast<float>(centre.px), static_cast<float>(centre.py),
                               figure::kDiscRadius, *colour);
    }
  }
  return Status::kOk;
}

}  // namespace tavelune
