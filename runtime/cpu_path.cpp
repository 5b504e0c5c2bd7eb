#include "runtime/cpu_path.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tavelune {
namespace {

std::optional<CpuPath> Forced() {
#if defined(__EMSCRIPTEN__)
  return std::nullopt;  // a page has no environment, and WebAssembly the one path
#endif
  const char* wanted = std::getenv("TAVELUNE_CPU");
  if (wanted == nullptr || *wanted == '\0') return std::nullopt;
  const std::optional<CpuPath> path = CpuPathNamed(wanted);
  if (!path) {
    std::fprintf(stderr, "tavelune: TAVELUNE_CPU=%s is not a processor path (baseline, avx2 or avx512)\n", wanted);
    std::exit(2);
  }
  if (!CpuRuns(*path)) {
    std::string available;
    for (const CpuPath p : kCpuPaths) {
      if (CpuRuns(p)) available += (available.empty() ? "" : ", ") + std::string(NameOf(p));
    }
    std::fprintf(stderr, "tavelune: TAVELUNE_CPU=%s is not available on this processor (it runs %s)\n", wanted,
                 available.c_str());
    std::exit(2);
  }
  return *path;
}

}  // namespace

std::string_view NameOf(CpuPath path) {
  switch (path) {
    case CpuPath::kAvx2: return "avx2";
    case CpuPath::kAvx512: return "avx512";
    case CpuPath::kBaseline: break;
  }
  return "baseline";
}

std::optional<CpuPath> CpuPathNamed(std::string_view name) {
  for (const CpuPath p : kCpuPaths) {
    if (NameOf(p) == name) return p;
  }
  return std::nullopt;
}

bool CpuRuns(CpuPath path) {
#if defined(__x86_64__)
  switch (path) {
    case CpuPath::kAvx2: return __builtin_cpu_supports("avx2");
    case CpuPath::kAvx512: return __builtin_cpu_supports("avx512f");
    case CpuPath::kBaseline: return true;
  }
#endif
  return path == CpuPath::kBaseline;
}

std::optional<CpuPath> ForcedCpuPath() {
  static const std::optional<CpuPath> forced = Forced();
  return forced;
}

}  // namespace tavelune
