#include "figure/layered_painting.h"

#include <algorithm>
#include <cmath>

#include "figure/figure_steps.h"
#include "figure/step_block.h"

namespace tavelune {

void CutIntoParts(int steps, int parts, double skip_cost, int* starts) {
  // Part k is n(k) = n(0) - skip_cost * (the steps before it), so the steps before part k
  // come to n(0) (1 - (1 - skip_cost)^k) / skip_cost.
  // Skipping that costs nothing cuts equal parts.
  const double kept = 1 - skip_cost;
  for (int k = 0; k <= parts; ++k) {
    const double share = skip_cost > 0 ? (1 - std::pow(kept, k)) / (1 - std::pow(kept, parts)) : double(k) / parts;
    starts[k] = static_cast<int>(std::lround(steps * share));
  }
}

namespace {

// What one worker's part leaves, on a cache line of its own.
struct alignas(64) PartEnd {
  Directions directions;
  Colour last{};
  bool painted = false;
};

struct Figure {
  const DrawnStrokes& strokes;
  const Directions& start;
  RasterSurface& surface;
  int parts;
  int mergers;
  int starts[kMaxWorkers + 1];
  PartEnd ends[kMaxWorkers];

  void Paint(int part) {
    Directions directions = start;
    RasterSurface& raster = surface;
    FigureSteps steps(directions, strokes, raster.Paths().sines);
    steps.Only(starts[part], starts[part + 1]);
    StepBlock block;
    Colour colour{};
    bool painted = false;
    while (steps.Next(block)) {
      block.ForEachDisc([&](float x, float y, Colour c) {
        raster.PaintFigureDisc(x, y, c, part);
        colour = c;
        painted = true;
      });
    }
    ends[part] = {directions, colour, painted};
  }

  void Merge(int worker) {
    const long rows = surface.Height();
    surface.MergeLayers(int(rows * worker / mergers), int(rows * (worker + 1) / mergers));
  }

  static void PaintPart(void* context, int worker) {
    Figure& figure = *static_cast<Figure*>(context);
    if (worker < figure.parts) figure.Paint(worker);
  }
  static void MergeRows(void* context, int worker) { static_cast<Figure*>(context)->Merge(worker); }
};

}  // namespace

bool PaintFigureInLayers(Directions& directions, RasterSurface& surface, RandomSource& random, WorkerPool& workers) {
  const int parts = std::min(workers.Size(), surface.Layers());
  if (parts < 2 || !surface.FillSolid()) return false;
  DrawnStrokes strokes;
  for (Stroke& stroke : strokes) stroke = Stroke::Draw(random);
  Figure figure{strokes, directions, surface, parts, workers.Size(), {}, {}};
  CutIntoParts(FigureSteps::kSteps, parts, kSkipCost, figure.starts);
  if (!workers.TryRun(&Figure::PaintPart, &figure)) {
    // Busy with another figure: this one on this thread alone, straight onto the surface.
    figure.parts = 1;
    figure.starts[1] = FigureSteps::kSteps;
    figure.Paint(0);
  } else if (!workers.TryRun(&Figure::MergeRows, &figure)) {
    surface.MergeLayers(0, surface.Height());
  }
  directions = figure.ends[figure.parts - 1].directions;
  // The fill colour the last disc set, as the disc-by-disc calls leave it.
  for (int part = figure.parts - 1; part >= 0; --part) {
    if (!figure.ends[part].painted) continue;
    (void)surface.SetFillColor(figure.ends[part].last);
    break;
  }
  return true;
}

}  // namespace tavelune
