#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/runtime_fakes.h"
#include "surface/drawing_surface.h"

namespace tavelune::testing {

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

// FNV-1a over 64 bits, fed whole values.
class Digest {
 public:
  template <typename T>
  void Add(const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (const unsigned char b : bytes) hash_ = (hash_ ^ b) * 0x100000001b3ULL;
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

}  // namespace tavelune::testing
