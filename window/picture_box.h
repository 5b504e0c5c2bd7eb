#pragma once

#include <QImage>
#include <QWidget>

#include "surface/raster_surface.h"

// Owns the drawing surface and shows it; the figure survives being covered or resized
// because the pixels live here, not on the screen.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  tavelune::RasterSurface& Surface() { return surface_; }
  const tavelune::RasterSurface& Surface() const { return surface_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  tavelune::RasterSurface surface_;
  // Wraps the surface's pixels without a copy.
  QImage image_{reinterpret_cast<const uchar*>(surface_.Bits()), surface_.Width(), surface_.Height(),
                QImage::Format_RGB32};
};
