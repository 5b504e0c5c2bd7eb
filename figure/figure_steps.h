#pragma once

#include "figure/directions.h"
#include "figure/figure_constants.h"
#include "figure/step_block.h"
#include "figure/stroke.h"
#include "runtime/random_source.h"

namespace tavelune {

// The five strokes' random values, drawn before any step: they never depend on the steps.
using DrawnStrokes = Stroke[figure::kStrokes];

// The steps of one figure, block after block: five strokes, each drawn from the random
// source when its first block is due (or drawn before), each of 100,000 steps.
class FigureSteps {
 public:
  // The centres come from the sine kernel of `path`.
  FigureSteps(Directions& directions, RandomSource& random, CpuPath path = SinesPath())
      : directions_(directions), random_(&random), path_(path) {}
  FigureSteps(Directions& directions, const DrawnStrokes& strokes, CpuPath path = SinesPath())
      : directions_(directions), drawn_(strokes), path_(path) {}

  static constexpr int kSteps = figure::kStrokes * figure::kStepsPerStroke;

  // Only the figure's steps [first, end), before the first call to Next: the steps before
  // `first` are taken, turning the directions as they do, but kept nowhere.
  void Only(int first, int end);
  // Fills `block` with the next steps; false, and `block` empty, once the figure is complete.
  bool Next(StepBlock& block);

 private:
  Directions& directions_;
  RandomSource* random_ = nullptr;
  const Stroke* drawn_ = nullptr;
  CpuPath path_;
  Stroke stroke_{};
  int strokes_begun_ = 0;
  int steps_left_ = 0;  // of the stroke under way
  int step_ = 0;        // in the figure
  int end_ = kSteps;

  // Begins the next stroke where the last one is done; false once the figure is.
  bool Continue();
};

}  // namespace tavelune
