#pragma once

#include "figure/directions.h"
#include "runtime/random_source.h"
#include "runtime/worker_pool.h"
#include "surface/raster_surface.h"

namespace tavelune {

// Paints the figure that PaintFigure paints, with the same pixels, on the workers' cores.
// The figure's steps are cut into consecutive parts, one for each of the surface's layers
// while there are workers; each worker paints its part's discs in order on a layer of its
// own, and the layers are then laid over the surface in order, every worker merging rows of
// its own. A worker first takes the steps before its part without placing or painting them,
// which costs about a tenth as much as painting them, so the earlier parts are the longer.
// Nothing that one worker writes is read by another until the merge, and the arithmetic is
// done once.
// False, and nothing painted nor drawn, where the surface has no layer but itself, its fill
// is not solid (the discs are then not of one colour), or the pool has a single worker.
bool PaintFigureInLayers(Directions& directions, RasterSurface& surface, RandomSource& random, WorkerPool& workers);

// Where each of `parts` parts of the figure's `steps` steps begins, and, last, `steps`: the
// parts are cut so that every worker, skipping the steps before its part at `skip_cost` times
// the cost of painting one, is done at about the same time.
void CutIntoParts(int steps, int parts, double skip_cost, int* starts);
inline constexpr double kSkipCost = 0.1;

}  // namespace tavelune
