#pragma once

#include <string>

#include "runtime/cpu_path.h"

namespace tavelune {

// The path each kernel takes in this process: TAVELUNE_CPU's for all, or else each one's
// fastest as measured once. The first call waits for the measurement.
KernelPaths ChosenKernelPaths();

// Starts the measurement on a thread of its own, so that a figure painted a few
// milliseconds later finds the choice made and does not wait for it.
void ChooseKernelPathsInBackground();

// Which code paints, for a bug report: "painter avx2, sines avx512, 2 workers".
std::string DescribeKernelPaths();

}  // namespace tavelune
