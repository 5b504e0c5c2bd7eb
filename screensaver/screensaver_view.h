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
// black; in a window too small for the smallest surface (a settings dialog's preview), that
// surface drawn smaller, so that the figure is always seen whole. The directions carry from
// each figure to the next, as in the program's window.
class ScreensaverView : public QRasterWindow {
  Q_OBJECT

 public:
  ScreensaverView(double watch, double pause, tavelune::Runtime runtime = tavelune::ProcessRuntime());

  // Each figure's code in small text in a corner, from which tavelune paints it again.
  void ShowCodes(bool show) { show_codes_ = show; }
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
  void BeginUnfolding();
  void Frame();
  QRect FigureRect() const;
  QFont CodeFont() const;
  QRect CodeRect() const;

  tavelune::Runtime runtime_;
  double watch_;
  double pause_;
  tavelune::Directions directions_;
  tavelune::FigureStart figure_;
  std::unique_ptr<tavelune::UnfoldingFigure> unfolding_;
  std::unique_ptr<tavelune::RasterSurface> surface_;  // at the window's shorter side
  int side_ = 0;  // the window's shorter side, in device pixels
  bool show_codes_ = false;
  QString code_;  // the figure's, once for each figure
  QElapsedTimer began_;
  QTimer frames_;
  QTimer pause_timer_;
};
