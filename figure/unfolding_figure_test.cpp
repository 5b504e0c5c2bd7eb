#include "figure/unfolding_figure.h"

#include <gtest/gtest.h>

#include <cstring>

#include "figure/figure_fakes.h"
#include "runtime/random_source.h"
#include "surface/raster_surface.h"

namespace tavelune {
namespace {

using testing::RecordingSurface;

FigureStart AStart() { return {std::make_unique<Pcg32Source>(0x0123456789abcdefULL, 77), {1, -1, 1, 1}}; }

bool SameCircle(const RecordingSurface::Circle& a, const RecordingSurface::Circle& b) {
  return a.x == b.x && a.y == b.y && a.radius == b.radius && a.outline == b.outline && a.fill == b.fill;
}

// Whatever the portions, the surface holds at every moment the figure's first discs, in
// its order, and in the end all of them.
TEST(UnfoldingFigure, PaintsAPrefixOfTheFigureAtEveryMomentAndThenTheWholeFigure) {
  const FigureStart start = AStart();
  RecordingSurface whole;
  const Directions left = RepaintFigure(start, whole);
  ASSERT_EQ(static_cast<long>(whole.circles.size()), UnfoldingFigure::kSteps);

  UnfoldingFigure unfolding(start);
  RecordingSurface watched;
  long target = 0;
  for (const long portion : {0L, 1L, 254L, 1L, 256L, 257L, 99487L, 1L, 3333L, 100000L, 123456L}) {
    target += portion;
    unfolding.PaintUpTo(target, watched);
    ASSERT_EQ(unfolding.Steps(), target);
    ASSERT_EQ(static_cast<long>(watched.circles.size()), target);
    if (target > 0) {
      EXPECT_TRUE(SameCircle(watched.circles.back(), whole.circles[target - 1])) << target;
    }
  }
  unfolding.PaintUpTo(UnfoldingFigure::kSteps + 5, watched);
  EXPECT_TRUE(unfolding.Complete());
  ASSERT_EQ(watched.circles.size(), whole.circles.size());
  for (std::size_t i = 0; i < whole.circles.size(); ++i) {
    ASSERT_TRUE(SameCircle(watched.circles[i], whole.circles[i])) << i;
  }
  EXPECT_EQ(std::memcmp(&unfolding.directions(), &left, sizeof left), 0);
}

// The pixels of an unfolded figure are those of the figure painted at once.
TEST(UnfoldingFigure, EndsWithTheSamePixelsAsTheFigurePaintedAtOnce) {
  const FigureStart start = AStart();
  RasterSurface atOnce(RasterSurface::kSize, RasterSurface::kSize, 1.5), unfolded(RasterSurface::kSize, RasterSurface::kSize, 1.5);
  ASSERT_EQ(atOnce.SetFillSolid(), Status::kOk);
  ASSERT_EQ(unfolded.SetFillSolid(), Status::kOk);
  (void)RepaintFigure(start, atOnce);
  UnfoldingFigure unfolding(start);
  for (long steps = 0; !unfolding.Complete(); steps += 8191) unfolding.PaintUpTo(steps, unfolded);
  const std::size_t bytes = sizeof(std::uint32_t) * atOnce.Width() * atOnce.Height();
  EXPECT_EQ(std::memcmp(atOnce.Bits(), unfolded.Bits(), bytes), 0);
}

// Cut short anywhere, even inside a block, the rest computed leaves the directions of the
// whole figure, from which the next figure starts.
TEST(UnfoldingFigure, SkippingTheRestLeavesTheWholeFiguresDirections) {
  const FigureStart start = AStart();
  RecordingSurface whole;
  const Directions left = RepaintFigure(start, whole);
  for (const long cut : {0L, 1L, 300L, 100000L, 250001L, UnfoldingFigure::kSteps}) {
    UnfoldingFigure unfolding(start);
    RecordingSurface watched;
    unfolding.PaintUpTo(cut, watched);
    unfolding.Skip();
    EXPECT_TRUE(unfolding.Complete());
    EXPECT_EQ(static_cast<long>(watched.circles.size()), cut) << "skipping paints nothing";
    EXPECT_EQ(std::memcmp(&unfolding.directions(), &left, sizeof left), 0) << cut;
  }
}

}  // namespace
}  // namespace tavelune
