#include "window/picture_box.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "image/figure_image.h"

using tavelune::RasterSurface;

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the image
  setFocusPolicy(Qt::StrongFocus);
  Adopt(std::make_unique<RasterSurface>());
}

double PictureBox::WantedScale() const {
  return RasterSurface::SaneScale(devicePixelRatioF() * side_ / RasterSurface::kSize);
}

void PictureBox::SetSide(int side) {
  side_ = side;
  resize(side, side);
  image_.setDevicePixelRatio(surface_->Scale() * RasterSurface::kSize / side_);
  AskForDensity();
}

void PictureBox::AskForDensity() {
  const double wanted = WantedScale();
  if (wanted != asked_scale_) {
    asked_scale_ = wanted;  // asked once: a refusal is not asked again at every paint
    emit densityChanged(wanted);
  }
}

std::unique_ptr<RasterSurface> PictureBox::NewSurface(double scale) const {
  auto surface = std::make_unique<RasterSurface>(RasterSurface::kSize, RasterSurface::kSize, scale);
  // None can fail: the colours come from a surface that took them.
  (void)surface->SetBackColor(surface_->BackColor());
  if (surface_->FillSolid()) (void)surface->SetFillSolid();
  (void)surface->SetFillColor(surface_->FillColor());
  return surface;
}

void PictureBox::Adopt(std::unique_ptr<RasterSurface> surface) {
  surface_ = std::move(surface);
  asked_scale_ = surface_->Scale();
  image_ = ImageOf(*surface_);
  image_.setDevicePixelRatio(surface_->Scale() * RasterSurface::kSize / side_);
  update();
}

QSize PictureBox::sizeHint() const { return {side_, side_}; }

void PictureBox::paintEvent(QPaintEvent* event) {
  AskForDensity();
  QPainter painter(this);
  // The damaged rectangle, one device pixel of the image to one of the screen.
  const QRectF target = event->rect();
  const double scale = double(image_.width()) / side_;
  painter.drawImage(target, image_,
                    QRectF(target.x() * scale, target.y() * scale, target.width() * scale, target.height() * scale));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QWidget::mouseReleaseEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
  QWidget::mouseDoubleClickEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  emit pointerMoved();
  QWidget::mouseMoveEvent(event);
}
