#pragma once

#include <QStringList>
#include <optional>

#include "figure/draw_figure.h"

// The program's arguments. Without any, the window opens as it always has.
//   tavelune [--figure CODE]                      the window, its first figure CODE
//   tavelune --png FILE [--figure CODE] [--scale S]  one figure to FILE, no window, no display
//   tavelune --help | --version

// Whether the arguments ask for a run without the window (--png, --scale, --help,
// --version), which needs no display.
bool IsCommandLineRun(int argc, char** argv);

// That run, from start to exit status: 0 done, 1 the file could not be written, 2 bad
// arguments. Messages go to standard error, the figure's code to standard output.
int RunCommandLine(int argc, char** argv);

// The window's arguments, after the application took its own: the first figure, where one
// is given. Bad arguments are told on standard error, and give nothing.
struct WindowArguments {
  std::optional<tavelune::FigureStart> first_figure;
};
std::optional<WindowArguments> ParseWindowArguments(const QStringList& arguments);

inline constexpr int kBadArguments = 2;
