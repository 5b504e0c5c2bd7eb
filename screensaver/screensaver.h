#pragma once

#include <optional>

#include "figure/draw_figure.h"

// The screensaver, from its start to its end, in the X window `window` of another program
// (the screensaver daemon's, its settings' preview, or the root window): figure after
// figure, each unfolding over `watch` seconds and then shown for `pause`. Needs the
// application object. Returns the exit status: 0 when it is ended (the window or the
// display goes away), 2 where there is no such window.
// With `show_codes`, each figure's code in a corner.
int RunScreensaver(unsigned long window, double watch, double pause, bool show_codes,
                   std::optional<tavelune::FigureStart> first);

inline constexpr double kScreensaverWatchSeconds = 10;
inline constexpr double kScreensaverPauseSeconds = 5;
