#include "runtime/sine_block.h"

#include <cstdint>

#include "runtime/bit_cast.h"
#include "runtime/cpu_path.h"
#include "runtime/fastest_path.h"

namespace tavelune {
namespace {

// fdlibm's reduction and kernels: x = j pi/2 + r with |r| <= pi/4, pi/2 split in three parts
// of 33 bits so that each product with j is exact.
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPio2Part1 = 1.57079632673412561417e+00;
constexpr double kPio2Part2 = 6.07710050630396597660e-11;
constexpr double kPio2Part3 = 2.02226624871116645580e-21;
// Adding and subtracting 1.5 * 2^52 rounds to the nearest integer and leaves that integer's low
// bits in the sum's mantissa.
constexpr double kRoundingShift = 0x1.8p52;

constexpr double kS1 = -1.66666666666666324348e-01, kS2 = 8.33333333332248946124e-03,
                 kS3 = -1.98412698298579493134e-04, kS4 = 2.75573137070700676789e-06,
                 kS5 = -2.50507602534068634195e-08, kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02, kC2 = -1.38888888888741095749e-03,
                 kC3 = 2.48015872894767294178e-05, kC4 = -2.75573143513906633035e-07,
                 kC5 = 2.08757232129817482790e-09, kC6 = -1.13596475577881948265e-11;

// No branch and no table, only arithmetic and bit operations, so that the loop vectorises;
// `quarterTurns` is 0 for the sine and 1 for the cosine.
inline double SineOf(double x, std::uint64_t quarterTurns) {
  const double shifted = x * kTwoOverPi + kRoundingShift;
  const double j = shifted - kRoundingShift;
  const std::uint64_t quadrant = BitCast<std::uint64_t>(shifted) + quarterTurns;
  const double r = ((x - j * kPio2Part1) - j * kPio2Part2) - j * kPio2Part3;
  const double z = r * r;
  const double sine = r + r * z * (kS1 + z * (kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)))));
  const double cosine = 1.0 - 0.5 * z + z * z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
  // Odd quadrants take the cosine kernel; quadrants 2 and 3 flip the sign.
  const std::uint64_t useCosine = 0 - (quadrant & 1);
  const std::uint64_t bits =
      (BitCast<std::uint64_t>(sine) & ~useCosine) | (BitCast<std::uint64_t>(cosine) & useCosine);
  return BitCast<double>(bits ^ ((quadrant & 2) << 62));
}

// One loop, compiled for each path; the processor-specific ones exist only on x86-64. Every
// path rounds every operation alike (no contraction into fused multiply-adds), so all give
// the same bits.
[[gnu::always_inline]] inline void SineLoop(const double* in, double* out, int n, std::uint64_t quarterTurns) {
  for (int i = 0; i < n; ++i) out[i] = SineOf(in[i], quarterTurns);
}

using SineKernel = void (*)(const double*, double*, int, std::uint64_t);

void SineLoopBaseline(const double* in, double* out, int n, std::uint64_t quarterTurns) {
  SineLoop(in, out, n, quarterTurns);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void SineLoopAvx2(const double* in, double* out, int n, std::uint64_t quarterTurns) {
  SineLoop(in, out, n, quarterTurns);
}
[[gnu::target("avx512f")]] void SineLoopAvx512(const double* in, double* out, int n, std::uint64_t quarterTurns) {
  SineLoop(in, out, n, quarterTurns);
}
#endif

SineKernel KernelFor(CpuPath path) {
#if defined(__x86_64__)
  if (path == CpuPath::kAvx512) return SineLoopAvx512;
  if (path == CpuPath::kAvx2) return SineLoopAvx2;
#endif
  (void)path;
  return SineLoopBaseline;
}

// One round of the measurement: a block of the length the figures use, arguments of their size.
double TimeSines(CpuPath path) {
  constexpr int kArguments = 1024;
  double in[kArguments], out[kArguments];
  for (int i = 0; i < kArguments; ++i) in[i] = 0.37 * i;
  const SineKernel kernel = KernelFor(path);
  return SecondsOf([&] {
    kernel(in, out, kArguments, 0);
    kernel(in, out, kArguments, 1);
  });
}

SineKernel Selected() {
  static const SineKernel kernel = KernelFor(SinesPath());
  return kernel;
}

}  // namespace

CpuPath SinesPath() {
  static const CpuPath path =
      kPathsToChoose ? ChoosePath(ForcedCpuPath(), TimeSines) : ForcedCpuPath().value_or(CpuPath::kBaseline);
  return path;
}

void Sines(const double* in, double* out, int n) { Selected()(in, out, n, 0); }
void Cosines(const double* in, double* out, int n) { Selected()(in, out, n, 1); }
void Sines(CpuPath path, const double* in, double* out, int n) { KernelFor(path)(in, out, n, 0); }
void Cosines(CpuPath path, const double* in, double* out, int n) { KernelFor(path)(in, out, n, 1); }

}  // namespace tavelune
