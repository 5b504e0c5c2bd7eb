#include "figure/step_block.h"

#include <algorithm>

#include "figure/figure_constants.h"
#include "runtime/rounding.h"
#include "runtime/sine_block.h"

namespace tavelune {

using namespace figure;

void StepBlock::Advance(Stroke& stroke, Directions& directions, int steps) {
  // Locals, so that the compiler can keep the recurrences in registers: the arrays below
  // could otherwise alias them.
  Stroke s = stroke;
  Directions d = directions;
  size = steps;
  float red[kCapacity], green[kCapacity], blue[kCapacity];
  for (int k = 0; k < steps; ++k) {
    s.Advance(d);
    radius[k] = s.radius;
    angle[k] = s.angle;
    phaseA[k] = s.phaseA;
    phaseB[k] = s.phaseB;
    red[k] = s.red;
    green[k] = s.green;
    blue[k] = s.blue;
  }
  stroke = s;
  directions = d;
  // The colours apart from the recurrences. A figure's components always round into range,
  // so the block is checked as a whole and the usual case is one loop that vectorises.
  int fitting = 0;  // an int, not a bool, so that the count vectorises
  for (int k = 0; k < steps; ++k) {
    fitting += int{RoundsIntoInt16(red[k])} & int{RoundsIntoInt16(green[k])} & int{RoundsIntoInt16(blue[k])};
  }
  const bool allFit = fitting == steps;
  auto compose = [&](int k) {
    return ComposeColor(RoundNearestEven(red[k]), RoundNearestEven(green[k]), RoundNearestEven(blue[k]));
  };
  if (allFit) {
    for (int k = 0; k < steps; ++k) colour[k] = compose(k);
    std::fill_n(drawable, steps, true);
    return;
  }
  for (int k = 0; k < steps; ++k) {
    drawable[k] = RoundsIntoInt16(red[k]) && RoundsIntoInt16(green[k]) && RoundsIntoInt16(blue[k]);
    colour[k] = drawable[k] ? compose(k) : Colour{};
  }
}

void StepBlock::Place(CpuPath path) {
  double wobbleX[kCapacity], wobbleY[kCapacity];
  Sines(path, phaseA, wobbleX, size);
  Cosines(path, phaseB, wobbleY, size);
  for (int k = 0; k < size; ++k) {
    wobbleX[k] += angle[k];
    wobbleY[k] += angle[k];
  }
  double cosX[kCapacity], sinY[kCapacity];
  Cosines(path, wobbleX, cosX, size);
  Sines(path, wobbleY, sinY, size);
  for (int k = 0; k < size; ++k) {
    const double x = radius[k] * cosX[k];
    const double y = radius[k] * sinY[k];
    px[k] = (x + kHalfExtent) * kPixelsPerUnit;
    py[k] = (kHalfExtent - y) * kPixelsPerUnit;
  }
}

}  // namespace tavelune
