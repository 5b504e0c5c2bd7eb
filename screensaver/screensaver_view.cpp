#include "screensaver/screensaver_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "image/figure_image.h"

// QWindow has a RasterSurface of its own, an enumerator.
using Surface = tavelune::RasterSurface;
using tavelune::Status;
using tavelune::UnfoldingFigure;

ScreensaverView::ScreensaverView(double watch, double pause, tavelune::Runtime runtime)
    : runtime_(runtime), watch_(watch), pause_(pause) {
  frames_.setInterval(UnfoldingFigure::kFrameMilliseconds);
  frames_.setTimerType(Qt::PreciseTimer);
  connect(&frames_, &QTimer::timeout, this, &ScreensaverView::Frame);
  pause_timer_.setSingleShot(true);
  connect(&pause_timer_, &QTimer::timeout, this, &ScreensaverView::NewFigure);
}

void ScreensaverView::Start() {
  if (figure_.random) {
    unfolding_ = std::make_unique<UnfoldingFigure>(figure_);
    began_.start();
    frames_.start();
  } else {
    NewFigure();
  }
}

// The surface for a window of `size` device pixels: its shorter side across, at most the
// largest scale a surface takes; an unfolding figure goes on from as far as it had come.
void ScreensaverView::Fit(QSize size) {
  const double scale = Surface::SaneScale(std::min(size.width(), size.height()) / double(Surface::kSize));
  if (surface_ && surface_->Scale() == scale) return;
  auto surface = std::make_unique<Surface>(Surface::kSize, Surface::kSize, scale);
  (void)surface->SetFillSolid();
  PaintAgain(figure_, unfolding_, *surface);
  surface_ = std::move(surface);
  update();
}

void ScreensaverView::NewFigure() {
  if (unfolding_) {
    unfolding_->Skip();
    directions_ = unfolding_->directions();
  }
  if (ReseedFromClock(runtime_) == Status::kFailed) return;  // the last figure stays
  figure_ = {runtime_.random.Clone(), directions_};
  if (surface_) (void)surface_->Clear();
  unfolding_ = std::make_unique<UnfoldingFigure>(figure_);
  began_.start();
  frames_.start();
  update();
}

void ScreensaverView::Frame() {
  if (!unfolding_ || !surface_) return;
  const double elapsed = began_.nsecsElapsed() / 1e9;
  unfolding_->PaintUpTo(unfolding_->StepsDue(elapsed, watch_, UnfoldingFigure::kMostStepsPerFrame), *surface_);
  update(FigureRect());
  if (!unfolding_->Complete()) return;
  frames_.stop();
  directions_ = unfolding_->directions();
  unfolding_.reset();
  pause_timer_.start(static_cast<int>(pause_ * 1000));
}

// The surface's place, centred, in the window's own coordinates.
QRect ScreensaverView::FigureRect() const {
  const double ratio = devicePixelRatio();
  const QSize side = QSize(surface_->Width(), surface_->Height()) / ratio;
  return QRect(QPoint((width() - side.width()) / 2, (height() - side.height()) / 2), side);
}

// Only what is damaged: black around the figure, and the figure's pixels one to one.
void ScreensaverView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect figure = surface_ ? FigureRect() : QRect();
  for (const QRect& r : event->region().subtracted(figure)) painter.fillRect(r, Qt::black);
  if (!surface_) return;
  QImage image = ImageOf(*surface_);
  image.setDevicePixelRatio(devicePixelRatio());
  painter.setClipRegion(event->region());
  painter.drawImage(figure.topLeft(), image);
}
