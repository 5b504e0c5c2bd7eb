#include "figure/draw_figure.h"

#include <algorithm>

#include "figure/figure_constants.h"
#include "figure/step_block.h"
#include "figure/stroke.h"

namespace tavelune {

Status DrawFigure(Directions& directions, DrawingSurface& surface, Runtime runtime) {
  if (ReseedFromClock(runtime) == Status::kFailed) return Status::kFailed;
  StepBlock block;
  for (int stroke = 0; stroke < figure::kStrokes; ++stroke) {
    Stroke s = Stroke::Draw(runtime.random);
    for (int done = 0; done < figure::kStepsPerStroke; done += block.size) {
      block.Advance(s, directions, std::min(StepBlock::kCapacity, figure::kStepsPerStroke - done));
      block.Place();
      for (int k = 0; k < block.size; ++k) {
        if (!block.drawable[k]) continue;  // a colour that cannot be rounded skips its disc
        // A failing surface call is skipped on its own; the figure goes on.
        (void)surface.SetFillColor(block.colour[k]);
        (void)surface.DrawCircle(static_cast<float>(block.px[k]), static_cast<float>(block.py[k]),
                                 figure::kDiscRadius, block.colour[k]);
      }
    }
  }
  return Status::kOk;
}

}  // namespace tavelune
