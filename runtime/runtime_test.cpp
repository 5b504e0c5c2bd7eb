#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "runtime/bit_cast.h"
#include "runtime/colour.h"
#include "runtime/fastest_path.h"
#include "runtime/random_source.h"
#include "runtime/rounding.h"
#include "runtime/runtime.h"
#include "runtime/runtime_fakes.h"
#include "runtime/sine_block.h"

namespace tavelune {
namespace {

TEST(ComposeColor, PacksComponentsAndClampsThemToOneByte) {
  EXPECT_EQ(Rgb(ComposeColor(0x12, 0x34, 0x56)), 0x123456u);
  EXPECT_EQ(ComposeColor(256, 0, 0), ComposeColor(255, 0, 0));
  EXPECT_EQ(Rgb(ComposeColor(256, 0, 0)), 0xff0000u);
  EXPECT_EQ(Rgb(ComposeColor(1000, 300, 256)), 0xffffffu);
  // A negative component counts as 0 instead of borrowing from its neighbour.
  EXPECT_EQ(Rgb(ComposeColor(-1, 0, 0)), 0u);
  EXPECT_EQ(Rgb(ComposeColor(0, 128, -300)), 0x008000u);
}

TEST(RoundToInt16, RoundsHalvesToEven) {
  struct Case {
    float in;
    int out;
  };
  for (const Case c : {Case{2.5f, 2}, {3.5f, 4}, {127.5f, 128}, {128.5f, 128}, {255.5f, 256},
                       {-2.5f, -2}, {255.49f, 255}, {0.0f, 0}, {-0.4f, 0}, {32767.4f, 32767},
                       {-32768.5f, -32768}}) {
    const auto r = RoundToInt16(c.in);
    ASSERT_TRUE(r.has_value()) << c.in;
    EXPECT_EQ(*r, c.out) << c.in;
  }
}

TEST(RoundToInt16, ReportsValuesItCannotRepresent) {
  for (const float v : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity(), 32767.5f, 40000.0f, -32769.0f, 1e30f}) {
    EXPECT_FALSE(RoundToInt16(v).has_value()) << v;
  }
}

std::vector<float> Draws(RandomSource& random, int n) {
  std::vector<float> out;
  for (int i = 0; i < n; ++i) out.push_back(random.Next());
  return out;
}

TEST(Pcg32Source, MatchesThePublishedPcg32Outputs) {
  // pcg32-demo seeded with initstate 42, initseq 54 prints 0xa15c02b7 0x7b47f409 0xba1d3330
  // 0x83d2f293 0xbfa4784b 0xcbed606e; Next() keeps the top 24 bits.
  constexpr std::uint64_t kMul = 6364136223846793005ULL;
  constexpr std::uint64_t kInc = (54u << 1) | 1u;
  const std::uint64_t state = ((0 * kMul + kInc) + 42) * kMul + kInc;
  Pcg32Source random(state, kInc);
  for (const std::uint32_t expected : {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu, 0xcbed606eu}) {
    EXPECT_EQ(random.Next(), static_cast<float>(expected >> 8) * 0x1p-24f);
  }
}

TEST(Pcg32Source, IsDeterministicFromAKnownState) {
  Pcg32Source a, b;
  ASSERT_EQ(a.Reseed(4711.25f), Status::kOk);
  ASSERT_EQ(b.Reseed(4711.25f), Status::kOk);
  EXPECT_EQ(Draws(a, 50), Draws(b, 50));
}

TEST(Pcg32Source, DifferentSeedsGiveDifferentSequences) {
  Pcg32Source a, b;
  ASSERT_EQ(a.Reseed(43200.0f), Status::kOk);
  ASSERT_EQ(b.Reseed(43200.0078125f), Status::kOk);  // one float step apart late in the day
  EXPECT_NE(Draws(a, 12), Draws(b, 12));
}

TEST(Pcg32Source, ReseedingWithTheSameValueTwiceStillGivesANewSequence) {
  Pcg32Source random;
  ASSERT_EQ(random.Reseed(80000.5f), Status::kOk);
  const auto first = Draws(random, 12);
  ASSERT_EQ(random.Reseed(80000.5f), Status::kOk);
  EXPECT_NE(Draws(random, 12), first);
  // Even with no draw in between.
  Pcg32Source a, b;
  ASSERT_EQ(a.Reseed(1.0f), Status::kOk);
  ASSERT_EQ(b.Reseed(1.0f), Status::kOk);
  ASSERT_EQ(b.Reseed(1.0f), Status::kOk);
  EXPECT_NE(Draws(a, 12), Draws(b, 12));
}

TEST(Pcg32Source, RefusesASeedThatIsNotFiniteAndKeepsItsState) {
  Pcg32Source a, b;
  EXPECT_EQ(a.Reseed(std::numeric_limits<float>::quiet_NaN()), Status::kFailed);
  EXPECT_EQ(a.Reseed(std::numeric_limits<float>::infinity()), Status::kFailed);
  EXPECT_EQ(Draws(a, 12), Draws(b, 12));
}

TEST(Pcg32Source, DrawsAreUniformInTheHalfOpenUnitInterval) {
  Pcg32Source random;
  ASSERT_EQ(random.Reseed(12345.0f), Status::kOk);
  constexpr int kDraws = 200000;
  constexpr int kBins = 10;
  int bins[kBins] = {};
  for (int i = 0; i < kDraws; ++i) {
    const float u = random.Next();
    ASSERT_GE(u, 0.0f);
    ASSERT_LT(u, 1.0f);
    ++bins[static_cast<int>(u * kBins)];
  }
  // Each bin expects 20,000 with a standard deviation near 134; 1,000 is over 7 of them.
  for (const int count : bins) EXPECT_NEAR(count, kDraws / kBins, 1000);
}

TEST(SystemClock, TellsSecondsSinceMidnight) {
  SystemClock clock;
  const auto now = clock.SecondsSinceMidnight();
  ASSERT_TRUE(now.has_value());
  EXPECT_GE(*now, 0.0f);
  EXPECT_LT(*now, 86401.0f);  // a leap second may stand at 86400
}

TEST(ReseedFromClock, SeedsWithTheTimeOfDayAndFailsWithoutOne) {
  testing::FixedClock noon(43200.0f), broken(std::nullopt);
  Pcg32Source a, b, c;
  ASSERT_EQ(ReseedFromClock({noon, a}), Status::kOk);
  ASSERT_EQ(b.Reseed(43200.0f), Status::kOk);
  EXPECT_EQ(Draws(a, 12), Draws(b, 12));
  EXPECT_EQ(ReseedFromClock({broken, c}), Status::kFailed);
  Pcg32Source untouched;
  EXPECT_EQ(Draws(c, 12), Draws(untouched, 12));
}

TEST(SineBlock, AgreesWithTheStandardLibrary) {
  std::vector<double> x = {0.0, -0.0, 1e-300, 0.785398163397448, 0.785398163397449, 1.5707963267948966,
                           3.141592653589793, -3.141592653589793, 4.71238898038469, 6.286, 904.0, -12345.678};
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> any(-1000.0, 1000.0);
  while (x.size() < 5000) x.push_back(any(gen));
  std::vector<double> s(x.size()), c(x.size());
  Sines(x.data(), s.data(), static_cast<int>(x.size()));
  Cosines(x.data(), c.data(), static_cast<int>(x.size()));
  for (std::size_t i = 0; i < x.size(); ++i) {
    EXPECT_NEAR(s[i], std::sin(x[i]), 4e-16) << x[i];
    EXPECT_NEAR(c[i], std::cos(x[i]), 4e-16) << x[i];
  }
}

// Every path this processor runs gives the baseline's bits, for block lengths that leave
// every vector remainder, over arguments far past the figures' range.
TEST(SineBlock, EveryPathGivesTheBaselinesBits) {
  std::mt19937_64 gen(8);
  std::uniform_real_distribution<double> any(-1e5, 1e5), small(-7.0, 7.0);
  std::vector<double> x(1031);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = i % 2 ? any(gen) : small(gen);
  for (const int n : {1, 3, 7, 8, 15, 16, 17, 256, 1031}) {
    std::vector<double> want(n), got(n);
    for (const bool sine : {true, false}) {
      auto run = [&](CpuPath path, double* out) {
        sine ? Sines(path, x.data(), out, n) : Cosines(path, x.data(), out, n);
      };
      run(CpuPath::kBaseline, want.data());
      for (const CpuPath path : kCpuPaths) {
        if (!CpuRuns(path)) continue;
        std::fill(got.begin(), got.end(), 0.0);
        run(path, got.data());
        for (int i = 0; i < n; ++i) {
          ASSERT_EQ(BitCast<std::uint64_t>(got[i]), BitCast<std::uint64_t>(want[i]))
              << NameOf(path) << (sine ? " sine of " : " cosine of ") << x[i];
        }
      }
    }
  }
}

// Fake timings, round after round for each path, with the paths the processor runs: the
// fastest is taken by its best round, the simpler path on a tie, never one it lacks; a path
// that is the only one, or one that is forced, is not timed at all.
TEST(FastestPath, TakesTheFastestRunnablePathByItsBestRoundTheSimplerOnATie) {
  constexpr CpuPath B = CpuPath::kBaseline, A2 = CpuPath::kAvx2, A5 = CpuPath::kAvx512;
  const struct {
    const char* what;
    std::vector<CpuPath> runs;
    std::vector<double> baseline, avx2, avx512;  // seconds, round by round
    std::optional<CpuPath> forced;
    CpuPath want;
  } cases[] = {
      {"the baseline fastest", {B, A2, A5}, {10, 10}, {12, 12}, {11, 11}, {}, B},
      {"AVX2 fastest, as where a masked store is microcoded", {B, A2, A5}, {10, 10}, {6, 6}, {30, 30}, {}, A2},
      {"AVX-512 fastest", {B, A2, A5}, {10, 10}, {8, 8}, {5, 5}, {}, A5},
      {"the fastest path not on this processor", {B, A2}, {10, 10}, {8, 8}, {1, 1}, {}, A2},
      {"a tie with the baseline", {B, A2, A5}, {10, 10}, {9.8, 9.8}, {9.9, 9.9}, {}, B},
      {"a tie between the vector paths", {B, A2, A5}, {10, 10}, {6, 6}, {5.9, 5.9}, {}, A2},
      {"a round disturbed", {B, A2, A5}, {10, 10, 10}, {6, 40, 6}, {8, 8, 90}, {}, A2},
      {"a machine slowing down", {B, A2, A5}, {10, 20, 30}, {8, 16, 24}, {9, 18, 27}, {}, A2},
      {"the baseline alone", {B}, {}, {}, {}, {}, B},
      {"a forced path", {B, A2, A5}, {}, {}, {}, B, B},
      {"a forced path, slower than another", {B, A2, A5}, {}, {}, {}, A5, A5},
  };
  for (const auto& c : cases) {
    std::map<CpuPath, std::vector<double>> times = {{B, c.baseline}, {A2, c.avx2}, {A5, c.avx512}};
    std::map<CpuPath, std::size_t> rounds;
    const RoundTimer timer = [&](CpuPath path) {
      EXPECT_LT(rounds[path], times[path].size()) << c.what << ": " << NameOf(path) << " timed once too often";
      const std::size_t round = rounds[path]++;
      return round < times[path].size() ? times[path][round] : 0.0;
    };
    const PathFilter runs = [&](CpuPath path) {
      return std::find(c.runs.begin(), c.runs.end(), path) != c.runs.end();
    };
    const int n = static_cast<int>(c.baseline.size());
    const CpuPath got = c.forced ? ChoosePath(c.forced, timer) : FastestPath(runs, timer, n);
    EXPECT_EQ(NameOf(got), NameOf(c.want)) << c.what;
    for (const CpuPath path : kCpuPaths) {
      EXPECT_EQ(rounds[path], runs(path) ? times[path].size() : 0) << c.what << ": " << NameOf(path);
    }
  }
}

}  // namespace
}  // namespace tavelune
