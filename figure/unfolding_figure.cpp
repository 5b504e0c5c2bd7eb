#include "figure/unfolding_figure.h"

#include <algorithm>
#include <cmath>

namespace tavelune {

UnfoldingFigure::UnfoldingFigure(const FigureStart& start)
    : random_(start.random->Clone()), directions_(start.directions), steps_(directions_, *random_) {
  block_.size = 0;
}

bool UnfoldingFigure::NextBlockIfDue() {
  if (next_ < block_.size) return true;
  next_ = 0;
  return steps_.Next(block_);
}

void UnfoldingFigure::PaintUpTo(long steps, DrawingSurface& surface) {
  steps = std::min(steps, kSteps);
  while (done_ < steps && NextBlockIfDue()) {
    const int end = next_ + static_cast<int>(std::min<long>(block_.size - next_, steps - done_));
    PaintSteps(block_, next_, end, surface);
    done_ += end - next_;
    next_ = end;
  }
}

long UnfoldingFigure::StepsDue(double elapsed, double seconds, long budget) const {
  const double share = seconds > 0 ? std::clamp(elapsed / seconds, 0.0, 1.0) : 1.0;
  return std::min(static_cast<long>(std::ceil(kSteps * share)), done_ + budget);
}

void UnfoldingFigure::Skip() {
  // The directions turn as the blocks are computed; the rest of this block has been.
  next_ = block_.size;
  while (steps_.Next(block_)) {
  }
  next_ = block_.size = 0;
  done_ = kSteps;
}

void PaintAgain(const FigureStart& start, std::unique_ptr<UnfoldingFigure>& unfolding, DrawingSurface& surface) {
  if (unfolding) {
    auto again = std::make_unique<UnfoldingFigure>(start);
    again->PaintUpTo(unfolding->Steps(), surface);
    unfolding = std::move(again);
  } else if (start.random) {
    (void)RepaintFigure(start, surface);
  }
}

}  // namespace tavelune
