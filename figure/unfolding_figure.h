#pragma once

#include <memory>

#include "figure/draw_figure.h"
#include "figure/figure_constants.h"
#include "figure/figure_steps.h"

namespace tavelune {

// A figure painted a little at a time, as a user watches it: the same discs in the same
// order as PaintFigure paints at once, so that after any call the surface holds the figure's
// first Steps() discs, and once complete the whole figure, pixel for pixel.
class UnfoldingFigure {
 public:
  static constexpr long kSteps = static_cast<long>(figure::kStrokes) * figure::kStepsPerStroke;
  // The pace of a watched figure: a frame at the screen's rate, and at most so many steps in
  // one, so that a frame stays short even on a slow processor at a large scale.
  static constexpr int kFrameMilliseconds = 16;
  static constexpr long kMostStepsPerFrame = 40000;

  // Starts where `start` does; `start` is left as it is.
  explicit UnfoldingFigure(const FigureStart& start);
  UnfoldingFigure(const UnfoldingFigure&) = delete;
  UnfoldingFigure& operator=(const UnfoldingFigure&) = delete;

  // Paints the figure's steps up to `steps` of kSteps (fewer where it has passed them).
  void PaintUpTo(long steps, DrawingSurface& surface);
  // Computes the rest without painting it: the directions the whole figure leaves.
  void Skip();

  // The steps due `elapsed` seconds into an unfolding that takes `seconds`, but no more
  // than `budget` past those already painted, so that no frame takes long.
  long StepsDue(double elapsed, double seconds, long budget) const;

  long Steps() const { return done_; }
  bool Complete() const { return done_ == kSteps; }
  // The directions the steps computed so far leave; once Complete(), those of the whole figure.
  const Directions& directions() const { return directions_; }

 private:
  // The next step is block_'s step `next_`; a new block is due once it is past the end.
  bool NextBlockIfDue();

  std::unique_ptr<RandomSource> random_;
  Directions directions_;
  FigureSteps steps_;
  StepBlock block_;
  int next_ = 0;
  long done_ = 0;
};

// The figure of `start` painted again on `surface`, a new one of another scale: as far as
// `unfolding` had come where there is one, which then goes on from there on `surface`;
// else the whole figure, where `start` holds one.
void PaintAgain(const FigureStart& start, std::unique_ptr<UnfoldingFigure>& unfolding, DrawingSurface& surface);

}  // namespace tavelune
