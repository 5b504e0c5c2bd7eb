#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "figure/figure_code.h"

// The program's front ends. The options given choose one; without any, the window opens as
// it always has.
enum class FrontEnd : unsigned {
  kWindow = 1,
  kPng = 2,   // one figure into a file, no window and no display
  kInfo = 4,  // --help, --version
  kScreensaver = 8,  // figures after figures in a window of another program's, or the root
  kAddToScreensaver = 16,  // tavelune into the user's list of xscreensaver's screensavers
};

// What the command line asked for, read and checked.
struct ProgramOptions {
  FrontEnd front_end = FrontEnd::kWindow;
  bool help = false;
  bool version = false;
  QString png;
  std::optional<tavelune::CodedFigure> figure;
  std::optional<double> scale;
  std::optional<double> watch;
  bool full_screen = false;
  std::optional<double> slideshow;
  bool root = false;
  std::optional<unsigned long> window_id;
  bool show_code = false;
  bool add_to_screensaver = false;
};

// Reads the program's own options, leaving Qt's own (-platform, -style, -display, …) to Qt;
// needs no application object and no display. Bad arguments are told on standard error and
// give nothing.
std::optional<ProgramOptions> ParseProgramOptions(const QStringList& arguments);

// What --help prints; needs the application object.
QString HelpText();

// Writes a message for the user on standard error, after the program's name.
void Complain(const QString& what);

inline constexpr int kBadArguments = 2;
