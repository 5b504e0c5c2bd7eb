#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

#include "figure/directions.h"
#include "runtime/random_source.h"
#include "runtime/runtime_fakes.h"
#include "surface/drawing_surface.h"
#include "surface/raster_surface.h"

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

// What a figure on a raster surface leaves, small enough to print: a digest of the pixels,
// the directions, the fill colour and the random source's state.
struct FigureOutcome {
  std::uint64_t pixels;
  std::int16_t fre, fgr, fbl, fr;
  std::uint32_t fill;
  std::uint64_t random;
  bool operator==(const FigureOutcome&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const FigureOutcome& o) {
    return out << std::hex << "{pixels 0x" << o.pixels << ", directions " << std::dec << o.fre << ' ' << o.fgr << ' '
               << o.fbl << ' ' << o.fr << std::hex << ", fill 0x" << o.fill << ", random 0x" << o.random << std::dec
               << '}';
  }
};

inline FigureOutcome OutcomeOf(const RasterSurface& surface, const Directions& d, const Pcg32Source& random) {
  Digest digest;
  const std::size_t n = static_cast<std::size_t>(surface.Width()) * surface.Height();
  for (std::size_t i = 0; i < n; ++i) digest.Add(surface.Bits()[i]);
  return {digest.Value(), d.fre, d.fgr, d.fbl, d.fr, Rgb(surface.FillColor()), random.State()};
}

}  // namespace tavelune::testing
