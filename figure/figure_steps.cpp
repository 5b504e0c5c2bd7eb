#include "figure/figure_steps.h"

#include <algorithm>

#include "figure/figure_constants.h"

namespace tavelune {

bool FigureSteps::Continue() {
  if (steps_left_ > 0) return true;
  if (strokes_begun_ == figure::kStrokes) return false;
  stroke_ = drawn_ ? drawn_[strokes_begun_] : Stroke::Draw(*random_);
  ++strokes_begun_;
  steps_left_ = figure::kStepsPerStroke;
  return true;
}

void FigureSteps::Only(int first, int end) {
  end_ = std::clamp(end, step_, kSteps);
  first = std::clamp(first, step_, end_);
  // Locals, as in StepBlock::Advance, so that the recurrences stay in registers.
  Directions directions = directions_;
  while (step_ < first && Continue()) {
    const int steps = std::min(steps_left_, first - step_);
    Stroke stroke = stroke_;
    for (int k = 0; k < steps; ++k) stroke.Advance(directions);
    stroke_ = stroke;
    steps_left_ -= steps;
    step_ += steps;
  }
  directions_ = directions;
}

bool FigureSteps::Next(StepBlock& block) {
  if (step_ == end_ || !Continue()) {
    block.size = 0;
    return false;
  }
  block.Advance(stroke_, directions_, std::min({StepBlock::kCapacity, steps_left_, end_ - step_}));
  block.Place(path_);
  steps_left_ -= block.size;
  step_ += block.size;
  return true;
}

}  // namespace tavelune
