#include "figure/draw_figure.h"

#include "figure/figure_constants.h"
#include "figure/figure_steps.h"

namespace tavelune {

Status DrawFigure(Directions& directions, DrawingSurface& surface, Runtime runtime) {
  if (ReseedFromClock(runtime) == Status::kFailed) return Status::kFailed;
  FigureSteps steps(directions, runtime.random);
  StepBlock block;
  while (steps.Next(block)) {
    for (int k = 0; k < block.size; ++k) {
      if (!block.drawable[k]) continue;  // a colour that cannot be rounded skips its disc
      // A failing surface call is skipped on its own; the figure goes on.
      (void)surface.SetFillColor(block.colour[k]);
      (void)surface.DrawCircle(static_cast<float>(block.px[k]), static_cast<float>(block.py[k]),
                               figure::kDiscRadius, block.colour[k]);
    }
  }
  return Status::kOk;
}

}  // namespace tavelune
