#pragma once

#include "figure/directions.h"
#include "runtime/random_source.h"
#include "runtime/worker_pool.h"
#include "surface/raster_surface.h"

namespace tavelune {

// Paints the figure that PaintFigure paints, with the same pixels, on all the workers'
// cores. Each worker computes the whole figure from the same strokes, drawn once, and
// paints every disc in order within a band of rows of its own. The arithmetic is done on
// every core, so this pays only where painting outweighs computing, on surfaces of many
// device pixels; it is for those too large to keep layers for (PaintFigureInLayers).
// False, and nothing painted nor drawn, where the surface is smaller than that, its fill is
// not solid (the discs are then not of one colour), or the pool has a single worker or is
// busy with another figure.
// Without layers, surfaces of fewer device pixels than this are painted on one core: a
// 1000 x 1000 figure gains a fifth on two cores, and one of 4000 x 4000 two thirds.
inline constexpr long kBandedPixels = 1000L * 1000;

bool PaintFigureInBands(Directions& directions, RasterSurface& surface, RandomSource& random, WorkerPool& workers,
                        long fewest_pixels = kBandedPixels);

}  // namespace tavelune
