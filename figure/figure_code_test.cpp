#include <gtest/gtest.h>

#include <cctype>
#include <utility>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "figure/figure_fakes.h"
#include "runtime/random_source.h"
#include "surface/raster_surface.h"

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
// another figure. Each character that stands for another (a lower-case letter, I, L, O) is
// read as that one.
TEST(FigureCode, RefusesEveryCodeWithOneCharacterChangedOrCutShort) {
  const std::string code = EncodeFigure({0x5eed5eed12345678ULL, {1, -1, -1, 1}});
  auto canonical = [](char c) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c == 'I' || c == 'L' ? '1' : c == 'O' ? '0' : c;
  };
  for (std::size_t at = 0; at < code.size(); ++at) {
    for (const char c : std::string("0123456789ABCDEFGHJKMNPQRSTVWXYZabcilouIJLOU_*\0", 48)) {
      std::string changed = code;
      changed[at] = c;
      CodeFault fault = CodeFault::kNone;
      if (canonical(c) == code[at]) {
        EXPECT_TRUE(DecodeFigure(changed)) << changed;
        continue;
      }
      EXPECT_FALSE(DecodeFigure(changed, &fault)) << changed;
      const bool inAlphabet = std::string_view("0123456789ABCDEFGHJKMNPQRSTVWXYZ").find(canonical(c)) != std::string_view::npos;
      EXPECT_EQ(fault, inAlphabet ? CodeFault::kCheck : CodeFault::kCharacter) << changed;
    }
  }
  for (std::size_t n = 0; n < code.size(); ++n) {
    CodeFault fault = CodeFault::kNone;
    EXPECT_FALSE(DecodeFigure(code.substr(0, n), &fault)) << n;
    EXPECT_EQ(fault, CodeFault::kLength);
  }
  EXPECT_FALSE(DecodeFigure(code + "0"));
}

// Codes as people copy them by hand: any case, with dashes or spaces between groups.
TEST(FigureCode, ReadsCodesAsPeopleTypeThem) {
  const auto canonical = DecodeFigure("3XS0KHSY9M17BF6T10");
  ASSERT_TRUE(canonical);
  for (const char* typed : {"3xs0khsy9m17bf6t10", "3XS0-KHSY-9M17-BF6T-10", "3xs0 khsy 9ml7 bf6t lo", "3XSOKHSY9MI7BF6TIO"}) {
    const auto read = DecodeFigure(typed);
    ASSERT_TRUE(read) << typed;
    EXPECT_EQ(read->state, canonical->state) << typed;
    EXPECT_EQ(EncodeFigure(*read), "3XS0KHSY9M17BF6T10") << typed;
  }
}

// Codes once given must paint the same figure in every later version. The codes below were
// worked out apart from this program: the bytes (a version 1 and the directions, then the
// state, big-endian) with their CRC-16/CCITT-FALSE from Python's binascii.crc_hqx(bytes,
// 0xffff), in Crockford's base 32.
TEST(FigureCode, KnownCodesStandForTheirStatesAndDirections) {
  struct Known {
    const char* code;
    std::uint64_t state;
    Directions directions;
  };
  for (const Known& k : {Known{"380J6HB7H6NWVVRD84", 0x0123456789abcdefULL, {1, -1, 1, -1}},
                         Known{"3W0000000000006KV0", 0, {1, 1, 1, 1}},
                         Known{"23ZZZZZZZZZZZZZDDM", ~0ULL, {-1, -1, -1, -1}}}) {
    EXPECT_EQ(EncodeFigure({k.state, k.directions}), k.code);
    const auto decoded = DecodeFigure(k.code);
    ASSERT_TRUE(decoded) << k.code;
    EXPECT_EQ(decoded->state, k.state) << k.code;
    EXPECT_EQ(decoded->directions.fre, k.directions.fre);
    EXPECT_EQ(decoded->directions.fgr, k.directions.fgr);
    EXPECT_EQ(decoded->directions.fbl, k.directions.fbl);
    EXPECT_EQ(decoded->directions.fr, k.directions.fr);
  }
}

// The whole figure of a code, pixel for pixel, at scales 1 and 2, on every processor.
TEST(FigureCode, AKnownCodePaintsItsKnownPixels) {
  const auto figure = DecodeFigure("3XS0KHSY9M17BF6T10");
  ASSERT_TRUE(figure);
  for (const auto& [scale, want] : {std::pair{1.0, 0x9fb06e53d09f9771ULL}, std::pair{2.0, 0x2b488f5b8b766480ULL}}) {
    RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, scale);
    ASSERT_EQ(surface.SetFillSolid(), Status::kOk);
    const Directions left = RepaintFigure(StartOf(*figure), surface);
    testing::Digest digest;
    const std::size_t n = static_cast<std::size_t>(surface.Width()) * surface.Height();
    for (std::size_t i = 0; i < n; ++i) digest.Add(surface.Bits()[i]);
    digest.Add(left);
    EXPECT_EQ(digest.Value(), want) << "scale " << scale << std::hex << ": 0x" << digest.Value();
  }
}

TEST(FigureCode, OnlyThePcg32SourceHasACode) {
  FigureStart scripted{std::make_unique<ScriptedSource>(std::vector<float>{0.5f}), {}};
  EXPECT_FALSE(CodeOf(scripted));
  FigureStart other{std::make_unique<Pcg32Source>(7, 9), {}};
  EXPECT_FALSE(CodeOf(other));
}

}  // namespace
}  // namespace tavelune
