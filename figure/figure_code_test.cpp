#include <gtest/gtest.h>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "figure/figure_fakes.h"
#include "runtime/random_source.h"

namespace tavelune {
namespace {

using testing::FixedClock;
using testing::RecordingSurface;
using testing::ScriptedSource;

bool SameDiscs(const RecordingSurface& a, const RecordingSurface& b) {
  if (a.circles.size() != b.circles.size()) return false;
  for (std::size_t i = 0; i < a.circles.size(); ++i) {
    const auto &p = a.circles[i], &q = b.circles[i];
    if (p.x != q.x || p.y != q.y || p.radius != q.radius || p.outline != q.outline || p.fill != q.fill) return false;
  }
  return true;
}

// Paint, take the code, paint again from it: the same discs in the same order, and the
// same directions left for the next figure.
TEST(FigureCode, PaintsTheSameFigureAgain) {
  FixedClock clock(30000.5f);
  Pcg32Source random;
  Directions d{1, -1, 1, -1};
  RecordingSurface first;
  FigureStart start;
  ASSERT_EQ(DrawFigure(d, first, {clock, random}, &start), Status::kOk);
  const std::optional<std::string> code = CodeOf(start);
  ASSERT_TRUE(code);
  EXPECT_EQ(code->size(), kFigureCodeLength);
  const std::optional<CodedFigure> decoded = DecodeFigure(*code);
  ASSERT_TRUE(decoded);
  RecordingSurface again;
  const Directions left = RepaintFigure(StartOf(*decoded), again);
  EXPECT_TRUE(SameDiscs(first, again));
  EXPECT_EQ(left.fre, d.fre);
  EXPECT_EQ(left.fgr, d.fgr);
  EXPECT_EQ(left.fbl, d.fbl);
  EXPECT_EQ(left.fr, d.fr);
  // Repainting leaves the start as it was: a second repaint is the same figure too.
  RecordingSurface third;
  (void)RepaintFigure(start, third);
  EXPECT_TRUE(SameDiscs(first, third));
}

TEST(FigureCode, HoldsEveryStateAndEveryDirection) {
  for (const std::uint64_t state : {0ULL, 1ULL, 0x8000000000000000ULL, ~0ULL, 0x0123456789abcdefULL}) {
    for (int bits = 0; bits < 16; ++bits) {
      auto dir = [&](int shift) -> std::int16_t { return (bits >> shift) & 1 ? 1 : -1; };
      const CodedFigure figure{state, {dir(0), dir(1), dir(2), dir(3)}};
      const std::string code = EncodeFigure(figure);
      ASSERT_EQ(code.find_first_not_of("0123456789ABCDEFGHJKMNPQRSTVWXYZ"), std::string::npos) << code;
      const auto back = DecodeFigure(code);
      ASSERT_TRUE(back) << code;
      EXPECT_EQ(back->state, state);
      EXPECT_EQ(back->directions.fre, figure.directions.fre);
      EXPECT_EQ(back->directions.fgr, figure.directions.fgr);
      EXPECT_EQ(back->directions.fbl, figure.directions.fbl);
      EXPECT_EQ(back->directions.fr, figure.directions.fr);
    }
  }
}

// A code with any one character changed, or cut short, is refused, never painted as
// another figure.
TEST(FigureCode, RefusesEveryCodeWithOneCharacterChangedOrCutShort) {
  const std::string code = EncodeFigure({0x5eed5eed12345678ULL, {1, -1, -1, 1}});
  for (std::size_t at = 0; at < code.size(); ++at) {
    for (const char c : std::string("0123456789ABCDEFGHJKMNPQRSTVWXYZabcILOU -_\0", 44)) {
      if (c == code[at]) continue;
      std::string changed = code;
      changed[at] = c;
      EXPECT_FALSE(DecodeFigure(changed)) << changed;
    }
  }
  for (std::size_t n = 0; n < code.size(); ++n) EXPECT_FALSE(DecodeFigure(code.substr(0, n))) << n;
  EXPECT_FALSE(DecodeFigure(code + "0"));
}

TEST(FigureCode, OnlyThePcg32SourceHasACode) {
  FigureStart scripted{std::make_unique<ScriptedSource>(std::vector<float>{0.5f}), {}};
  EXPECT_FALSE(CodeOf(scripted));
  FigureStart other{std::make_unique<Pcg32Source>(7, 9), {}};
  EXPECT_FALSE(CodeOf(other));
}

}  // namespace
}  // namespace tavelune
