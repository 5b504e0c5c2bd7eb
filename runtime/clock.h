#pragma once

#include <optional>

namespace tavelune {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local time of day in seconds since midnight, with its fraction; nothing when the
  // system cannot tell.
  virtual std::optional<float> SecondsSinceMidnight() = 0;
};

class SystemClock final : public Clock {
 public:
  std::optional<float> SecondsSinceMidnight() override;
};

}  // namespace tavelune
