#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "runtime/runtime.h"
#include "surface/drawing_surface.h"

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

// Keeps every call; answers each with `answer`.
class RecordingSurface final : public DrawingSurface {
 public:
  struct Circle {
    float x, y, radius;
    Colour outline;
    Colour fill;  // the fill colour in force when it was drawn
  };
  explicit RecordingSurface(Status answer = Status::kOk) : answer_(answer) {}

  Status Clear() override { return Count(clears); }
  Status SetBackColor(Colour) override { return Count(others); }
  Status SetFillSolid() override { return Count(others); }
  Status SetFillColor(Colour c) override {
    ++fill_calls;
    if (answer_ == Status::kOk) fill_ = c;
    return answer_;
  }
  Status DrawCircle(float x, float y, float radius, Colour outline) override {
    circles.push_back({x, y, radius, outline, fill_});
    return answer_;
  }

  std::vector<Circle> circles;
  std::size_t fill_calls = 0;
  std::size_t clears = 0;
  std::size_t others = 0;

 private:
  Status Count(std::size_t& n) {
    ++n;
    return answer_;
  }
  Status answer_;
  Colour fill_{};
};

}  // namespace tavelune::testing
