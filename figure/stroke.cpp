#include "figure/stroke.h"

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

}  // namespace tavelune
