#include "runtime/random_source.h"

#include <bit>
#include <cmath>

#include "runtime/bit_cast.h"

namespace tavelune {
namespace {

constexpr std::uint64_t kMultiplier = 6364136223846793005ULL;

// SplitMix64's finaliser: a bijection that spreads every input bit over the whole word.
constexpr std::uint64_t Mix(std::uint64_t z) {
  z += 0x9e3779b97f4a7c15ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

Status Pcg32Source::Reseed(float seed) {
  if (!std::isfinite(seed)) return Status::kFailed;
  state_ = Mix(state_ ^ BitCast<std::uint32_t>(seed));
  return Status::kOk;
}

std::uint32_t Pcg32Source::NextBits() {
  const std::uint64_t old = state_;
  state_ = old * kMultiplier + increment_;
  const auto xorshifted = static_cast<std::uint32_t>(((old >> 18) ^ old) >> 27);
  const auto rotation = static_cast<int>(old >> 59);
  return std::rotr(xorshifted, rotation);
}

float Pcg32Source::Next() {
  // The top 24 bits fill a float's mantissa exactly, so the largest value is 1 - 2^-24.
  return static_cast<float>(NextBits() >> 8) * 0x1p-24f;
}

}  // namespace tavelune
