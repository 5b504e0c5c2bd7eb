#pragma once

#include "figure/directions.h"
#include "runtime/runtime.h"
#include "surface/drawing_surface.h"

namespace tavelune {

// Paints one figure, five strokes of 100,000 discs, over what `surface` holds, reading and
// turning `directions` as it goes. It reseeds the random source from the clock first; only
// a failure of that is returned. A failing surface call is skipped and the figure goes on.
Status DrawFigure(Directions& directions, DrawingSurface& surface, Runtime runtime);

}  // namespace tavelune
