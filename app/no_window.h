#pragma once

#include "app/options.h"

// The runs that need no window and no display. Each returns the exit status: 0 done, 1 a
// file or standard output could not be written. Messages go to standard error.

// --help or --version, on standard output.
int RunInfo(int argc, char** argv, const ProgramOptions& options);

// --png FILE: one figure on a black surface, as the window paints its first; its code on
// standard output, unless the PNG itself goes there.
int RunPng(int argc, char** argv, const ProgramOptions& options);

// --add-to-screensaver: tavelune into the user's list of xscreensaver's screensavers; what
// happened on standard output, or why not on standard error and status 1.
int RunAddToScreensaver(int argc, char** argv);
