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

// A whole figure on one processor path, its sine kernel and its painter, by `workers`: the
// process's own where none are given.
void FigureRaster(benchmark::State& state, double scale, CpuPath path, WorkerPool* workers = nullptr) {
  if (!CpuRuns(path)) return state.SkipWithError("this processor lacks the path");
  RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, scale, path);
  (void)surface.SetFillSolid();
  WorkerPool& pool = workers ? *workers : ProcessWorkers();
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

void BM_FigureRaster(benchmark::State& state) { FigureRaster(state, 1, SelectedCpuPath()); }
void BM_FigureRaster1_5x(benchmark::State& state) { FigureRaster(state, 1.5, SelectedCpuPath()); }
void BM_FigureRaster2x(benchmark::State& state) { FigureRaster(state, 2, SelectedCpuPath()); }
void BM_FigureRaster8x(benchmark::State& state) { FigureRaster(state, 8, SelectedCpuPath()); }
void BM_FigureRasterOneThread(benchmark::State& state) { FigureRaster(state, 1, SelectedCpuPath(), OneThread()); }
void BM_FigureRaster2xOneThread(benchmark::State& state) { FigureRaster(state, 2, SelectedCpuPath(), OneThread()); }
void BM_FigureRaster8xOneThread(benchmark::State& state) { FigureRaster(state, 8, SelectedCpuPath(), OneThread()); }
void BM_FigureRasterAvx2(benchmark::State& state) { FigureRaster(state, 1, CpuPath::kAvx2); }
void BM_FigureRasterAvx2_2x(benchmark::State& state) { FigureRaster(state, 2, CpuPath::kAvx2); }
void BM_FigureRasterBaseline(benchmark::State& state) { FigureRaster(state, 1, CpuPath::kBaseline); }
void BM_FigureRasterBaseline2x(benchmark::State& state) { FigureRaster(state, 2, CpuPath::kBaseline); }

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
BENCHMARK(BM_FigureRasterAvx2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterAvx2_2x)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FigureRasterBaseline2x)->Unit(benchmark::kMillisecond)->UseRealTime();
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
                  {"BM_FigureRasterBaseline", "BM_FigureRaster"},   {"BM_FigureRasterBaseline2x", "BM_FigureRaster2x"}};
    for (const auto& r : ratios) {
      if (ms(r.over) > 0 && ms(r.under) > 0) {
        std::printf("%-26s / %-20s %7.2f x\n", r.over + 3, r.under + 3, ms(r.over) / ms(r.under));
      }
    }
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
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
