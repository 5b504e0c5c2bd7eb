#include "app/no_window.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "figure/figure_code.h"
#include "image/figure_image.h"
#include "image/png_file.h"
#include "runtime/runtime.h"
#include "screensaver/screensaver_list.h"
#include "surface/kernel_paths.h"
#include "surface/raster_surface.h"

using tavelune::FigureStart;
using tavelune::RasterSurface;
using tavelune::Status;

namespace {

constexpr int kFailed = 1;
constexpr char kStandardOutput[] = "-";

QString Tr(const char* text) { return QCoreApplication::translate("CommandLine", text); }

// Standard output could lose what was printed (a full disk, a closed pipe): that is a failure too.
int Flushed(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Complain(Tr("cannot write to standard output: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    return kFailed;
  }
  return status;
}

// A name that asks for another image format than PNG is refused rather than given PNG
// data under a misleading name. Pipes, devices and names without a suffix take PNG.
QString WrongFormat(const QString& path) {
  const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
  if (suffix.isEmpty() || suffix == "png" || !QImageWriter::supportedImageFormats().contains(suffix)) return {};
  return Tr("%1 would be a .%2 file, but tavelune writes PNG only: name it .png").arg(path, QString(suffix));
}

}  // namespace

int RunInfo(int argc, char** argv, const ProgramOptions& options) {
  QCoreApplication app(argc, argv);
  NameApplication();
  if (options.help) {
    std::printf("%s", qPrintable(HelpText()));
  } else {
    std::printf("%s %s\n%s\n", qPrintable(QCoreApplication::applicationName()),
                qPrintable(QCoreApplication::applicationVersion()), tavelune::DescribeKernelPaths().c_str());
  }
  return Flushed(0);
}

int RunPng(int argc, char** argv, const ProgramOptions& options) {
  QCoreApplication app(argc, argv);
  NameApplication();
  if (const QString wrong = WrongFormat(options.png); !wrong.isEmpty()) {
    Complain(wrong);
    return kBadArguments;
  }
  RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, options.scale.value_or(1));
  if (surface.SetBackColor(tavelune::ComposeColor(0, 0, 0)) == Status::kFailed ||
      surface.SetFillSolid() == Status::kFailed) {
    Complain(Tr("the surface could not be prepared"));
    return kFailed;
  }
  FigureStart start;
  if (options.figure) {
    start = tavelune::StartOf(*options.figure);
    (void)tavelune::RepaintFigure(start, surface);
  } else {
    const tavelune::Runtime runtime = tavelune::ProcessRuntime();
    tavelune::Directions directions;  // all +1
    if (DrawFigure(directions, surface, runtime, &start) == Status::kFailed) {
      Complain(Tr("the random source could not be seeded from the clock"));
      return kFailed;
    }
  }
  const std::optional<std::string> code = tavelune::CodeOf(start);
  const QImage image = FigureImage(surface, code);
  const bool toStandardOutput = options.png == kStandardOutput;
  const QString failure = toStandardOutput ? WritePng(image, stdout, Tr("standard output")) : WritePng(image, options.png);
  if (!failure.isEmpty()) {
    Complain(failure);
    return kFailed;
  }
  if (!toStandardOutput) std::printf("%s\n", code ? code->c_str() : "");
  return Flushed(0);
}

int RunAddToScreensaver(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  NameApplication();
  const ScreensaverListing listing = AddTaveluneToScreensavers();
  if (!listing.ok) {
    Complain(listing.message);
    return kFailed;
  }
  std::printf("%s\n", qPrintable(listing.message));
  return Flushed(0);
}
