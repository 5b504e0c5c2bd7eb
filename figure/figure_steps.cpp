#include "figure/figure_steps.h"

#include <algorithm>

#include "figure/figure_constants.h"

namespace tavelune {

bool FigureSteps::Next(StepBlock& block) {
  if (steps_left_ == 0) {
    if (strokes_begun_ == figure::kStrokes) {
      block.size = 0;
      return false;
    }
    stroke_ = drawn_ ? drawn_[strokes_begun_] : Stroke::Draw(*random_);
    ++strokes_begun_;
    steps_left_ = figure::kStepsPerStroke;
  }
  block.Advance(stroke_, directions_, std::min(StepBlock::kCapacity, steps_left_));
  block.Place(path_);
  steps_left_ -= block.size;
  return true;
}

}  // namespace tavelune
