#include "runtime/fastest_path.h"

#include <algorithm>
#include <limits>

namespace tavelune {

CpuPath FastestPath(const PathFilter& runs, const RoundTimer& time_round, int rounds) {
  constexpr int kPaths = static_cast<int>(std::size(kCpuPaths));
  bool candidate[kPaths] = {};
  int candidates = 0;
  for (int p = 0; p < kPaths; ++p) {
    candidate[p] = kCpuPaths[p] == CpuPath::kBaseline || runs(kCpuPaths[p]);
    candidates += candidate[p];
  }
  if (candidates == 1) return CpuPath::kBaseline;
  double best[kPaths];
  std::fill(std::begin(best), std::end(best), std::numeric_limits<double>::infinity());
  for (int round = 0; round < rounds; ++round) {
    for (int p = 0; p < kPaths; ++p) {
      if (candidate[p]) best[p] = std::min(best[p], time_round(kCpuPaths[p]));
    }
  }
  // kCpuPaths runs from the simplest path to the most complex.
  int chosen = 0;
  for (int p = 1; p < kPaths; ++p) {
    if (candidate[p] && best[p] * (1 + kTieMargin) < best[chosen]) chosen = p;
  }
  return kCpuPaths[chosen];
}

CpuPath ChoosePath(std::optional<CpuPath> forced, const RoundTimer& time_round) {
  if (forced) return *forced;
  return FastestPath(CpuRuns, time_round);
}

}  // namespace tavelune
