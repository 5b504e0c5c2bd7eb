#pragma once

#include <cstdint>
#include <memory>

#include "runtime/status.h"

namespace tavelune {

// The one door through which all randomness comes.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual Status Reseed(float seed) = 0;
  // Uniform in [0, 1); never 1.
  virtual float Next() = 0;
  // An independent source at the same state: it gives the same draws from here on.
  virtual std::unique_ptr<RandomSource> Clone() const = 0;
};

// PCG32 (O'Neill's XSH-RR output on a 64-bit LCG): small, fast and statistically sound.
class Pcg32Source final : public RandomSource {
 public:
  Pcg32Source() = default;
  // A generator at a given state on the stream `increment` (odd).
  Pcg32Source(std::uint64_t state, std::uint64_t increment) : state_(state), increment_(increment | 1u) {}

  // Mixes the seed into the current state instead of replacing it. The time of day as a
  // float resolves only about 8 ms late in the day, so two reseeds with an equal value
  // must still lead to different sequences. A seed that is not finite is refused.
  Status Reseed(float seed) override;
  float Next() override;
  std::unique_ptr<RandomSource> Clone() const override { return std::make_unique<Pcg32Source>(*this); }

  std::uint64_t State() const { return state_; }
  std::uint64_t Stream() const { return increment_; }
  static constexpr std::uint64_t kDefaultStream = 1442695040888963407ULL;

 private:
  std::uint32_t NextBits();
  std::uint64_t state_ = 0x853c49e6748fea9bULL;
  std::uint64_t increment_ = kDefaultStream;
};

}  // namespace tavelune
