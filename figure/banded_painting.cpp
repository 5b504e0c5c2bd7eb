#include "figure/banded_painting.h"

#include "figure/figure_steps.h"
#include "figure/step_block.h"

namespace tavelune {
namespace {

struct Figure {
  const DrawnStrokes& strokes;
  const Directions& start;
  RasterSurface& surface;
  int bands;
  // Worker 0's results, written once it is done.
  Directions left;
  Colour last{};
  bool any = false;

  // Everything a worker writes is its own until it is done: a line of memory written by one
  // core and read by another goes back and forth between them, and slows both.
  void Paint(int band) {
    Directions directions = start;
    RasterSurface& raster = surface;
    FigureSteps steps(directions, strokes, raster.Paths().sines);
    StepBlock block;
    const RasterSurface::Band rows{band, bands};
    Colour colour{};
    bool painted = false;
    while (steps.Next(block)) {
      block.ForEachDisc([&](float x, float y, Colour c) {
        raster.PaintFigureDisc(x, y, c, rows);
        colour = c;
        painted = true;
      });
    }
    if (band != 0) return;
    left = directions;
    last = colour;
    any = painted;
  }

  static void Work(void* context, int worker) { static_cast<Figure*>(context)->Paint(worker); }
};

}  // namespace

bool PaintFigureInBands(Directions& directions, RasterSurface& surface, RandomSource& random, WorkerPool& workers,
                        long fewest_pixels) {
  if (long(surface.Width()) * surface.Height() < fewest_pixels || !surface.FillSolid() || workers.Size() < 2) {
    return false;
  }
  DrawnStrokes strokes;
  for (Stroke& stroke : strokes) stroke = Stroke::Draw(random);
  Figure figure{strokes, directions, surface, workers.Size(), directions};
  if (!workers.TryRun(&Figure::Work, &figure)) {
    figure.bands = 1;  // busy with another figure: this one on this thread alone
    figure.Paint(0);
  }
  directions = figure.left;
  // The fill colour the last disc set, as the disc-by-disc calls leave it.
  if (figure.any) (void)surface.SetFillColor(figure.last);
  return true;
}

}  // namespace tavelune
