// One whole figure per iteration, into three surfaces: the raster, one that draws nothing
// (the arithmetic alone), and QPainter on a QImage as a plain Qt program would draw it.
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

class QPainterSurface final : public DrawingSurface {
 public:
  QPainterSurface() : image_(RasterSurface::kSize, RasterSurface::kSize, QImage::Format_RGB32), painter_(&image_) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
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

void BM_FigureRaster(benchmark::State& state) {
  RasterSurface surface;
  (void)surface.SetFillSolid();
  for (auto _ : state) {
    DrawOneFigure(surface);
    benchmark::DoNotOptimize(surface.Bits());
    benchmark::ClobberMemory();
  }
}

void BM_FigureArithmetic(benchmark::State& state) {
  NullSurface surface;
  for (auto _ : state) DrawOneFigure(surface);
}

void BM_FigureQPainter(benchmark::State& state) {
  QPainterSurface surface;
  for (auto _ : state) {
    DrawOneFigure(surface);
    benchmark::DoNotOptimize(surface.Image().constBits());
  }
}

BENCHMARK(BM_FigureRaster)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FigureArithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FigureQPainter)->Unit(benchmark::kMillisecond);

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
    const double raster = ms("BM_FigureRaster"), arithmetic = ms("BM_FigureArithmetic"),
                 qpainter = ms("BM_FigureQPainter");
    std::printf("\nmedians (ms per figure): raster %.2f, arithmetic %.2f, QPainter %.1f\n", raster, arithmetic,
                qpainter);
    if (raster > 0 && arithmetic > 0) {
      std::printf("QPainter / raster:   %.1f x\n", qpainter / raster);
      std::printf("raster / arithmetic: %.2f x\n", raster / arithmetic);
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
