#include "figure/stroke.h"

#include <cmath>

#include "figure/figure_constants.h"
#include "runtime/rounding.h"

namespace tavelune {

using namespace figure;

Stroke Stroke::Draw(RandomSource& random) {
  auto u = [&random] { return static_cast<double>(random.Next()); };
  Stroke s{};
  // Each initialiser is its own statement, so the draws happen in this order.
  s.radius = u() * kRadiusSpread + kRadiusBase;
  s.angle = u() * kAngleSpread;
  s.angleSpeed = u() * 1 / kAngleSpeedDivisor;
  s.phaseA = static_cast<float>(Floor(u() * kPhaseChoices));
  s.phaseB = static_cast<float>(Floor(u() * kPhaseChoices));
  s.phaseStep = static_cast<float>((u() * kPhaseStepSpread + kPhaseStepBase) / kPhaseStepDivisor);
  s.red = static_cast<float>(u() * kColourSpread);
  s.green = static_cast<float>(u() * kColourSpread);
  s.blue = static_cast<float>(u() * kColourSpread);
  s.redStep = static_cast<float>(u() * 1 / kColourStepDivisor);
  s.greenStep = static_cast<float>(u() * 1 / kColourStepDivisor);
  s.blueStep = static_cast<float>(u() * 1 / kColourStepDivisor);
  return s;
}

namespace {

// Strict tests, each before the update it steers: a component turns only once it has
// crossed its bound.
void Bounce(float component, std::int16_t& direction) {
  if (component > kColourHigh) direction = -1;
  if (component < kColourLow) direction = 1;
}

}  // namespace

void Stroke::Advance(Directions& d) {
  if (radius > kRadiusTurn) d.fr = -1;
  radius = radius + d.fr * kRadiusStep;
  angle = angle + angleSpeed;
  phaseA = phaseA + phaseStep;
  phaseB = phaseB + phaseStep;
  Bounce(red, d.fre);
  Bounce(green, d.fgr);
  Bounce(blue, d.fbl);
  red = red + static_cast<float>(d.fre) * redStep;
  green = green + static_cast<float>(d.fgr) * greenStep;
  blue = blue + static_cast<float>(d.fbl) * blueStep;
}

DiscCentre CentreOf(const Stroke& s) {
  const double x = s.radius * std::cos(s.angle + std::sin(static_cast<double>(s.phaseA)));
  const double y = s.radius * std::sin(s.angle + std::cos(static_cast<double>(s.phaseB)));
  return {(x + kHalfExtent) * kPixelsPerUnit, (kHalfExtent - y) * kPixelsPerUnit};
}

}  // namespace tavelune
