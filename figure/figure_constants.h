#pragma once

namespace tavelune::figure {

inline constexpr int kStrokes = 5;
inline constexpr int kStepsPerStroke = 100000;

// The loop's size in figure units: it starts in [1, 2.8) and turns only once, at 2.5.
inline constexpr double kRadiusBase = 1;
inline constexpr double kRadiusSpread = 1.8;
inline constexpr double kRadiusStep = 5E-06;
inline constexpr double kRadiusTurn = 2.5;

// 6.286 is the literal the figures were tuned with, not 2 pi.
inline constexpr double kAngleSpread = 6.286;
inline constexpr double kAngleSpeedDivisor = 100000;

inline constexpr double kPhaseChoices = 5;
inline constexpr double kPhaseStepSpread = 7;
inline constexpr double kPhaseStepBase = 2;
inline constexpr double kPhaseStepDivisor = 1000;

// Colour components start in [0, 256) and bounce between 2 and 255.
inline constexpr double kColourSpread = 256;
inline constexpr double kColourStepDivisor = 300;
inline constexpr float kColourLow = 2;
inline constexpr float kColourHigh = 255;

// Figure coordinates -3 ... +3 span the 500-pixel surface; y points up.
inline constexpr double kHalfExtent = 3;
inline constexpr double kPixelsPerUnit = 500.0 / 6;

inline constexpr float kDiscRadius = 5.0f;

}  // namespace tavelune::figure
