#pragma once

#include <optional>
#include <string_view>

namespace tavelune {

// The instruction-set paths of the dispatched kernels. Every path gives the same bits; they
// differ only in speed. kBaseline is plain C++ and is what every processor runs.
enum class CpuPath { kBaseline, kAvx2, kAvx512 };

inline constexpr CpuPath kCpuPaths[] = {CpuPath::kBaseline, CpuPath::kAvx2, CpuPath::kAvx512};

// "baseline", "avx2", "avx512".
std::string_view NameOf(CpuPath path);
std::optional<CpuPath> CpuPathNamed(std::string_view name);

// Whether this processor (and this build) can run the path.
bool CpuRuns(CpuPath path);

// Whether this build has paths to choose from at all; elsewhere (arm64, WebAssembly) there is
// only the baseline, and nothing to measure or to carry in the binary for it.
#if defined(__x86_64__)
inline constexpr bool kPathsToChoose = true;
#else
inline constexpr bool kPathsToChoose = false;
#endif

// The path named by the environment variable TAVELUNE_CPU, read once, for every kernel; none
// where it is unset or empty. A name that is unknown, or a path this processor cannot run,
// ends the program with a message on standard error and status 2: a test asked to run one
// path must never silently run another.
std::optional<CpuPath> ForcedCpuPath();

// The path of each dispatched kernel: the sine block and the disc painter.
struct KernelPaths {
  KernelPaths(CpuPath both) : sines(both), painter(both) {}  // NOLINT: one path for all is the common case
  KernelPaths(CpuPath sines_path, CpuPath painter_path) : sines(sines_path), painter(painter_path) {}
  CpuPath sines;
  CpuPath painter;
};

}  // namespace tavelune
