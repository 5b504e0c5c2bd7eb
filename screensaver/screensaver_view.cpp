#include "screensaver/screensaver_view.h"

#include <QPaintEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>

#include "figure/figure_code.h"
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
    BeginUnfolding();
  } else {
    NewFigure();
  }
}

// figure_ begins to unfold, its code in the corner where codes are shown.
void ScreensaverView::BeginUnfolding() {
  unfolding_ = std::make_unique<UnfoldingFigure>(figure_);
  const std::optional<std::string> code = show_codes_ ? tavelune::CodeOf(figure_) : std::nullopt;
  code_ = code ? QString::fromStdString(*code) : QString();
  if (show_codes_) update(CodeRect());
  began_.start();
  frames_.start();
}

// The surface for a window of `size` device pixels: its shorter side across, within the
// scales a surface takes; an unfolding figure goes on from as far as it had come.
void ScreensaverView::Fit(QSize size) {
  side_ = std::max(1, std::min(size.width(), size.height()));
  const double scale = std::clamp(side_ / double(Surface::kSize), Surface::kMinScale, Surface::kMaxScale);
  update();
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
  BeginUnfolding();
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

// The surface's place, centred, in the window's own coordinates: one device pixel for each
// of its pixels, or smaller where the window is too small for it.
QRect ScreensaverView::FigureRect() const {
  const double ratio = devicePixelRatio();
  const QSize side = QSize(std::min(surface_->Width(), side_), std::min(surface_->Height(), side_)) / ratio;
  return QRect(QPoint((width() - side.width()) / 2, (height() - side.height()) / 2), side);
}

// Small beside the figure, and still legible in a preview.
QFont ScreensaverView::CodeFont() const {
  QFont font = QGuiApplication::font();
  font.setPixelSize(std::clamp(static_cast<int>(side_ / devicePixelRatio() / 40), 9, 16));
  return font;
}

// The lower left corner, where the code goes.
QRect ScreensaverView::CodeRect() const {
  const QFontMetrics metrics(CodeFont());
  const int margin = metrics.height() / 2;
  const QSize size(metrics.horizontalAdvance(QString(tavelune::kFigureCodeLength, 'W')) + 2 * margin,
                   metrics.height() + 2 * margin);
  return QRect(QPoint(0, height() - size.height()), size);
}

// Only what is damaged: black around the figure, the figure's pixels one to one (or drawn
// smaller in a window too small for them), and the code over all.
void ScreensaverView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect figure = surface_ ? FigureRect() : QRect();
  for (const QRect& r : event->region().subtracted(figure)) painter.fillRect(r, Qt::black);
  if (!surface_) return;
  QImage image = ImageOf(*surface_);
  image.setDevicePixelRatio(devicePixelRatio());
  painter.setClipRegion(event->region());
  if (figure.size() * devicePixelRatio() == image.size()) {
    painter.drawImage(figure.topLeft(), image);
  } else {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(figure, image);
  }
  if (code_.isEmpty()) return;
  const QFont font = CodeFont();
  painter.setFont(font);
  painter.setPen(QColor(160, 160, 160));
  const int margin = QFontMetrics(font).height() / 2;
  painter.drawText(CodeRect().adjusted(margin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, code_);
}
