#include "surface/kernel_paths.h"

#include <system_error>
#include <thread>

#include "runtime/sine_block.h"
#include "runtime/worker_pool.h"
#include "surface/one_colour_disc.h"

namespace tavelune {

KernelPaths ChosenKernelPaths() { return {SinesPath(), PainterPath()}; }

std::string DescribeKernelPaths() {
  const KernelPaths paths = ChosenKernelPaths();
  const int workers = WorkerCount();
  return "painter " + std::string(NameOf(paths.painter)) + ", sines " + std::string(NameOf(paths.sines)) + ", " +
         std::to_string(workers) + (workers == 1 ? " worker" : " workers");
}

void ChooseKernelPathsInBackground() {
  // A path that is forced needs no measuring, and a bad TAVELUNE_CPU is refused here, on
  // the caller's thread.
  if (ForcedCpuPath() || !WorkerPool::kThreadsAvailable) return;
  try {
    std::thread([] { (void)ChosenKernelPaths(); }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the first figure measures.
  }
}

}  // namespace tavelune
