#include "window/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "figure/figure_code.h"
#include "runtime/runtime.h"
#include "surface/raster_surface.h"
#include "window/figure_image.h"

using tavelune::FigureStart;
using tavelune::RasterSurface;
using tavelune::Status;

namespace {

constexpr int kWriteFailed = 1;

QString Tr(const char* text) { return QCoreApplication::translate("CommandLine", text); }

struct Options {
  QCommandLineOption png{"png", Tr("Paint one figure into FILE, as PNG, without opening a window."), "FILE"};
  QCommandLineOption figure{"figure", Tr("Paint the figure of this code instead of a new one."), "CODE"};
  QCommandLineOption scale{"scale", Tr("With --png, S pixels for every pixel of the surface, from 0.25 to 8."), "S",
                           "1"};

  void AddTo(QCommandLineParser& parser) {
    parser.setApplicationDescription(Tr("Paints abstract figures."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({png, figure, scale});
  }
};

void Complain(const QString& what) { std::fprintf(stderr, "tavelune: %s\n", qPrintable(what)); }

// Parses, and tells what is wrong on standard error.
bool Parse(QCommandLineParser& parser, const QStringList& arguments) {
  if (!parser.parse(arguments)) {
    Complain(parser.errorText());
    return false;
  }
  if (!parser.positionalArguments().isEmpty()) {
    Complain(Tr("unexpected argument \"%1\"; see --help").arg(parser.positionalArguments().constFirst()));
    return false;
  }
  return true;
}

std::optional<FigureStart> FigureNamed(const QString& code) {
  const auto figure = tavelune::DecodeFigure(code.toStdString());
  if (!figure) {
    Complain(Tr("\"%1\" is not a figure code: a code is %2 letters and digits, as shown in a figure's tool tip")
                 .arg(code)
                 .arg(tavelune::kFigureCodeLength));
    return std::nullopt;
  }
  return tavelune::StartOf(*figure);
}

// One figure on a black surface of `scale`, as the window paints its first.
int WriteFigure(const QString& path, std::optional<FigureStart> start, double scale) {
  RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, scale);
  if (surface.SetBackColor(tavelune::ComposeColor(0, 0, 0)) == Status::kFailed ||
      surface.SetFillSolid() == Status::kFailed) {
    Complain(Tr("the surface could not be prepared"));
    return kWriteFailed;
  }
  if (start) {
    (void)tavelune::RepaintFigure(*start, surface);
  } else {
    const tavelune::Runtime runtime = tavelune::ProcessRuntime();
    tavelune::Directions directions;  // all +1
    start.emplace();
    if (ReseedFromClock(runtime) == Status::kFailed ||
        DrawFigure(directions, surface, runtime, &*start) == Status::kFailed) {
      Complain(Tr("the random source could not be seeded from the clock"));
      return kWriteFailed;
    }
  }
  const std::optional<std::string> code = tavelune::CodeOf(*start);
  const QString failure = WritePng(FigureImage(surface, code), path);
  if (!failure.isEmpty()) {
    Complain(failure);
    return kWriteFailed;
  }
  std::printf("%s\n", code ? code->c_str() : "");
  return 0;
}

}  // namespace

bool IsCommandLineRun(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"--png", "--scale", "-h", "--help", "--help-all", "-?", "-v", "--version"}) {
      const std::size_t n = std::strlen(option);
      if (std::strncmp(argv[i], option, n) == 0 && (argv[i][n] == '\0' || argv[i][n] == '=')) return true;
    }
  }
  return false;
}

int RunCommandLine(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("tavelune");
  QCoreApplication::setApplicationVersion("1.00");
  QCommandLineParser parser;
  Options options;
  options.AddTo(parser);
  if (!Parse(parser, QCoreApplication::arguments())) return kBadArguments;
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::printf("%s", qPrintable(parser.helpText()));
    return 0;
  }
  if (parser.isSet("version")) {
    std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                qPrintable(QCoreApplication::applicationVersion()));
    return 0;
  }
  if (!parser.isSet(options.png)) {
    Complain(Tr("--scale goes with --png FILE"));
    return kBadArguments;
  }
  const QString path = parser.value(options.png);
  if (path.isEmpty()) {
    Complain(Tr("--png needs a file name"));
    return kBadArguments;
  }
  bool isNumber = false;
  const double scale = parser.value(options.scale).toDouble(&isNumber);
  if (!isNumber || !std::isfinite(scale) || scale < RasterSurface::kMinScale || scale > RasterSurface::kMaxScale) {
    Complain(Tr("the scale must be a number from 0.25 to 8, not \"%1\"").arg(parser.value(options.scale)));
    return kBadArguments;
  }
  std::optional<FigureStart> start;
  if (parser.isSet(options.figure) && !(start = FigureNamed(parser.value(options.figure)))) return kBadArguments;
  return WriteFigure(path, std::move(start), scale);
}

std::optional<WindowArguments> ParseWindowArguments(const QStringList& arguments) {
  QCommandLineParser parser;
  Options options;
  options.AddTo(parser);
  if (!Parse(parser, arguments)) return std::nullopt;
  WindowArguments result;
  if (parser.isSet(options.figure) && !(result.first_figure = FigureNamed(parser.value(options.figure)))) {
    return std::nullopt;
  }
  return result;
}
