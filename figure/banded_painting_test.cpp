#include "figure/banded_painting.h"

#include <gtest/gtest.h>

#include "figure/draw_figure.h"
#include "figure/figure_fakes.h"
#include "runtime/random_source.h"

namespace tavelune {
namespace {

// Any number of workers paints the one-thread figure, pixel for pixel, and leaves the same
// directions and fill colour; the surface size that sends a figure to the workers is set
// aside here, so that every scale is tried.
TEST(BandedPainting, EveryNumberOfWorkersPaintsTheOneThreadFigure) {
  if (!WorkerPool::kThreadsAvailable) GTEST_SKIP() << "this build has no threads";
  WorkerPool one(1);
  for (const double scale : {1.0, 1.5, 2.0}) {
    RasterSurface alone(RasterSurface::kSize, RasterSurface::kSize, scale);
    ASSERT_EQ(alone.SetFillSolid(), Status::kOk);
    Pcg32Source random(0x0123456789abcdefULL, Pcg32Source::kDefaultStream);
    Directions left{1, -1, 1, 1};
    PaintFigure(left, alone, random, one);
    for (const int workers : {2, 3}) {
      WorkerPool pool(workers);
      RasterSurface banded(RasterSurface::kSize, RasterSurface::kSize, scale);
      ASSERT_EQ(banded.SetFillSolid(), Status::kOk);
      Pcg32Source again(0x0123456789abcdefULL, Pcg32Source::kDefaultStream);
      Directions directions{1, -1, 1, 1};
      ASSERT_TRUE(PaintFigureInBands(directions, banded, again, pool, 0));
      EXPECT_EQ(testing::OutcomeOf(banded, directions, again), testing::OutcomeOf(alone, left, random))
          << workers << " workers, scale " << scale;
    }
  }
}

// Only a surface that fills its discs, and one large enough, goes to the workers; nothing
// is drawn from the random source where it does not.
TEST(BandedPainting, LeavesSmallAndOutlineSurfacesToOneThread) {
  WorkerPool pool(2);
  Pcg32Source random;
  const std::uint64_t before = random.State();
  Directions directions;
  RasterSurface small;
  ASSERT_EQ(small.SetFillSolid(), Status::kOk);
  EXPECT_FALSE(PaintFigureInBands(directions, small, random, pool));
  RasterSurface outlines(RasterSurface::kSize, RasterSurface::kSize, 2);
  EXPECT_FALSE(PaintFigureInBands(directions, outlines, random, pool, 0));
  EXPECT_EQ(random.State(), before);
}

}  // namespace
}  // namespace tavelune
