#pragma once

#include "figure/directions.h"
#include "runtime/random_source.h"

namespace tavelune {

// The state of one stroke. Which members are float and which double decides the exact
// pixels: the phases and colours advance in single precision, rounded on every step.
struct Stroke {
  double radius;
  double angle;
  double angleSpeed;
  float phaseA;
  float phaseB;
  float phaseStep;
  float red;
  float green;
  float blue;
  float redStep;
  float greenStep;
  float blueStep;

  // Takes exactly twelve values from `random`, in the order of the members above.
  static Stroke Draw(RandomSource& random);

  // One step: turns the directions that have crossed their bounds, then advances radius,
  // angle, phases and colours.
  void Advance(Directions& directions);
};

// Where the disc of the current step lies on the surface, in pixels.
struct DiscCentre {
  double px;
  double py;
};
DiscCentre CentreOf(const Stroke& stroke);

}  // namespace tavelune
