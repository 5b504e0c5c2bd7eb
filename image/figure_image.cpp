#include "image/figure_image.h"

#include <QString>
#include <cmath>

namespace {
constexpr double kDotsPerInch = 96;
constexpr double kInchesPerMetre = 1 / 0.0254;
}  // namespace

QImage ImageOf(const tavelune::RasterSurface& surface) {
  return QImage(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                QImage::Format_RGB32);
}

QImage FigureImage(const tavelune::RasterSurface& surface, const std::optional<std::string>& code) {
  QImage image = ImageOf(surface).copy();
  if (code) image.setText(kFigureCodeKey, QString::fromStdString(*code));
  const int dotsPerMetre = static_cast<int>(std::lround(kDotsPerInch * kInchesPerMetre * surface.Scale()));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  return image;
}
