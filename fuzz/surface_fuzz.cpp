// Arbitrary sequences of surface operations with arbitrary floats and colours. Every call
// must be honest: one that fails leaves every pixel and the fill state as they were, and
// nothing is ever written outside the image (AddressSanitizer watches the buffer).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "surface/raster_surface.h"

namespace {

using tavelune::Colour;
using tavelune::RasterSurface;
using tavelune::Status;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  template <typename T>
  T Take() {
    T value{};
    std::uint8_t bytes[sizeof(T)] = {};
    for (auto& b : bytes) b = pos_ < size_ ? data_[pos_++] : 0;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  // Any scale, bad ones included: those count as 1.
  const int width = 1 + in.Take<std::uint8_t>() % 24, height = 1 + in.Take<std::uint8_t>() % 24;
  const double scale = in.Take<std::uint8_t>() % 2 ? in.Take<double>() : in.Take<std::uint8_t>() / 16.0;
  RasterSurface surface(width, height, scale);
  const double used = RasterSurface::SaneScale(scale);
  Require(surface.Scale() == used);
  Require(surface.Width() == static_cast<int>(std::nearbyint(width * used)));
  Require(surface.Height() == static_cast<int>(std::nearbyint(height * used)));
  const std::size_t pixels = static_cast<std::size_t>(surface.Width()) * surface.Height();
  while (!in.Empty()) {
    const std::vector<std::uint32_t> before(surface.Bits(), surface.Bits() + pixels);
    const Colour fill = surface.FillColor(), back = surface.BackColor();
    const bool solid = surface.FillSolid();
    Status status = Status::kOk;
    switch (in.Take<std::uint8_t>() % 5) {
      case 0: status = surface.Clear(); break;
      case 1: status = surface.SetBackColor(Colour{in.Take<std::uint32_t>()}); break;
      case 2: status = surface.SetFillSolid(); break;
      case 3: status = surface.SetFillColor(Colour{in.Take<std::uint32_t>()}); break;
      default: {
        const auto x = in.Take<float>(), y = in.Take<float>(), r = in.Take<float>();
        status = surface.DrawCircle(x, y, r, Colour{in.Take<std::uint32_t>()});
      }
    }
    if (status == Status::kFailed) {
      Require(std::equal(before.begin(), before.end(), surface.Bits()));
      Require(surface.FillColor() == fill && surface.BackColor() == back && surface.FillSolid() == solid);
    }
    for (std::size_t i = 0; i < pixels; ++i) Require((surface.Bits()[i] >> 24) == 0xff);
  }
  return 0;
}
