#include "app/application.h"
#include "app/no_window.h"
#include "app/options.h"
#include "surface/kernel_paths.h"

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const std::optional<ProgramOptions> options = ParseProgramOptions(arguments);
  if (!options) return kBadArguments;
  const FrontEnd front_end = options->front_end;
  if (front_end == FrontEnd::kWindow || front_end == FrontEnd::kPng || front_end == FrontEnd::kScreensaver) {
    tavelune::ChooseKernelPathsInBackground();
  }
  switch (options->front_end) {
    case FrontEnd::kInfo: return RunInfo(argc, argv, *options);
    case FrontEnd::kPng: return RunPng(argc, argv, *options);
    case FrontEnd::kScreensaver: return RunScreensaverFrontEnd(argc, argv, *options);
    case FrontEnd::kAddToScreensaver: return RunAddToScreensaver(argc, argv);
    case FrontEnd::kWindow: break;
  }
  return RunWindow(argc, argv, *options);
}
