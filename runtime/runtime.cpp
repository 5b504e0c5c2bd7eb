#include "runtime/runtime.h"

namespace tavelune {

Runtime ProcessRuntime() {
  static SystemClock clock;
  static Pcg32Source random;
  return {clock, random};
}

Status ReseedFromClock(Runtime runtime) {
  const auto now = runtime.clock.SecondsSinceMidnight();
  if (!now) return Status::kFailed;
  return runtime.random.Reseed(*now);
}

}  // namespace tavelune
