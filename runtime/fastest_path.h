#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "runtime/cpu_path.h"

namespace tavelune {

// Which path of a kernel to take on this processor is measured, never assumed: an
// instruction that is fast on one vendor's processors can be microcoded on another's.

// The time of one round of a kernel's fixed work on a path, in any unit, the same for all.
using RoundTimer = std::function<double(CpuPath)>;
using PathFilter = std::function<bool(CpuPath)>;

// A more complex path is taken only when it is faster than the simpler one by more than
// this share: between two that are as fast, the simpler one has less that can go wrong.
inline constexpr double kTieMargin = 0.03;
// Rounds of each path, taken in turn, so that a machine that changes speed meanwhile
// changes them all alike; each path's fastest round counts, as the one least disturbed.
inline constexpr int kTimedRounds = 15;

// The fastest of the paths that `runs` allows (the baseline always), simplest first on a
// tie; a path of its own is not timed at all.
CpuPath FastestPath(const PathFilter& runs, const RoundTimer& time_round, int rounds = kTimedRounds);

// The path `forced` names, where it names one; else the fastest this processor runs.
CpuPath ChoosePath(std::optional<CpuPath> forced, const RoundTimer& time_round);

// Seconds that `work` takes on the steady clock.
template <typename Work>
double SecondsOf(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace tavelune
