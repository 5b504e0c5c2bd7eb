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
// character changed, or cut short, is refused.
inline constexpr std::size_t kFigureCodeLength = 18;

struct CodedFigure {
  std::uint64_t state = 0;
  Directions directions;
};

std::string EncodeFigure(const CodedFigure& figure);
std::optional<CodedFigure> DecodeFigure(std::string_view code);

// The code of a figure whose random source is the process's kind (PCG32 on its default
// stream); nothing for any other source.
std::optional<std::string> CodeOf(const FigureStart& start);
FigureStart StartOf(const CodedFigure& figure);

}  // namespace tavelune
