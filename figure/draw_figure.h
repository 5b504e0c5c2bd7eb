#pragma once

#include <memory>

#include "figure/directions.h"
#include "figure/step_block.h"
#include "runtime/runtime.h"
#include "runtime/worker_pool.h"
#include "surface/drawing_surface.h"

namespace tavelune {

// What it takes to paint a figure again: the random source as it stood once the figure
// had reseeded it, and the directions the figure started from.
struct FigureStart {
  std::unique_ptr<RandomSource> random;
  Directions directions;
};

// Paints one figure, five strokes of 100,000 discs, over what `surface` holds, reading and
// turning `directions` as it goes. It reseeds the random source from the clock first; only
// a failure of that is returned. A failing surface call is skipped and the figure goes on.
// Where `start` is given, the figure's start is kept there.
Status DrawFigure(Directions& directions, DrawingSurface& surface, Runtime runtime, FigureStart* start = nullptr);

// The figure after its reseed: what DrawFigure paints once the random source is seeded.
// A raster surface with a solid fill is painted by the process's workers, or by `workers`.
void PaintFigure(Directions& directions, DrawingSurface& surface, RandomSource& random);
void PaintFigure(Directions& directions, DrawingSurface& surface, RandomSource& random, WorkerPool& workers);

// Paints the block's steps from `first` up to `end`, one disc each, in order.
void PaintSteps(const StepBlock& block, int first, int end, DrawingSurface& surface);

// The same figure again, the same discs in the same order, leaving `start` as it is;
// returns the directions the figure leaves.
Directions RepaintFigure(const FigureStart& start, DrawingSurface& surface);

}  // namespace tavelune
