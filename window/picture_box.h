#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "surface/raster_surface.h"

// Owns the drawing surface and shows it; the figure survives being covered or resized
// because the pixels live here, not on the screen. The surface has the device pixels of
// the screen the box is on, so that the figure is sharp at any pixel density.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  tavelune::RasterSurface& Surface() { return *surface_; }
  const tavelune::RasterSurface& Surface() const { return *surface_; }
  // The surface's pixels, tagged with its scale; shares them, no copy.
  const QImage& Image() const { return image_; }
  // The scale the screen asks for: its device pixel ratio times the box's size against the
  // surface's, or 1 where that is not sane.
  double WantedScale() const;
  // Shows the surface `side` pixels across instead of its own 500: smaller on a screen too
  // small for the window, larger in full screen. The figure is then painted again at the
  // device pixels of that size.
  void SetSide(int side);
  // A blank surface at `scale`, with this one's back colour and fill state; may throw
  // std::bad_alloc.
  std::unique_ptr<tavelune::RasterSurface> NewSurface(double scale) const;
  // Shows `surface` from now on.
  void Adopt(std::unique_ptr<tavelune::RasterSurface> surface);
  QSize sizeHint() const override;

 signals:
  // The screen's pixel density differs from the surface's: the figure must be painted
  // again at `scale`. Given once for each density.
  void densityChanged(double scale);
  // A left click, a double click, and the pointer moving over the box.
  void clicked();
  void doubleClicked();
  void pointerMoved();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  std::unique_ptr<tavelune::RasterSurface> surface_;
  QImage image_;
  double asked_scale_ = 1;
  int side_ = tavelune::RasterSurface::kSize;
  void AskForDensity();
};
