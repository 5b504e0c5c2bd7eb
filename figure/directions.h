#pragma once

#include <cstdint>

namespace tavelune {

// Where the red, green and blue components and the loop's radius are heading, +1 or -1.
// They belong to the caller and live across strokes and figures.
struct Directions {
  std::int16_t fre = 1;
  std::int16_t fgr = 1;
  std::int16_t fbl = 1;
  std::int16_t fr = 1;
};

}  // namespace tavelune
