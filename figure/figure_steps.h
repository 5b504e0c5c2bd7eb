#pragma once

#include "figure/directions.h"
#include "figure/step_block.h"
#include "figure/stroke.h"
#include "runtime/random_source.h"

namespace tavelune {

// The steps of one figure, block after block: five strokes, each drawn from the random
// source when its first block is due, each of 100,000 steps.
class FigureSteps {
 public:
  // The centres come from the sine kernel of `path`.
  FigureSteps(Directions& directions, RandomSource& random, CpuPath path = SelectedCpuPath())
      : directions_(directions), random_(random), path_(path) {}

  // Fills `block` with the next steps; false, and `block` empty, once the figure is complete.
  bool Next(StepBlock& block);

 private:
  Directions& directions_;
  RandomSource& random_;
  CpuPath path_;
  Stroke stroke_{};
  int strokes_begun_ = 0;
  int steps_left_ = 0;
};

}  // namespace tavelune
