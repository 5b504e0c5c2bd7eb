#pragma once

#include "runtime/clock.h"
#include "runtime/random_source.h"

namespace tavelune {

// The seam through which the generator and the window reach the clock and the random
// source; a test hands in a rigged pair.
struct Runtime {
  Clock& clock;
  RandomSource& random;
};

// The process-wide clock and random source.
Runtime ProcessRuntime();

// Reseeds the random source from the time of day.
Status ReseedFromClock(Runtime runtime);

}  // namespace tavelune
