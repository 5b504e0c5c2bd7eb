#pragma once

#include <cstdint>

namespace tavelune {

// A 24-bit RGB value laid out as 0x00RRGGBB; only ComposeColor makes one.
enum class Colour : std::uint32_t {};

// A component above 255 counts as 255 and one below 0 as 0, so a component
// never spills into its neighbour's byte.
constexpr Colour ComposeColor(int red, int green, int blue) {
  auto clamp = [](int c) { return static_cast<std::uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c); };
  return Colour{clamp(red) << 16 | clamp(green) << 8 | clamp(blue)};
}

constexpr std::uint32_t Rgb(Colour c) { return static_cast<std::uint32_t>(c); }

}  // namespace tavelune
