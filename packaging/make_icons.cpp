// Draws the application icon from one of the program's own figures: every kEvery-th disc of
// the figure of kIconFigure, a little larger, on a black rounded square. Writes the
// scalable SVG and the PNG sizes of the hicolor theme into the folder it is given. The
// figure and every step are fixed, so the files are the same at every build.
//   make_icons OUT-DIR APP-ID SIZE...
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "surface/raster_surface.h"

namespace {

using namespace tavelune;

constexpr char kIconFigure[] = "3XS0KHSY9M17BF6T10";
constexpr int kEvery = 400;
constexpr float kDiscRadius = 7;
constexpr double kCorner = 80;  // of 500

struct Disc {
  float x, y;
  Colour colour;
};

// Keeps every kEvery-th disc of the figure.
class SampledSurface final : public DrawingSurface {
 public:
  Status Clear() override { return Status::kOk; }
  Status SetBackColor(Colour) override { return Status::kOk; }
  Status SetFillSolid() override { return Status::kOk; }
  Status SetFillColor(Colour) override { return Status::kOk; }
  Status DrawCircle(float x, float y, float, Colour outline) override {
    if (count_++ % kEvery == 0) discs.push_back({x, y, outline});
    return Status::kOk;
  }
  std::vector<Disc> discs;

 private:
  long count_ = 0;
};

bool Write(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray Svg(const std::vector<Disc>& discs) {
  QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"500\" height=\"500\" viewBox=\"0 0 500 500\">\n";
  svg += QByteArray("<rect width=\"500\" height=\"500\" rx=\"") + QByteArray::number(kCorner) + "\" fill=\"#000\"/>\n";
  for (const Disc& d : discs) {
    svg += QString("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"#%4\"/>\n")
               .arg(d.x, 0, 'f', 1)
               .arg(d.y, 0, 'f', 1)
               .arg(kDiscRadius)
               .arg(Rgb(d.colour), 6, 16, QChar('0'))
               .toLatin1();
  }
  return svg + "</svg>\n";
}

// The largest size from the raster itself, at its device pixels; the others scaled down.
QImage Png(const std::vector<Disc>& discs, int largest) {
  RasterSurface surface(RasterSurface::kSize, RasterSurface::kSize, double(largest) / RasterSurface::kSize);
  (void)surface.SetFillSolid();
  for (const Disc& d : discs) {
    (void)surface.SetFillColor(d.colour);
    (void)surface.DrawCircle(d.x, d.y, kDiscRadius, d.colour);
  }
  const QImage figure(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                      QImage::Format_RGB32);
  QImage icon(largest, largest, QImage::Format_ARGB32_Premultiplied);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath corners;
  const double r = kCorner * largest / RasterSurface::kSize;
  corners.addRoundedRect(QRectF(0, 0, largest, largest), r, r);
  painter.setClipPath(corners);
  painter.drawImage(0, 0, figure);
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_icons OUT-DIR APP-ID SIZE...\n");
    return 2;
  }
  const QDir out(argv[1]);
  const QString id = argv[2];
  const std::optional<CodedFigure> figure = DecodeFigure(kIconFigure);
  if (!figure) {
    std::fprintf(stderr, "make_icons: the icon's figure code %s does not decode\n", kIconFigure);
    return 1;
  }
  SampledSurface sampled;
  (void)RepaintFigure(StartOf(*figure), sampled);
  if (!Write(out.filePath(id + ".svg"), Svg(sampled.discs))) return 1;
  std::vector<int> sizes;
  for (int i = 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  const QImage largest = Png(sampled.discs, *std::max_element(sizes.begin(), sizes.end()));
  for (const int size : sizes) {
    const QImage icon = largest.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!out.mkpath(QString::number(size)) || !icon.save(out.filePath(QString("%1/%2.png").arg(size).arg(id)), "PNG")) {
      return 1;
    }
  }
  return 0;
}
