#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "figure/draw_figure.h"
#include "figure/figure_constants.h"
#include "figure/figure_fakes.h"
#include "figure/step_block.h"
#include "figure/stroke.h"
#include "runtime/random_source.h"
#include "runtime/rounding.h"
#include "surface/raster_surface.h"

// Every allocation of this test program is counted, so that a test can tell that painting a
// figure allocates nothing.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // GCC takes malloc with free in them for one
#endif
static std::atomic<long> allocations{0};
void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tavelune {
namespace {

using testing::FixedClock;
using testing::RecordingSurface;
using testing::ScriptedSource;

constexpr std::size_t kDiscs = figure::kStrokes * figure::kStepsPerStroke;

struct Centre {
  double px, py;
};

// The plain evaluation of one step's centre, with the standard library's sin and cos.
Centre ReferenceCentre(const Stroke& s) {
  const double x = s.radius * std::cos(s.angle + std::sin(static_cast<double>(s.phaseA)));
  const double y = s.radius * std::sin(s.angle + std::cos(static_cast<double>(s.phaseB)));
  return {(x + 3) * (500.0 / 6), (3 - y) * (500.0 / 6)};
}

// The centre that the figure computes for the next step of `s`.
Centre NextCentre(Stroke& s, Directions& d) {
  StepBlock block;
  block.Advance(s, d, 1);
  block.Place();
  return {block.px[0], block.py[0]};
}

// The worked values: every draw 0, directions all +1.
TEST(Stroke, WorkedValuesWithEveryDrawZero) {
  ScriptedSource zero({0.0f});
  Directions d;
  Stroke s = Stroke::Draw(zero);
  EXPECT_EQ(s.radius, 1.0);
  EXPECT_EQ(s.angle, 0.0);
  EXPECT_EQ(s.angleSpeed, 0.0);
  EXPECT_EQ(s.phaseA, 0.0f);
  EXPECT_EQ(s.phaseB, 0.0f);
  EXPECT_EQ(static_cast<double>(s.phaseStep), 0.0020000000949949026);
  EXPECT_EQ(s.red, 0.0f);
  EXPECT_EQ(s.redStep, 0.0f);
  const Centre c = NextCentre(s, d);
  EXPECT_NEAR(s.radius, 1.000005, 1e-12);
  EXPECT_EQ(s.phaseA, 0.002f);
  EXPECT_EQ(s.phaseB, 0.002f);
  EXPECT_NEAR(c.px, 333.33358, 5e-6);
  EXPECT_NEAR(c.py, 179.87716, 5e-6);
  EXPECT_NEAR(c.px / figure::kPixelsPerUnit - 3, 1.0000030, 5e-8);
  EXPECT_NEAR(3 - c.py / figure::kPixelsPerUnit, 0.8414741, 5e-8);
  EXPECT_EQ(s.red, 0.0f);
  EXPECT_EQ(d.fre, 1);
  EXPECT_EQ(d.fgr, 1);
  EXPECT_EQ(d.fbl, 1);
}

// The worked values: every draw 0.5, directions all +1.
TEST(Stroke, WorkedValuesWithEveryDrawOneHalf) {
  ScriptedSource half({0.5f});
  Directions d;
  Stroke s = Stroke::Draw(half);
  EXPECT_EQ(s.radius, 1.9);
  EXPECT_EQ(s.angle, 3.143);
  EXPECT_EQ(s.angleSpeed, 0.000005);
  EXPECT_EQ(s.phaseA, 2.0f);
  EXPECT_EQ(s.phaseB, 2.0f);
  EXPECT_NEAR(s.phaseStep, 0.00549999997, 1e-11);
  EXPECT_EQ(s.red, 128.0f);
  EXPECT_EQ(s.blueStep, static_cast<float>(1.0 / 600));
  const Centre c = NextCentre(s, d);
  EXPECT_NEAR(s.radius, 1.900005, 1e-12);
  EXPECT_NEAR(s.phaseA, 2.0055001, 5e-8);
  EXPECT_NEAR(c.px / figure::kPixelsPerUnit - 3, -1.1685078, 5e-8);
  EXPECT_NEAR(3 - c.py / figure::kPixelsPerUnit, 0.7742774, 5e-8);
  EXPECT_NEAR(c.px, 152.62435, 5e-6);
  EXPECT_NEAR(c.py, 185.47689, 5e-6);
  EXPECT_NEAR(s.red, 128.00166, 5e-6);
  EXPECT_EQ(s.green, s.red);
  EXPECT_EQ(s.blue, s.red);
}

TEST(DrawFigure, FirstDiscOfTheWorkedFigureReachesTheSurfaceAsSingles) {
  ScriptedSource half({0.5f});
  FixedClock clock;
  RecordingSurface surface;
  Directions d;
  ASSERT_EQ(DrawFigure(d, surface, {clock, half}), Status::kOk);
  ASSERT_EQ(surface.circles.size(), kDiscs);
  const auto& first = surface.circles.front();
  EXPECT_EQ(first.x, static_cast<float>(152.62435));  // both within half a float step
  EXPECT_NEAR(first.y, 185.47689f, 1e-5f);
  EXPECT_EQ(first.radius, 5.0f);
  EXPECT_EQ(first.outline, ComposeColor(128, 128, 128));
  EXPECT_EQ(first.fill, first.outline);
}

// Members in draw order, as doubles, so that a test can tell which one a draw went to.
std::vector<double> Members(const Stroke& s) {
  return {s.radius, s.angle, s.angleSpeed, s.phaseA, s.phaseB, s.phaseStep,
          s.red,    s.green, s.blue,       s.redStep, s.greenStep, s.blueStep};
}

TEST(Stroke, TakesItsTwelveDrawsInOrder) {
  // A script of zeros but for one slot moves exactly the member of that slot.
  ScriptedSource zeros({0.0f});
  const std::vector<double> base = Members(Stroke::Draw(zeros));
  for (std::size_t slot = 0; slot < 12; ++slot) {
    std::vector<float> script(12, 0.0f);
    script[slot] = 0.9f;
    ScriptedSource source(script);
    const std::vector<double> members = Members(Stroke::Draw(source));
    EXPECT_EQ(source.draws, 12u);
    for (std::size_t m = 0; m < 12; ++m) {
      EXPECT_EQ(members[m] != base[m], m == slot) << "draw " << slot << ", member " << m;
    }
  }
}

TEST(DrawFigure, ReseedsFromTheClockBeforeItsSixtyDraws) {
  ScriptedSource script({0.25f, 0.75f, 0.5f});
  FixedClock clock(12345.5f);
  RecordingSurface surface;
  Directions d;
  ASSERT_EQ(DrawFigure(d, surface, {clock, script}), Status::kOk);
  ASSERT_EQ(script.seeds, std::vector<float>{12345.5f});
  EXPECT_EQ(script.draws_at_reseed.front(), 0u);
  EXPECT_EQ(script.draws, 5u * 12u);
}

TEST(DrawFigure, AFailingReseedEndsTheFigureBeforeAnyDrawing) {
  FixedClock broken(std::nullopt);
  ScriptedSource script({0.5f});
  RecordingSurface surface;
  Directions d;
  EXPECT_EQ(DrawFigure(d, surface, {broken, script}), Status::kFailed);
  EXPECT_TRUE(surface.circles.empty());
  EXPECT_EQ(script.draws, 0u);
}

TEST(DrawFigure, GoesOnThroughEveryFailingSurfaceCall) {
  FixedClock clock;
  Pcg32Source random;
  RecordingSurface failing(Status::kFailed);
  Directions d;
  EXPECT_EQ(DrawFigure(d, failing, {clock, random}), Status::kOk);
  EXPECT_EQ(failing.fill_calls, kDiscs);
  EXPECT_EQ(failing.circles.size(), kDiscs);
}

TEST(DrawFigure, PaintsAWholeFigureWithoutAllocating) {
  FixedClock clock;
  Pcg32Source random;
  RasterSurface surface;
  ASSERT_EQ(surface.SetFillSolid(), Status::kOk);
  Directions d;
  const long before = allocations.load();
  ASSERT_EQ(DrawFigure(d, surface, {clock, random}), Status::kOk);
  EXPECT_EQ(allocations.load(), before);
  EXPECT_NE(surface.At(250, 250), ComposeColor(0, 0, 0));
}

TEST(DrawFigure, EveryDiscLiesWellInsideTheSurface) {
  FixedClock clock;
  Pcg32Source random;
  Directions d;
  for (int figure = 0; figure < 3; ++figure) {
    RecordingSurface surface;
    ASSERT_EQ(DrawFigure(d, surface, {clock, random}), Status::kOk);
    for (const auto& c : surface.circles) {
      ASSERT_GE(c.x, 16.6f);
      ASSERT_LE(c.x, 483.4f);
      ASSERT_GE(c.y, 16.6f);
      ASSERT_LE(c.y, 483.4f);
      ASSERT_EQ(c.fill, c.outline);
    }
  }
  // The extremes of every draw: the loop at its largest.
  for (const float u : {0.0f, 0.99999994f}) {
    ScriptedSource edge({u});
    RecordingSurface surface;
    Directions fresh;
    ASSERT_EQ(DrawFigure(fresh, surface, {clock, edge}), Status::kOk);
    for (const auto& c : surface.circles) {
      ASSERT_GE(std::min(c.x, c.y), 16.6f);
      ASSERT_LE(std::max(c.x, c.y), 483.4f);
    }
  }
}

TEST(DrawFigure, StartsFromTheDirectionsTheCallerHoldsAndLeavesThemTurned) {
  FixedClock clock;
  ScriptedSource half({0.5f});
  RecordingSurface surface;
  Directions d{-1, -1, -1, -1};
  ASSERT_EQ(DrawFigure(d, surface, {clock, half}), Status::kOk);
  // With fr already -1 the first step shrinks the radius instead of growing it.
  ScriptedSource again({0.5f});
  Stroke s = Stroke::Draw(again);
  Directions expected{-1, -1, -1, -1};
  const Centre c = NextCentre(s, expected);
  EXPECT_EQ(surface.circles.front().x, static_cast<float>(c.px));
  EXPECT_EQ(surface.circles.front().y, static_cast<float>(c.py));
  EXPECT_EQ(d.fr, -1);  // nothing sets it back
}

// The whole figure, one plain step at a time, with the standard library's sin and cos.
RecordingSurface ReferenceFigure(Directions& d, RandomSource& random) {
  RecordingSurface out;
  for (int stroke = 0; stroke < figure::kStrokes; ++stroke) {
    Stroke s = Stroke::Draw(random);
    for (int step = 0; step < figure::kStepsPerStroke; ++step) {
      s.Advance(d);
      const Centre c = ReferenceCentre(s);
      const Colour colour = ComposeColor(*RoundToInt16(s.red), *RoundToInt16(s.green), *RoundToInt16(s.blue));
      (void)out.SetFillColor(colour);
      (void)out.DrawCircle(static_cast<float>(c.px), static_cast<float>(c.py), 5.0f, colour);
    }
  }
  return out;
}

TEST(DrawFigure, MatchesThePlainStepByStepEvaluation) {
  FixedClock clock;
  const std::vector<std::vector<float>> scripts = {
      {0.5f}, {0.9f, 0.1f, 0.99f, 0.3f, 0.7f, 0.999f, 0.2f, 0.6f, 0.01f, 0.95f, 0.5f, 0.05f, 0.42f},
      {0.99999994f, 0.0f, 0.75f}};
  for (const auto& script : scripts) {
    ScriptedSource random(script), same(script);
    Directions d{1, -1, 1, 1}, dRef = d;
    RecordingSurface surface;
    ASSERT_EQ(DrawFigure(d, surface, {clock, random}), Status::kOk);
    const RecordingSurface ref = ReferenceFigure(dRef, same);
    ASSERT_EQ(surface.circles.size(), ref.circles.size());
    float worst = 0;
    for (std::size_t i = 0; i < ref.circles.size(); ++i) {
      const auto &a = surface.circles[i], &b = ref.circles[i];
      ASSERT_EQ(a.outline, b.outline) << "disc " << i;
      ASSERT_EQ(a.fill, b.fill) << "disc " << i;
      worst = std::max({worst, std::abs(a.x - b.x), std::abs(a.y - b.y)});
    }
    EXPECT_LE(worst, 1e-4f);
    EXPECT_EQ(d.fre, dRef.fre);
    EXPECT_EQ(d.fgr, dRef.fgr);
    EXPECT_EQ(d.fbl, dRef.fbl);
    EXPECT_EQ(d.fr, dRef.fr);
  }
}

TEST(StepBlock, BlocksOfAnySizeGiveTheSameSteps) {
  ScriptedSource a({0.3f, 0.8f}), b({0.3f, 0.8f});
  Stroke sa = Stroke::Draw(a), sb = Stroke::Draw(b);
  Directions da, db;
  StepBlock whole, part;
  for (int done = 0; done < 5000; done += whole.size) {
    whole.Advance(sa, da, StepBlock::kCapacity);
    whole.Place();
    for (int k = 0; k < whole.size;) {
      part.Advance(sb, db, std::min(7, whole.size - k));
      part.Place();
      for (int j = 0; j < part.size; ++j, ++k) {
        ASSERT_EQ(whole.px[k], part.px[j]);
        ASSERT_EQ(whole.py[k], part.py[j]);
        ASSERT_EQ(whole.colour[k], part.colour[j]);
      }
    }
  }
  EXPECT_EQ(sa.red, sb.red);
  EXPECT_EQ(sa.radius, sb.radius);
}

TEST(Stroke, ColourBelowTheLowBoundTurnsUpAtOnce) {
  Stroke s{};
  s.red = 1.0f;
  s.redStep = 0.003f;
  Directions d{-1, 1, 1, 1};
  s.Advance(d);
  EXPECT_EQ(d.fre, 1);
  EXPECT_EQ(s.red, 1.003f);
}

TEST(Stroke, ColourAboveTheHighBoundTurnsDownAndComposesAs255) {
  Stroke s{};
  s.radius = 2;
  s.red = 255.7f;
  s.redStep = 0.003f;
  Directions d;
  s.Advance(d);
  EXPECT_EQ(d.fre, -1);
  EXPECT_LT(s.red, 255.7f);
  int steps = 1;
  while (s.red >= 255.5f) {
    s.Advance(d);
    ++steps;
  }
  EXPECT_EQ(steps, 67);  // (255.7 - 255.5) / 0.003, rounded up
  EXPECT_EQ(d.fre, -1);
}

TEST(Stroke, ColoursBounceBetweenTheirBoundsAndNeverGoNegative) {
  Pcg32Source random;
  ASSERT_EQ(random.Reseed(1.0f), Status::kOk);
  Directions d;
  for (int stroke = 0; stroke < 5; ++stroke) {
    Stroke s = Stroke::Draw(random);
    for (int step = 0; step < figure::kStepsPerStroke; ++step) {
      s.Advance(d);
      for (const float c : {s.red, s.green, s.blue}) {
        if (step > 1000) {  // once inside the band, never more than one step beyond it
          ASSERT_GT(c, 2.0f - 1.0f / 300);
          ASSERT_LT(c, 255.0f + 1.0f / 300);
        }
        ASSERT_GE(c, 0.0f);
      }
    }
  }
}

TEST(Stroke, RadiusStartingAboveTheTurnShrinksByHalfOverTheStroke) {
  Stroke s{};
  s.radius = 2.7;
  Directions d;
  s.Advance(d);
  EXPECT_EQ(d.fr, -1);
  EXPECT_NEAR(s.radius, 2.7 - 5e-6, 1e-12);
  for (int step = 1; step < figure::kStepsPerStroke; ++step) s.Advance(d);
  EXPECT_NEAR(s.radius, 2.2, 1e-9);
}

TEST(Stroke, RadiusGrowsPastTheTurnOnceThenShrinksForGood) {
  Stroke s{};
  s.radius = 2.2;
  Directions d;
  int turnedAt = 0;
  double largest = 0;
  for (int step = 1; step <= figure::kStepsPerStroke; ++step) {
    s.Advance(d);
    largest = std::max(largest, s.radius);
    if (d.fr == -1 && turnedAt == 0) turnedAt = step;
  }
  EXPECT_NEAR(turnedAt, 60001, 1);
  EXPECT_LE(largest, 2.5 + 5e-6 + 1e-12);
  // Up until the step that turns it, down from that step on.
  EXPECT_NEAR(s.radius, 2.2 + (2 * turnedAt - 100002) * 5e-6, 1e-9);
  EXPECT_NEAR(s.radius, 2.3, 2e-5);
  // Every later stroke shrinks by exactly half a unit.
  Stroke next{};
  next.radius = 1.5;
  for (int step = 0; step < figure::kStepsPerStroke; ++step) next.Advance(d);
  EXPECT_NEAR(next.radius, 1.0, 1e-9);
  EXPECT_EQ(d.fr, -1);
}

// Known answers, the same on every processor and every path it dispatches to: a change to
// one bit of one disc, one pixel, or the order of either, changes a digest.
TEST(DrawFigure, GivesTheSameDiscsAndPixelsOnEveryProcessor) {
  struct Case {
    std::uint64_t state;
    Directions directions;
    std::uint64_t discs, pixels, pixels2x;
  };
  const Case cases[] = {
      {0x853c49e6748fea9bULL, {1, 1, 1, 1}, 0xcc4c5695c9471983ULL, 0x32d17d31c85a1a24ULL, 0x614a498999a73dc2ULL},
      {42, {-1, 1, -1, 1}, 0x459d1ec79e3878f6ULL, 0x73022793cf5d6ccbULL, 0xc352f10d849b3a35ULL},
      {0xfedcba9876543210ULL, {1, -1, -1, -1}, 0xea331266a75d70afULL, 0x07e5355a5b751929ULL, 0x6da1f2ddf8889a44ULL},
  };
  FixedClock clock(45678.25f);
  for (const Case& c : cases) {
    testing::Digest discs, pixels, pixels2x;
    {
      Pcg32Source random(c.state, 1442695040888963407ULL);
      Directions d = c.directions;
      RecordingSurface surface;
      ASSERT_EQ(DrawFigure(d, surface, {clock, random}), Status::kOk);
      for (const auto& circle : surface.circles) {
        discs.Add(circle.x);
        discs.Add(circle.y);
        discs.Add(circle.radius);
        discs.Add(circle.outline);
        discs.Add(circle.fill);
      }
      discs.Add(d);
    }
    for (const double scale : {1.0, 2.0}) {
      Pcg32Source random(c.state, 1442695040888963407ULL);
      Directions d = c.directions;
      RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, scale);
      ASSERT_EQ(surface.SetFillSolid(), Status::kOk);
      ASSERT_EQ(DrawFigure(d, surface, {clock, random}), Status::kOk);
      testing::Digest& digest = scale == 1 ? pixels : pixels2x;
      const std::size_t n = static_cast<std::size_t>(surface.Width()) * surface.Height();
      for (std::size_t i = 0; i < n; ++i) digest.Add(surface.Bits()[i]);
    }
    EXPECT_EQ(discs.Value(), c.discs) << std::hex << "state " << c.state << ": discs 0x" << discs.Value();
    EXPECT_EQ(pixels.Value(), c.pixels) << std::hex << "state " << c.state << ": pixels 0x" << pixels.Value();
    EXPECT_EQ(pixels2x.Value(), c.pixels2x) << std::hex << "state " << c.state << ": pixels at 2x 0x"
                                            << pixels2x.Value();
  }
}

}  // namespace
}  // namespace tavelune
