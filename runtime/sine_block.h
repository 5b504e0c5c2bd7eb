#pragma once

#include "runtime/cpu_path.h"

namespace tavelune {

// Sine and cosine of whole arrays at once, on SinesPath(). They agree with the standard
// library's to a few units in the last place for the arguments the figures use (|x| below
// about 10^5), and they give the same bits whichever processor path runs them.
void Sines(const double* in, double* out, int n);
void Cosines(const double* in, double* out, int n);

// The same on a given path, one that this processor runs (CpuRuns).
void Sines(CpuPath path, const double* in, double* out, int n);
void Cosines(CpuPath path, const double* in, double* out, int n);

// The path the kernel takes: TAVELUNE_CPU's, or else the fastest of this processor's as
// measured on the first call (a fraction of a millisecond).
CpuPath SinesPath();

}  // namespace tavelune
