#include "figure/draw_figure.h"

#include "figure/figure_constants.h"
#include "figure/banded_painting.h"
#include "figure/layered_painting.h"
#include "figure/figure_steps.h"
#include "surface/raster_surface.h"

namespace tavelune {

Status DrawFigure(Directions& directions, DrawingSurface& surface, Runtime runtime, FigureStart* start) {
  if (ReseedFromClock(runtime) == Status::kFailed) return Status::kFailed;
  if (start) *start = {runtime.random.Clone(), directions};
  PaintFigure(directions, surface, runtime.random);
  return Status::kOk;
}

void PaintFigure(Directions& directions, DrawingSurface& surface, RandomSource& random) {
  PaintFigure(directions, surface, random, ProcessWorkers());
}

void PaintFigure(Directions& directions, DrawingSurface& surface, RandomSource& random, WorkerPool& workers) {
  // A raster surface's processor paths are the whole figure's: its painter's and its sines'.
  auto* raster = dynamic_cast<RasterSurface*>(&surface);
  if (raster && (PaintFigureInLayers(directions, *raster, random, workers) ||
                 PaintFigureInBands(directions, *raster, random, workers))) {
    return;
  }
  FigureSteps steps(directions, random, raster ? raster->Paths().sines : SinesPath());
  StepBlock block;
  while (steps.Next(block)) PaintSteps(block, 0, block.size, surface);
}

void PaintSteps(const StepBlock& block, int first, int end, DrawingSurface& surface) {
  block.ForEachDisc(first, end, [&surface](float x, float y, Colour colour) {
    // A failing surface call is skipped on its own; the figure goes on.
    (void)surface.SetFillColor(colour);
    (void)surface.DrawCircle(x, y, figure::kDiscRadius, colour);
  });
}

Directions RepaintFigure(const FigureStart& start, DrawingSurface& surface) {
  const std::unique_ptr<RandomSource> random = start.random->Clone();
  Directions directions = start.directions;
  PaintFigure(directions, surface, *random);
  return directions;
}

}  // namespace tavelune
