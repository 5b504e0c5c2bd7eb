#pragma once

#include <QApplication>
#include <memory>

#include "app/options.h"

// The program's name and version, for --version, the help and the window system.
void NameApplication();

// The application object on the display, or, where no display can be opened, one line that
// says so on standard error and exit status 1, in place of Qt's abort.
std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv);

// The window, from its opening to its closing; returns the exit status.
int RunWindow(int argc, char** argv, const ProgramOptions& options);

// The screensaver, from its start until it is ended; returns the exit status.
int RunScreensaverFrontEnd(int argc, char** argv, const ProgramOptions& options);
