#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace tavelune {

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4). NaN, or a value whose
// rounding leaves the 16-bit range, gives no result instead of undefined behaviour.
inline std::optional<std::int16_t> RoundToInt16(float value) {
  if (!(value >= -32768.5f && value < 32767.5f)) return std::nullopt;
  // lrint rounds in the current mode, which is to-nearest-even unless someone changed it;
  // with -fno-math-errno it becomes a single cvtss2si.
  return static_cast<std::int16_t>(std::lrint(value));
}

inline double Floor(double value) { return std::floor(value); }

}  // namespace tavelune
