#pragma once

#include "figure/directions.h"
#include "figure/stroke.h"
#include "runtime/colour.h"
#include "runtime/cpu_path.h"
#include "runtime/sine_block.h"

namespace tavelune {

// Consecutive steps of one stroke, evaluated together: the cheap sequential recurrences
// first, one step after another, then the sines and cosines of the whole block at once.
struct StepBlock {
  static constexpr int kCapacity = 256;

  // Advances `stroke` by `steps` (at most kCapacity) and keeps what each step gives.
  void Advance(Stroke& stroke, Directions& directions, int steps);
  // The disc centres of the steps kept by Advance, with the sine kernel of `path`.
  void Place(CpuPath path = SinesPath());

  // paint(x, y, colour) for each disc of steps [first, end), in order, with its centre as a
  // surface takes it; a colour that cannot be rounded skips its disc.
  template <typename Paint>
  void ForEachDisc(int first, int end, Paint&& paint) const {
    for (int k = first; k < end; ++k) {
      if (drawable[k]) paint(static_cast<float>(px[k]), static_cast<float>(py[k]), colour[k]);
    }
  }
  template <typename Paint>
  void ForEachDisc(Paint&& paint) const {
    ForEachDisc(0, size, paint);
  }

  int size = 0;
  double radius[kCapacity];
  double angle[kCapacity];
  double phaseA[kCapacity];
  double phaseB[kCapacity];
  Colour colour[kCapacity];
  bool drawable[kCapacity];  // false where a colour could not be rounded
  double px[kCapacity];
  double py[kCapacity];
};

}  // namespace tavelune
