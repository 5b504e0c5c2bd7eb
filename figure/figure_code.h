#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "figure/directions.h"
#include "figure/draw_figure.h"

namespace tavelune {

// A figure code: eighteen letters and digits that hold everything needed to paint one
// figure again, the random source's state at the figure's start and the four directions.
// Crockford's base-32 alphabet (no I, L, O or U, so nothing reads as another character)
// over a version, the directions, the state and a CRC-16 of them: a code with any one
// character changed, or cut short, is refused. A code is read as people type it: in either
// case, with I and L read as 1, O as 0, and dashes and spaces between groups passed over.
// The format is a promise: a code once given paints the same figure in every later version.
inline constexpr std::size_t kFigureCodeLength = 18;

struct CodedFigure {
  std::uint64_t state = 0;
  Directions directions;
};

// Why a code was refused.
enum class CodeFault {
  kNone,
  kLength,     // not 18 characters, once dashes and spaces are passed over
  kCharacter,  // a character that is not in the alphabet
  kCheck,      // the characters do not agree with their check: mistyped, or not a code
};

std::string EncodeFigure(const CodedFigure& figure);
std::optional<CodedFigure> DecodeFigure(std::string_view code, CodeFault* fault = nullptr);

// The code of a figure whose random source is the process's kind (PCG32 on its default
// stream); nothing for any other source.
std::optional<std::string> CodeOf(const FigureStart& start);
FigureStart StartOf(const CodedFigure& figure);

}  // namespace tavelune
