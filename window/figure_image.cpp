#include "window/figure_image.h"

#include <QCoreApplication>
#include <QImageWriter>
#include <QSaveFile>

QImage ImageOf(const tavelune::RasterSurface& surface) {
  return QImage(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                QImage::Format_RGB32);
}

QImage FigureImage(const tavelune::RasterSurface& surface, const std::optional<std::string>& code) {
  QImage image = ImageOf(surface).copy();
  if (code) image.setText(kFigureCodeKey, QString::fromStdString(*code));
  return image;
}

QString WritePng(const QImage& image, const QString& path) {
  auto failure = [&](const QString& why) {
    return QCoreApplication::translate("WritePng", "Cannot write %1: %2").arg(path, why);
  };
  if (path.isEmpty()) return QCoreApplication::translate("WritePng", "No file name was given.");
  if (image.isNull()) return failure(QCoreApplication::translate("WritePng", "there is no figure to write"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return failure(file.errorString());
  QImageWriter writer(&file, "png");
  if (!writer.write(image)) {
    file.cancelWriting();
    return failure(writer.errorString());
  }
  if (!file.commit()) return failure(file.errorString());
  return {};
}
