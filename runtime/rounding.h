#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace tavelune {

// Whether a value rounds to a 16-bit integer; false for NaN.
constexpr bool RoundsIntoInt16(float value) { return (value >= -32768.5f) & (value < 32767.5f); }

// Nearest integer, ties to even, for a value that RoundsIntoInt16. Adding and subtracting
// 1.5 * 2^23 rounds a float below 2^22 in magnitude to a whole number, in the default
// rounding mode; written so, a loop of it vectorises.
constexpr int RoundNearestEven(float value) {
  constexpr float kShift = 0x1.8p23f;
  return static_cast<int>((value + kShift) - kShift);
}

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4). NaN, or a value whose rounding
// leaves the 16-bit range, gives no result instead of undefined behaviour.
inline std::optional<std::int16_t> RoundToInt16(float value) {
  if (!RoundsIntoInt16(value)) return std::nullopt;
  return static_cast<std::int16_t>(RoundNearestEven(value));
}

inline double Floor(double value) { return std::floor(value); }

}  // namespace tavelune
