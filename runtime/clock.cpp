#include "runtime/clock.h"

#include <ctime>

namespace tavelune {

std::optional<float> SystemClock::SecondsSinceMidnight() {
  timespec now{};
  if (clock_gettime(CLOCK_REALTIME, &now) != 0) return std::nullopt;
  tm local{};
  if (localtime_r(&now.tv_sec, &local) == nullptr) return std::nullopt;
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                         static_cast<double>(now.tv_nsec) * 1e-9;
  return static_cast<float>(seconds);
}

}  // namespace tavelune
