#include <gtest/gtest.h>

#include <cstring>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "surface/one_colour_disc.h"
#include "surface/raster_surface.h"

namespace tavelune {
namespace {

const Colour kBlack = ComposeColor(0, 0, 0);
const Colour kRim = ComposeColor(200, 10, 10);
const Colour kFill = ComposeColor(10, 200, 10);
const Colour kOld = ComposeColor(10, 10, 200);

// The surface as text, one character a pixel: R rim, F fill, . black, o anything else.
std::string Picture(const RasterSurface& s) {
  std::string out;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const Colour c = s.At(x, y);
      out += c == kRim ? 'R' : c == kFill ? 'F' : c == kBlack ? '.' : 'o';
    }
    out += '\n';
  }
  return out;
}

std::string Uniform(int w, int h, char c) {
  std::string out;
  for (int y = 0; y < h; ++y) out += std::string(w, c) + '\n';
  return out;
}

std::vector<std::uint32_t> Copy(const RasterSurface& s) {
  return {s.Bits(), s.Bits() + static_cast<std::size_t>(s.Width()) * s.Height()};
}

// The rasterisation rule pixel by pixel at device pixels, with none of the raster's spans,
// tables or clipping.
void ReferenceCircle(std::vector<Colour>& px, int w, int h, float x, float y, float r, Colour rim,
                     const Colour* fill, double scale = 1) {
  const double cx = std::nearbyint(double(x) * (16 * scale)), cy = std::nearbyint(double(y) * (16 * scale));
  const double outer = 16 * scale * r + 8, inner = 16 * scale * r - 8;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const double dx = 16.0 * i + 8 - cx, dy = 16.0 * j + 8 - cy;
      const double d2 = dx * dx + dy * dy;
      if (d2 > outer * outer) continue;
      if (inner >= 0 && d2 <= inner * inner) {
        if (fill) px[j * w + i] = *fill;
      } else {
        px[j * w + i] = rim;
      }
    }
  }
}

TEST(RasterSurface, StartsBlackWithOutlinesOnly) {
  RasterSurface s(4, 3);
  EXPECT_EQ(Picture(s), "....\n....\n....\n");
  EXPECT_FALSE(s.FillSolid());
  EXPECT_EQ(s.Bits()[0], 0xff000000u);  // opaque, as an RGB32 image wants it
}

TEST(RasterSurface, PaintsSmallCirclesExactly) {
  RasterSurface s(7, 7);
  ASSERT_EQ(s.SetFillSolid(), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
  ASSERT_EQ(s.DrawCircle(3.5f, 3.5f, 2.0f, kRim), Status::kOk);
  EXPECT_EQ(Picture(s),
            ".......\n"
            "..RRR..\n"
            ".RFFFR.\n"
            ".RFFFR.\n"
            ".RFFFR.\n"
            "..RRR..\n"
            ".......\n");
  ASSERT_EQ(s.Clear(), Status::kOk);
  ASSERT_EQ(s.DrawCircle(1.5f, 1.5f, 1.0f, kRim), Status::kOk);
  EXPECT_EQ(Picture(s).substr(0, 32), "RRR....\nRFR....\nRRR....\n.......\n");
}

// Centred on a pixel, radius 5 is 11 pixels across, and 21 device pixels at scale 2.
TEST(RasterSurface, RadiusFiveIsElevenPixelsAcross) {
  for (const int scale : {1, 2}) {
    RasterSurface s(20, 20, scale);
    const int centre = 10 * scale;
    ASSERT_EQ(s.SetFillSolid(), Status::kOk);
    ASSERT_EQ(s.SetFillColor(kRim), Status::kOk);
    const float at = (centre + 0.5f) / scale;
    ASSERT_EQ(s.DrawCircle(at, at, 5.0f, kRim), Status::kOk);
    int across = 0, down = 0;
    for (int i = 0; i < s.Width(); ++i) {
      across += s.At(i, centre) == kRim;
      down += s.At(centre, i) == kRim;
    }
    EXPECT_EQ(across, 10 * scale + 1);
    EXPECT_EQ(down, 10 * scale + 1);
    EXPECT_EQ(s.At(centre - 5 * scale, centre), kRim);
    EXPECT_EQ(s.At(centre - 5 * scale - 1, centre), kBlack);
  }
}

TEST(RasterSurface, WithoutSolidFillOnlyTheRimIsPainted) {
  RasterSurface s(7, 7);
  ASSERT_EQ(s.SetBackColor(kOld), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
  ASSERT_EQ(s.DrawCircle(3.5f, 3.5f, 2.0f, kRim), Status::kOk);
  EXPECT_EQ(Picture(s),
            "ooooooo\n"
            "ooRRRoo\n"
            "oRoooRo\n"
            "oRoooRo\n"
            "oRoooRo\n"
            "ooRRRoo\n"
            "ooooooo\n");
}

TEST(RasterSurface, ADiscInItsFillColourIsOneSolidDiscAndLaterDiscsCoverEarlierOnes) {
  RasterSurface s(12, 7);
  ASSERT_EQ(s.SetFillSolid(), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kRim), Status::kOk);
  ASSERT_EQ(s.DrawCircle(3.5f, 3.5f, 2.0f, kRim), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
  ASSERT_EQ(s.DrawCircle(6.5f, 3.5f, 2.0f, kFill), Status::kOk);
  EXPECT_EQ(Picture(s),
            "............\n"
            "..RRRFFF....\n"
            ".RRRFFFFF...\n"
            ".RRRFFFFF...\n"
            ".RRRFFFFF...\n"
            "..RRRFFF....\n"
            "............\n");
}

TEST(RasterSurface, ClearAndBackColourRepaintEverythingButKeepTheFillState) {
  RasterSurface s(30, 30);
  ASSERT_EQ(s.SetFillSolid(), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
  ASSERT_EQ(s.DrawCircle(15, 15, 5, kRim), Status::kOk);
  ASSERT_EQ(s.SetBackColor(kOld), Status::kOk);
  EXPECT_EQ(Picture(s), Uniform(30, 30, 'o'));
  ASSERT_EQ(s.DrawCircle(15, 15, 5, kRim), Status::kOk);
  ASSERT_EQ(s.Clear(), Status::kOk);
  EXPECT_EQ(Picture(s), Uniform(30, 30, 'o'));
  EXPECT_TRUE(s.FillSolid());
  EXPECT_EQ(s.FillColor(), kFill);
}

TEST(RasterSurface, BadArgumentsFailAndChangeNothing) {
  RasterSurface s(40, 40);
  ASSERT_EQ(s.SetFillSolid(), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
  ASSERT_EQ(s.DrawCircle(20, 20, 8, kRim), Status::kOk);
  const auto before = Copy(s);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(s.DrawCircle(nan, 20, 5, kRim), Status::kFailed);
  EXPECT_EQ(s.DrawCircle(20, inf, 5, kRim), Status::kFailed);
  EXPECT_EQ(s.DrawCircle(20, 20, nan, kRim), Status::kFailed);
  EXPECT_EQ(s.DrawCircle(20, 20, inf, kRim), Status::kFailed);
  EXPECT_EQ(s.DrawCircle(20, 20, -0.5f, kRim), Status::kFailed);
  EXPECT_EQ(s.DrawCircle(20, 20, 5, Colour{0x01000000u}), Status::kFailed);
  EXPECT_EQ(s.SetBackColor(Colour{0xff000000u}), Status::kFailed);
  EXPECT_EQ(s.SetFillColor(Colour{0x12345678u}), Status::kFailed);
  EXPECT_EQ(Copy(s), before);
  EXPECT_EQ(s.FillColor(), kFill);
  EXPECT_EQ(s.BackColor(), kBlack);
}

TEST(RasterSurface, HugeFiniteValuesAreClippedNotOverflowed) {
  RasterSurface s(16, 16);
  ASSERT_EQ(s.SetFillSolid(), Status::kOk);
  ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
  const float big = std::numeric_limits<float>::max();
  EXPECT_EQ(s.DrawCircle(big, -big, 5, kRim), Status::kOk);
  EXPECT_EQ(s.DrawCircle(1e30f, 1e30f, 1e20f, kRim), Status::kOk);
  EXPECT_EQ(Picture(s), Uniform(16, 16, '.'));
  // A circle around the whole surface paints it all in the fill colour.
  EXPECT_EQ(s.DrawCircle(8, 8, big, kRim), Status::kOk);
  EXPECT_EQ(s.At(0, 0), kFill);
  EXPECT_EQ(s.At(15, 15), kFill);
  // The rim of a circle centred far off the surface still lands on the right column.
  EXPECT_EQ(s.DrawCircle(-1e6f, 8.5f, 1e6f + 3, kRim), Status::kOk);
  EXPECT_EQ(s.At(3, 8), kRim);
  EXPECT_EQ(s.At(2, 8), kFill);
  EXPECT_EQ(s.At(4, 8), kFill);
}

// The table and the clipped path both against the per-pixel rule, over random discs that
// often stand on or beyond an edge, at device pixels of several scales.
TEST(RasterSurface, EqualsThePerPixelRuleOverRandomCircles) {
  constexpr int kW = 37, kH = 29;
  std::mt19937 gen(20261208);
  std::uniform_real_distribution<float> pos(-12.0f, 50.0f);
  std::uniform_real_distribution<float> radius(0.0f, 14.0f);
  std::uniform_int_distribution<int> byte(0, 255), coin(0, 3);
  for (const double scale : {1.0, 1.5, 2.0}) {
    for (int round = 0; round < 40; ++round) {
      RasterSurface s(kW, kH, scale);
      const int w = s.Width(), h = s.Height();
      ASSERT_EQ(w, static_cast<int>(std::lround(kW * scale)));
      std::vector<Colour> ref(w * h, kBlack);
      const bool solid = coin(gen) != 0;
      if (solid) {
        ASSERT_EQ(s.SetFillSolid(), Status::kOk);
      }
      for (int n = 0; n < 40; ++n) {
        const Colour rim = ComposeColor(byte(gen), byte(gen), byte(gen));
        const Colour fill = coin(gen) == 0 ? ComposeColor(byte(gen), byte(gen), byte(gen)) : rim;
        const float r = coin(gen) < 2 ? 5.0f : radius(gen);
        // Half of the centres on a 1/32 grid, so ties in the snapping and exact rims turn up.
        const float x = coin(gen) < 2 ? std::round(pos(gen) * 32) / 32 : pos(gen);
        const float y = coin(gen) < 2 ? std::round(pos(gen) * 32) / 32 : pos(gen);
        ASSERT_EQ(s.SetFillColor(fill), Status::kOk);
        ASSERT_EQ(s.DrawCircle(x, y, r, rim), Status::kOk);
        ReferenceCircle(ref, w, h, x, y, r, rim, solid ? &fill : nullptr, scale);
        for (int j = 0; j < h; ++j) {
          for (int i = 0; i < w; ++i) {
            ASSERT_EQ(Rgb(s.At(i, j)), Rgb(ref[j * w + i]))
                << "pixel " << i << "," << j << " after circle (" << x << ", " << y << ") r " << r << " at scale "
                << scale;
          }
        }
      }
    }
  }
}

TEST(RasterSurface, TheFastPathEqualsTheRuleAtEverySubpixelPosition) {
  for (int fy = 0; fy < 16; ++fy) {
    for (int fx = 0; fx < 16; ++fx) {
      RasterSurface s(20, 20);
      std::vector<Colour> ref(400, kBlack);
      ASSERT_EQ(s.SetFillSolid(), Status::kOk);
      ASSERT_EQ(s.SetFillColor(kFill), Status::kOk);
      const float x = 10 + fx / 16.0f, y = 9 + fy / 16.0f;
      ASSERT_EQ(s.DrawCircle(x, y, 5, kRim), Status::kOk);
      ReferenceCircle(ref, 20, 20, x, y, 5, kRim, &kFill);
      for (int j = 0; j < 20; ++j) {
        for (int i = 0; i < 20; ++i) ASSERT_EQ(s.At(i, j), ref[j * 20 + i]) << fx << "," << fy;
      }
    }
  }
}

// Each painter this processor can run, against the table's spans, with the disc's
// neighbours watched for stray writes, for the tables of several scales; whole discs, and
// the runs of rows that the threads of a figure paint.
TEST(OneColourDisc, EveryPainterPaintsExactlyTheTablesSpans) {
  constexpr int kSide = 128, kCentre = 60;
  constexpr std::uint32_t kInk = 0xff123456u, kPaper = 0xffabcdefu;
  for (const double scale : {1.0, 1.5, 2.0, 3.0, 8.0}) {
    const DiscTable table(16 * scale * 5 + 8, 16 * scale * 5 - 8);
    ASSERT_LE(-table.FirstRow(), kCentre);
    for (const CpuPath path : kCpuPaths) {
      if (!CpuRuns(path)) continue;
      const OneColourDiscPainter paint = OneColourDiscFor(path);
      for (int position = 0; position < 256; position += scale == 1 ? 1 : 7) {
        const DiscRow* rows = table.At(position % 16, position / 16);
        std::vector<std::uint32_t> got(kSide * kSide, kPaper), want = got;
        const int first = position % 4 == 1 ? position % 3 : 0;
        const int end = position % 4 == 2 ? table.Rows() - 1 - position % 5 : table.Rows();
        paint(got.data() + (kCentre + table.FirstRow() + first) * kSide + kCentre, kSide, table, position % 16,
              position / 16, kInk, first, end);
        for (int k = first; k < end; ++k) {
          const int y = kCentre + table.FirstRow() + k;
          for (int x = kCentre + rows[k].outer_begin; x < kCentre + rows[k].outer_end; ++x) want[y * kSide + x] = kInk;
        }
        ASSERT_EQ(got, want) << NameOf(path) << ", scale " << scale << ", sub-pixel position " << position;
      }
    }
  }
}

struct FigureDisc {
  float x, y;
  Colour c;
};

// Overlapping discs down a 100 x 100 surface, from above its top to below its bottom,
// swinging from edge to edge, each in a colour of its own.
std::vector<FigureDisc> SnakeOfDiscs() {
  std::vector<FigureDisc> discs;
  for (float y = -6; y < 106; y += 0.37f) {
    const int n = static_cast<int>(discs.size());
    discs.push_back({50 + 47 * std::sin(y), y, ComposeColor(n % 256, n * 7 % 256, n * 13 % 256)});
  }
  return discs;
}

// The bands of two or three threads together paint exactly what one figure disc paints:
// discs straddling every strip boundary, near the surface's edges (the clipped path) and
// past them, each pixel once, and none outside the disc.
TEST(RasterSurface, BandsTogetherPaintEachDiscExactlyOnce) {
  const std::vector<FigureDisc> discs = SnakeOfDiscs();
  for (const double scale : {1.0, 1.5, 2.0}) {
    for (const int count : {2, 3}) {
      RasterSurface whole(100, 100, scale);
      ASSERT_EQ(whole.SetFillSolid(), Status::kOk);
      for (const FigureDisc& d : discs) {
        ASSERT_EQ(whole.SetFillColor(d.c), Status::kOk);
        ASSERT_EQ(whole.DrawCircle(d.x, d.y, RasterSurface::kTableRadius, d.c), Status::kOk);
      }
      // Each band alone: its own rows exactly as the whole, every other row untouched.
      for (int which = 0; which < count; ++which) {
        RasterSurface band(100, 100, scale);
        for (const FigureDisc& d : discs) band.PaintFigureDisc(d.x, d.y, d.c, {which, count});
        for (int row = 0; row < whole.Height(); ++row) {
          const bool mine = row / RasterSurface::kStripRows % count == which;
          for (int x = 0; x < whole.Width(); ++x) {
            ASSERT_EQ(band.At(x, row), mine ? whole.At(x, row) : ComposeColor(0, 0, 0))
                << "scale " << scale << ", band " << which << " of " << count << ", row " << row << ", column " << x;
          }
        }
      }
    }
  }
}

// Consecutive runs of discs on layers 0, 1 and 2, laid over the surface in rows merged
// apart, give the discs painted in order; the merge leaves the layers clear, so that what is
// next painted on the surface alone is not covered again.
TEST(RasterSurface, LayersMergedInOrderGiveTheDiscsInOrder) {
  const std::vector<FigureDisc> discs = SnakeOfDiscs();
  const int n = static_cast<int>(discs.size());
  for (const double scale : {1.0, 1.5, 2.0}) {
    RasterSurface whole(100, 100, scale), layered(100, 100, scale);
    ASSERT_EQ(whole.SetFillSolid(), Status::kOk);
    layered.ReserveLayers(3);
    ASSERT_EQ(layered.Layers(), 3);
    for (int i = 0; i < n; ++i) {
      whole.PaintFigureDisc(discs[i].x, discs[i].y, discs[i].c, RasterSurface::Band{});
      layered.PaintFigureDisc(discs[i].x, discs[i].y, discs[i].c, 3 * i / n);
    }
    layered.MergeLayers(0, 7);
    layered.MergeLayers(7, layered.Height());
    const std::size_t bytes = sizeof(std::uint32_t) * whole.Width() * whole.Height();
    EXPECT_EQ(std::memcmp(whole.Bits(), layered.Bits(), bytes), 0) << "scale " << scale;
    for (const FigureDisc& d : discs) {
      whole.PaintFigureDisc(d.y, d.x, kOld, RasterSurface::Band{});
      layered.PaintFigureDisc(d.y, d.x, kOld, 0);
    }
    layered.MergeLayers(0, layered.Height());
    EXPECT_EQ(std::memcmp(whole.Bits(), layered.Bits(), bytes), 0) << "scale " << scale << ", painted again";
  }
}

TEST(RasterSurface, AScaleOutOfRangeCountsAsOne) {
  for (const double bad : {0.0, 0.2, -2.0, 8.5, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
    const RasterSurface s(500, 500, bad);
    EXPECT_EQ(s.Scale(), 1.0);
    EXPECT_EQ(s.Width(), 500);
  }
  EXPECT_EQ(RasterSurface(500, 500, 1.25).Width(), 625);
  EXPECT_EQ(RasterSurface(500, 500, 0.25).Height(), 125);
  EXPECT_EQ(RasterSurface(500, 500, 8).Width(), 4000);
}

}  // namespace
}  // namespace tavelune
