// One whole figure per iteration, into three surfaces: the raster (on the fastest processor
// path and on each other one), one that draws nothing (the arithmetic alone), and QPainter
// on a QImage as a plain Qt program would draw it.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <map>
#include <string>

#include "figure/draw_figure.h"
#include "surface/kernel_paths.h"
#include "surface/raster_surface.h"

namespace {

using namespace tavelune;

class NoonClock final : public Clock {
 public:
  std::optional<float> SecondsSinceMidnight() override { return 43200.0f; }
};

class NullSurface final : public DrawingSurface {
 public:
  Status Clear() override { return Status::kOk; }
  Status SetBackColor(Colour) override { return Status::kOk; }
  Status SetFillSolid() override { return Status::kOk; }
  Status SetFillColor(Colour c) override {
    benchmark::DoNotOptimize(c);
    return Status::kOk;
  }
  Status DrawCircle(float x, float y, float r, Colour c) override {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(y);
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(c);
    return Status::kOk;
  }
};

// A sharp figure the plain Qt way: an image of the device pixels, the painter scaled.
class QPainterSurface final : public DrawingSurface {
 public:
  explicit QPainterSurface(int scale = 1)
      : image_(RasterSurface::kSize * scale, RasterSurface::kSize * scale, QImage::Format_RGB32), painter_(&image_) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.scale(scale, scale);
    image_.fill(Qt::black);
  }
  Status Clear() override { return Status::kOk; }
  Status SetBackColor(Colour) override { return Status::kOk; }
  Status SetFillSolid() override { return Status::kOk; }
  Status SetFillColor(Colour c) override {
    painter_.setBrush(QColor::fromRgb(Rgb(c)));
    return Status::kOk;
  }
  Status DrawCircle(float x, float y, float r, Colour c) override {
    painter_.setPen(QColor::fromRgb(Rgb(c)));
    painter_.drawEllipse(QPointF(x, y), r, r);
    return Status::kOk;
  }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
  QPainter painter_;
};

// The same figure every iteration: a fresh random source at the same seed, fresh directions.
void DrawOneFigure(DrawingSurface& surface) {
  NoonClock clock;
  Pcg32Source random;
  Directions directions;
  if (DrawFigure(directions, surface, {clock, random}) == Status::kFailed) std::abort();
}

// The same, painted by `workers`.
void DrawOneFigure(DrawingSurface& surface, WorkerPool& workers) {
  NoonClock clock;
  Pcg32Source random;
  Directions directions;
  if (ReseedFromClock({clock, random}) == Status::kFailed) std::abort();
  PaintFigure(directions, surface, random, workers);
}

// A whole figure on the given paths of its sine kernel and its painter, by `workers`: the
// process's own where none are given. One figure before the timing faults in the layers'
// pages, which a figure costs only once in a surface's life.
void FigureRaster(benchmark::State& state, double scale, KernelPaths paths, WorkerPool* workers = nullptr) {
  if (!CpuRuns(paths.sines) || !CpuRuns(paths.painter)) return state.SkipWithError("this processor lacks the path");
  RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, scale, paths);
  (void)surface.SetFillSolid();
  WorkerPool& pool = workers ? *workers : ProcessWorkers();
  DrawOneFigure(surface, pool);
  for (auto _ : state) {
    DrawOneFigure(surface, pool);
    benchmark::DoNotOptimize(surface.Bits());
    benchmark::ClobberMemory();
  }
}

WorkerPool* OneThread() {
  static WorkerPool one(1);
  return &one;
}

void BM_FigureRaster(benchmark::State& state) { FigureRaster(state, 1, ChosenKernelPaths()); }
void BM_FigureRaster1_5x(benchmark::State& state) { FigureRaster(state, 1.5, ChosenKernelPaths()); }
void BM_FigureRaster2x(benchmark::State& state) { FigureRaster(state, 2, ChosenKernelPaths()); }
void BM_FigureRaster8x(benchmark::State& state) { FigureRaster(state, 8, ChosenKernelPaths()); }
void BM_FigureRasterOneThread(benchmark::State& state) { FigureRaster(state, 1, ChosenKernelPaths(), OneThread()); }
void BM_FigureRaster2xOneThread(benchmark::State& state) { FigureRaster(state, 2, ChosenKernelPaths(), OneThread()); }
void BM_FigureRaster8xOneThread(benchmark::State& state) { FigureRaster(state, 8, ChosenKernelPaths(), OneThread()); }
void BM_FigureRasterAvx512(benchmark::State& state) { FigureRaster(state, 1, CpuPath::kAvx512); }
void BM_FigureRasterAvx512_2x(benchmark::State& state) { FigureRaster(state, 2, CpuPath::kAvx512); }
void BM_FigureRasterAvx2(benchmark::State& state) { FigureRaster(state, 1, CpuPath::kAvx2); }
void BM_FigureRasterAvx2_2x(benchmark::State& state) { FigureRaster(state, 2, CpuPath::kAvx2); }
void BM_FigureRasterBaseline(benchmark::State& state) { FigureRaster(state, 1, CpuPath::kBaseline); }
void BM_FigureRasterBaseline2x(benchmark::State& state) { FigureRaster(state, 2, CpuPath::kBaseline); }

// The discs of one figure, as DrawFigure hands them to a surface.
struct Disc {
  float x, y;
  Colour colour;
};

class RecordingSurface final : public DrawingSurface {
 public:
  Status Clear() override { return Status::kOk; }
  Status SetBackColor(Colour) override { return Status::kOk; }
  Status SetFillSolid() override { return Status::kOk; }
  Status SetFillColor(Colour) override { return Status::kOk; }
  Status DrawCircle(float x, float y, float, Colour c) override {
    discs.push_back({x, y, c});
    return Status::kOk;
  }
  std::vector<Disc> discs;
};

const std::vector<Disc>& RecordedDiscs() {
  static const std::vector<Disc> discs = [] {
    RecordingSurface recorder;
    DrawOneFigure(recorder);
    return recorder.discs;
  }();
  return discs;
}

// The painter alone, on one thread: the recorded figure's discs at 2x, the arithmetic done.
void PaintDiscs(benchmark::State& state, CpuPath path) {
  if (!CpuRuns(path)) return state.SkipWithError("this processor lacks the path");
  const std::vector<Disc>& discs = RecordedDiscs();
  RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, 2, path);
  for (const Disc& d : discs) surface.PaintFigureDisc(d.x, d.y, d.colour, 0);
  for (auto _ : state) {
    for (const Disc& d : discs) surface.PaintFigureDisc(d.x, d.y, d.colour, 0);
    benchmark::DoNotOptimize(surface.Bits());
    benchmark::ClobberMemory();
  }
}

void BM_PaintDiscs(benchmark::State& state) { PaintDiscs(state, ChosenKernelPaths().painter); }
void BM_PaintDiscsAvx512(benchmark::State& state) { PaintDiscs(state, CpuPath::kAvx512); }
void BM_PaintDiscsAvx2(benchmark::State& state) { PaintDiscs(state, CpuPath::kAvx2); }
void BM_PaintDiscsBaseline(benchmark::State& state) { PaintDiscs(state, CpuPath::kBaseline); }

void BM_FigureArithmetic(benchmark::State& state) {
  NullSurface surface;
  for (auto _ : state) DrawOneFigure(surface);
}

void FigureQPainter(benchmark::State& state, int scale) {
  QPainterSurface surface(scale);
  for (auto _ : state) {
    DrawOneFigure(surface);
    benchmark::DoNotOptimize(surface.Image().constBits());
  }
}

void BM_FigureQPainter(benchmark::State& state) { FigureQPainter(state, 1); }
void BM_FigureQPainter2x(benchmark::State& state) { FigureQPainter(state, 2); }

BENCHMARK(BM_FigureRaster)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRaster1_5x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRaster2x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRaster8x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRaster2xOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRaster8xOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterAvx512)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterAvx512_2x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterAvx2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterAvx2_2x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterBaseline2x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintDiscs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintDiscsAvx512)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintDiscsAvx2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PaintDiscsBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureArithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FigureQPainter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FigureQPainter2x)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's median (or its one run) so the ratios come from the same run.
class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      if (run.run_type == Run::RT_Iteration && medians_.count(name) && run.repetitions > 1) continue;
      medians_[name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    auto ms = [&](const char* name) { return medians_.count(name) ? medians_.at(name) : 0.0; };
    std::printf("\nmedians (ms per figure):");
    for (const auto& [name, median] : medians_) std::printf(" %s %.2f", name.c_str() + 3, median);
    std::printf("\n");
    const struct {
      const char *over, *under;
    } ratios[] = {{"BM_FigureQPainter", "BM_FigureRaster"},         {"BM_FigureRaster", "BM_FigureArithmetic"},
                  {"BM_FigureRaster2x", "BM_FigureRaster"},         {"BM_FigureQPainter2x", "BM_FigureRaster2x"},
                  {"BM_FigureRaster1_5x", "BM_FigureRaster"},       {"BM_FigureRaster8x", "BM_FigureRaster"},
                  {"BM_FigureRasterOneThread", "BM_FigureRaster"},  {"BM_FigureRaster2xOneThread", "BM_FigureRaster2x"},
                  {"BM_FigureRaster8xOneThread", "BM_FigureRaster8x"},
                  {"BM_FigureRasterAvx2", "BM_FigureRaster"},       {"BM_FigureRasterAvx2_2x", "BM_FigureRaster2x"},
                  {"BM_FigureRasterAvx512", "BM_FigureRaster"},     {"BM_FigureRasterAvx512_2x", "BM_FigureRaster2x"},
                  {"BM_FigureRasterBaseline", "BM_FigureRaster"},   {"BM_FigureRasterBaseline2x", "BM_FigureRaster2x"},
                  {"BM_PaintDiscsAvx512", "BM_PaintDiscs"},         {"BM_PaintDiscsAvx2", "BM_PaintDiscs"},
                  {"BM_PaintDiscsBaseline", "BM_PaintDiscs"}};
    for (const auto& r : ratios) {
      if (ms(r.over) > 0 && ms(r.under) > 0) {
        std::printf("%-26s / %-20s %7.2f x\n", r.over + 3, r.under + 3, ms(r.over) / ms(r.under));
      }
    }
  }

  // The automatic paths against the fastest whole-figure path at scales 1 and 2, where
  // both were run; 0 where not. The automatic choice may mix paths and beat every one.
  struct Misselection {
    double at_1x, at_2x;
  };
  Misselection AutomaticOverFastest() const {
    auto over_fastest = [&](const char* automatic, std::initializer_list<const char*> whole_paths) {
      double fastest = 0;
      for (const char* name : whole_paths) {
        if (medians_.count(name) && (fastest == 0 || medians_.at(name) < fastest)) fastest = medians_.at(name);
      }
      return medians_.count(automatic) && fastest > 0 ? medians_.at(automatic) / fastest : 0.0;
    };
    return {over_fastest("BM_FigureRaster", {"BM_FigureRasterAvx512", "BM_FigureRasterAvx2", "BM_FigureRasterBaseline"}),
            over_fastest("BM_FigureRaster2x",
                         {"BM_FigureRasterAvx512_2x", "BM_FigureRasterAvx2_2x", "BM_FigureRasterBaseline2x"})};
  }

 private:
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::printf("%s\n", DescribeKernelPaths().c_str());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  // A gross margin, far above the noise: only a path chosen wrongly comes near it.
  constexpr double kMisselected = 1.5;
  const auto [at_1x, at_2x] = reporter.AutomaticOverFastest();
  if (at_1x > 0 || at_2x > 0) std::printf("automatic path vs fastest path: 1x %.2f, 2x %.2f\n", at_1x, at_2x);
  if (at_1x > kMisselected || at_2x > kMisselected) {
    std::fprintf(stderr, "tavelune_bench: the automatic path is over %.1f times the fastest path's time\n", kMisselected);
    return 1;
  }
  return 0;
}
