#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "runtime/runtime.h"

namespace tavelune::testing {

// Returns the scripted values in turn, from the start again when they run out.
class ScriptedSource final : public RandomSource {
 public:
  explicit ScriptedSource(std::vector<float> values) : values_(std::move(values)) {}
  Status Reseed(float seed) override {
    seeds.push_back(seed);
    draws_at_reseed.push_back(draws);
    return Status::kOk;
  }
  float Next() override { return values_[draws++ % values_.size()]; }
  std::unique_ptr<RandomSource> Clone() const override { return std::make_unique<ScriptedSource>(*this); }

  std::vector<float> seeds;
  std::vector<std::size_t> draws_at_reseed;
  std::size_t draws = 0;

 private:
  std::vector<float> values_;
};

class FixedClock final : public Clock {
 public:
  explicit FixedClock(std::optional<float> t = 43200.0f) : t_(t) {}
  std::optional<float> SecondsSinceMidnight() override { return t_; }

 private:
  std::optional<float> t_;
};

}  // namespace tavelune::testing
