#pragma once

#include "figure/directions.h"
#include "figure/figure_constants.h"
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

// Inline: it runs half a million times a figure.
inline void Stroke::Advance(Directions& d) {
  using namespace figure;
  // Strict tests, each before the update it steers: a value turns only once it has crossed
  // its bound.
  auto bounce = [](float component, std::int16_t& direction) {
    if (component > kColourHigh) direction = -1;
    if (component < kColourLow) direction = 1;
  };
  if (radius > kRadiusTurn) d.fr = -1;
  radius = radius + d.fr * kRadiusStep;
  angle = angle + angleSpeed;
  phaseA = phaseA + phaseStep;
  phaseB = phaseB + phaseStep;
  bounce(red, d.fre);
  bounce(green, d.fgr);
  bounce(blue, d.fbl);
  red = red + static_cast<float>(d.fre) * redStep;
  green = green + static_cast<float>(d.fgr) * greenStep;
  blue = blue + static_cast<float>(d.fbl) * blueStep;
}

}  // namespace tavelune
