#pragma once

#include <QElapsedTimer>
#include <QRasterWindow>
#include <QTimer>
#include <memory>

#include "figure/directions.h"
#include "figure/draw_figure.h"
#include "figure/unfolding_figure.h"
#include "runtime/runtime.h"
#include "surface/raster_surface.h"

// Figure after figure, each unfolding over `watch` seconds and then shown for `pause`
// seconds, as large as the window's shorter side allows at its device pixels, centred on
// black. The directions carry from each figure to the next, as in the program's window.
class ScreensaverView : public QRasterWindow {
  Q_OBJECT

 public:
  ScreensaverView(double watch, double pause, tavelune::Runtime runtime = tavelune::ProcessRuntime());

  // The first figure is this one instead of a new one.
  void SetFirstFigure(tavelune::FigureStart start) { figure_ = std::move(start); }
  // Begins: the first figure starts to unfold.
  void Start();
  // The window is now `size` device pixels: the figure is painted again at that size.
  void Fit(QSize size);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void NewFigure();
  void Frame();
  QRect FigureRect() const;

  tavelune::Runtime runtime_;
  double watch_;
  double pause_;
  tavelune::Directions directions_;
  tavelune::FigureStart figure_;
  std::unique_ptr<tavelune::UnfoldingFigure> unfolding_;
  std::unique_ptr<tavelune::RasterSurface> surface_;  // at the window's shorter side
  QElapsedTimer began_;
  QTimer frames_;
  QTimer pause_timer_;
};
