#include "figure/layered_painting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "figure/draw_figure.h"
#include "figure/figure_fakes.h"
#include "figure/figure_steps.h"
#include "runtime/random_source.h"

namespace tavelune {
namespace {

// Any number of workers paints the one-thread figure, pixel for pixel, and leaves the same
// directions, fill colour and random source.
TEST(LayeredPainting, EveryNumberOfWorkersPaintsTheOneThreadFigure) {
  if (!WorkerPool::kThreadsAvailable) GTEST_SKIP() << "this build has no threads";
  WorkerPool one(1);
  for (const double scale : {1.0, 1.5, 2.0}) {
    RasterSurface alone(RasterSurface::kSize, RasterSurface::kSize, scale);
    ASSERT_EQ(alone.SetFillSolid(), Status::kOk);
    Pcg32Source random(0x0123456789abcdefULL, Pcg32Source::kDefaultStream);
    Directions left{1, -1, 1, 1};
    PaintFigure(left, alone, random, one);
    // More workers than layers too: the workers without a part merge rows all the same.
    for (const auto& [workers, layers] : {std::pair{2, 2}, {3, 3}, {3, 2}}) {
      WorkerPool pool(workers);
      RasterSurface layered(RasterSurface::kSize, RasterSurface::kSize, scale);
      ASSERT_EQ(layered.SetFillSolid(), Status::kOk);
      layered.ReserveLayers(layers);
      // Twice on one surface: the second figure finds the layers clear again.
      for (int figure = 0; figure < 2; ++figure) {
        Pcg32Source again(0x0123456789abcdefULL, Pcg32Source::kDefaultStream);
        Directions directions{1, -1, 1, 1};
        ASSERT_EQ(layered.Clear(), Status::kOk);
        ASSERT_TRUE(PaintFigureInLayers(directions, layered, again, pool));
        EXPECT_EQ(testing::OutcomeOf(layered, directions, again), testing::OutcomeOf(alone, left, random))
            << workers << " workers, " << layers << " layers, scale " << scale;
      }
    }
  }
}

// Without a layer but the surface, or with outlines only, the figure is left to the other
// ways of painting it, and nothing is drawn from the random source.
TEST(LayeredPainting, NeedsALayerForEachWorkerAndSolidDiscs) {
  WorkerPool pool(3);
  Pcg32Source random;
  const std::uint64_t before = random.State();
  Directions directions;
  RasterSurface large(RasterSurface::kSize, RasterSurface::kSize, 4.5);
  ASSERT_EQ(large.SetFillSolid(), Status::kOk);
  EXPECT_EQ(large.Layers(), 1) << "a surface this large keeps no layers";
  EXPECT_FALSE(PaintFigureInLayers(directions, large, random, pool));
  RasterSurface outlines;
  outlines.ReserveLayers(3);
  EXPECT_FALSE(PaintFigureInLayers(directions, outlines, random, pool));
  EXPECT_EQ(random.State(), before);
}

// Every worker is done at the same time: the steps it skips at their cost, and then its own.
TEST(LayeredPainting, PartsTakeEveryWorkerTheSameTime) {
  for (const int parts : {1, 2, 3, 7, 16}) {
    for (const double skip : {0.0, kSkipCost, 0.5}) {
      int starts[17];
      CutIntoParts(FigureSteps::kSteps, parts, skip, starts);
      EXPECT_EQ(starts[0], 0);
      EXPECT_EQ(starts[parts], FigureSteps::kSteps);
      const double first = starts[1];
      for (int k = 0; k < parts; ++k) {
        EXPECT_LT(starts[k], starts[k + 1]);
        EXPECT_NEAR(skip * starts[k] + (starts[k + 1] - starts[k]), first, 2) << parts << " parts, part " << k;
      }
    }
  }
}

// A figure's steps in parts cut anywhere, even inside a block or a stroke, are its steps
// whole, and the last part leaves the directions that the whole figure does.
TEST(FigureSteps, PartsCutAnywhereAreTheWholeFiguresSteps) {
  Pcg32Source random(99, Pcg32Source::kDefaultStream);
  DrawnStrokes strokes;
  for (Stroke& stroke : strokes) stroke = Stroke::Draw(random);
  const Directions start{-1, 1, -1, 1};
  Directions whole_directions = start;
  FigureSteps whole(whole_directions, strokes);
  StepBlock all, some;
  int at = 0;  // steps of `all` already compared
  bool more = whole.Next(all);
  const int cuts[] = {0, 1, 300, 99999, 100000, 100257, 250000, 499999, FigureSteps::kSteps};
  for (int c = 0; c + 1 < int(std::size(cuts)); ++c) {
    Directions directions = start;
    FigureSteps part(directions, strokes);
    part.Only(cuts[c], cuts[c + 1]);
    int taken = 0;
    while (part.Next(some)) {
      for (int k = 0; k < some.size; ++k, ++at, ++taken) {
        if (at == all.size) {
          ASSERT_TRUE(more = whole.Next(all));
          at = 0;
        }
        ASSERT_EQ(some.px[k], all.px[at]) << "step " << cuts[c] + taken;
        ASSERT_EQ(some.py[k], all.py[at]);
        ASSERT_EQ(some.colour[k], all.colour[at]);
      }
    }
    EXPECT_EQ(taken, cuts[c + 1] - cuts[c]);
    if (c + 2 == int(std::size(cuts))) {
      EXPECT_EQ(std::memcmp(&directions, &whole_directions, sizeof start), 0);
    }
  }
  EXPECT_EQ(at, all.size);
  EXPECT_FALSE(whole.Next(all));
}

}  // namespace
}  // namespace tavelune
