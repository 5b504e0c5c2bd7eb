#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <new>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "image/figure_image.h"
#include "image/png_file.h"

using tavelune::FigureStart;
using tavelune::Status;
using tavelune::UnfoldingFigure;

namespace {

// Client-area pixels. The surface and the button must be seen whole; the window opens
// with the surface's own margins repeated on the right and at the bottom.
constexpr QRect kPictureGeometry{56, 64, 500, 500};
constexpr QRect kButtonGeometry{576, 544, 57, 17};
constexpr QSize kMinimumClient{kButtonGeometry.right() + 1, kPictureGeometry.bottom() + 1};
constexpr QSize kOpeningClient{kMinimumClient.width() + kPictureGeometry.left(),
                               kMinimumClient.height() + kPictureGeometry.top()};
// A title bar's height, for a window not yet framed by the window manager.
constexpr QMargins kAssumedFrame{0, 32, 0, 0};

constexpr int kPointerHidesAfterMilliseconds = 2000;

FigureStart Copy(const FigureStart& start) { return {start.random->Clone(), start.directions}; }

QRect Scaled(const QRect& r, double fit) {
  return QRect(QPoint(int(std::lround(r.left() * fit)), int(std::lround(r.top() * fit))),
               QSize(int(std::lround(r.width() * fit)), int(std::lround(r.height() * fit))));
}

Form1::SteadyClock ProcessSteadyClock() {
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  return [started] { return started->nsecsElapsed() / 1e9; };
}

}  // namespace

Form1::Form1(tavelune::Runtime runtime, QWidget* parent)
    : QWidget(parent), runtime_(runtime), steady_(ProcessSteadyClock()) {
  setObjectName("Form1");
  setWindowTitle("Form1");
  setMinimumSize(kMinimumClient);
  resize(kOpeningClient);

  Picture1 = new PictureBox(this);
  Picture1->setObjectName("Picture1");
  Picture1->setGeometry(kPictureGeometry);
  Picture1->setAccessibleName(tr("Figure"));

  Command1 = new QPushButton("new", this);
  Command1->setObjectName("Command1");
  Command1->setGeometry(kButtonGeometry);
  Command1->installEventFilter(this);  // Enter and Return press it, as they do a dialog's buttons

  setTabOrder(Picture1, Command1);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  // Queued: the figure is painted again, and a failure told, outside the paint event.
  connect(Picture1, &PictureBox::densityChanged, this, &Form1::Picture1_DensityChanged, Qt::QueuedConnection);
  connect(Picture1, &PictureBox::doubleClicked, this, [this] { SetFullScreen(true); });
  connect(Picture1, &PictureBox::clicked, this, [this] {
    if (isFullScreen()) Command1_Click();
  });
  connect(Picture1, &PictureBox::pointerMoved, this, &Form1::ShowPointer);

  frames_.setInterval(UnfoldingFigure::kFrameMilliseconds);
  frames_.setTimerType(Qt::PreciseTimer);
  connect(&frames_, &QTimer::timeout, this, &Form1::Picture1_Frame);
  slideshow_.setSingleShot(true);
  connect(&slideshow_, &QTimer::timeout, this, &Form1::Command1_Click);
  pointer_idle_.setSingleShot(true);
  pointer_idle_.setInterval(kPointerHidesAfterMilliseconds);
  connect(&pointer_idle_, &QTimer::timeout, this, [this] {
    if (isFullScreen()) setCursor(Qt::BlankCursor);
  });

  CreateActions();
  FigureChanged();
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) FitToScreen();
  if (!loaded_ && !event->spontaneous()) {
    loaded_ = true;
    Form_Load();
    Command1->setFocus();  // the keyboard starts on "new", whose focus is seen
  }
}

void Form1::Form_Load() {
  Handle([this]() -> QString {
    if (ReseedFromClock(runtime_) == Status::kFailed) return tr("The random source could not be seeded from the clock.");
    update();  // the window's own client area shows its background
    // The first figure is painted at the screen's own pixel density.
    if (Picture1->WantedScale() != Picture1->Surface().Scale()) {
      if (const QString failure = PaintAtScale(Picture1->WantedScale()); !failure.isEmpty()) return failure;
    }
    auto& surface = Picture1->Surface();
    if (surface.SetBackColor(tavelune::ComposeColor(0, 0, 0)) == Status::kFailed) return tr("The surface could not be made black.");
    if (surface.SetFillSolid() == Status::kFailed) return tr("The surface could not be set to fill its circles.");
    fre = 1;
    fgr = 1;
    fbl = 1;
    fr = 1;
    return PaintFirstFigure(surface);
  });
  Remember();
  FigureChanged();
}

QString Form1::PaintFirstFigure(tavelune::RasterSurface& surface) {
  if (!first_figure_.random) return PaintNewFigure(surface);
  figure_ = std::move(first_figure_);
  if (watch_seconds_ > 0) {
    BeginUnfolding();
  } else {
    Directions() = RepaintFigure(figure_, surface);
  }
  return {};
}

// A new figure from the clock: painted at once, or, when watching, begun.
QString Form1::PaintNewFigure(tavelune::RasterSurface& surface) {
  figure_ = {};
  if (watch_seconds_ <= 0) {
    if (DrawFigure(*this, surface, runtime_, &figure_) == Status::kFailed) return tr("The figure could not be seeded from the clock.");
    return {};
  }
  if (ReseedFromClock(runtime_) == Status::kFailed) return tr("The figure could not be seeded from the clock.");
  figure_ = {runtime_.random.Clone(), Directions()};
  BeginUnfolding();
  return {};
}

void Form1::Command1_Click() {
  FinishUnfolding();  // the rest computed: the next figure starts from the directions it leaves
  Handle([this]() -> QString {
    auto& surface = Picture1->Surface();
    if (surface.Clear() == Status::kFailed) return tr("The surface could not be cleared.");
    return PaintNewFigure(surface);
  });
  Remember();
  FigureChanged();
}

void Form1::SetFirstFigure(FigureStart start) { first_figure_ = std::move(start); }

std::optional<std::string> Form1::FigureCode() const {
  return figure_.random ? tavelune::CodeOf(figure_) : std::nullopt;
}

// The figure now on the surface joins the run's history, after the one shown before it;
// any that stood ahead of that are dropped, as a browser's are.
void Form1::Remember() {
  if (!figure_.random) return;
  if (!history_.empty()) history_.resize(shown_ + 1);
  history_.push_back(Copy(figure_));
  shown_ = history_.size() - 1;
}

void Form1::ShowFromHistory(std::size_t index) {
  if (index >= history_.size()) return;
  FinishUnfolding();
  Handle([this, index]() -> QString {
    auto& surface = Picture1->Surface();
    if (surface.Clear() == Status::kFailed) return tr("The surface could not be cleared.");
    figure_ = Copy(history_[index]);
    shown_ = index;
    Directions() = RepaintFigure(figure_, surface);
    return {};
  });
  FigureChanged();
}

void Form1::PreviousFigure() {
  if (shown_ > 0) ShowFromHistory(shown_ - 1);
}

void Form1::NextFigure() { ShowFromHistory(shown_ + 1); }

void Form1::FigureChanged() {
  const std::optional<std::string> code = FigureCode();
  const QString text = code ? QString::fromStdString(*code) : QString();
  Picture1->setToolTip(text);
  Picture1->setAccessibleDescription(text);
  for (QAction* action : {CopyAction, CopyCodeAction, SaveAsAction}) action->setEnabled(code.has_value());
  PreviousAction->setEnabled(shown_ > 0 && !history_.empty());
  NextAction->setEnabled(shown_ + 1 < history_.size());
  Picture1->update();
  if (!unfolding_) FigureComplete();
}

// Watching.

void Form1::Watch(double seconds) {
  watch_seconds_ = std::max(0.0, seconds);
  WatchAction->setChecked(watch_seconds_ > 0);
  if (watch_seconds_ <= 0 && unfolding_) {
    // The figure is completed at once.
    unfolding_->PaintUpTo(UnfoldingFigure::kSteps, Picture1->Surface());
    FinishUnfolding();
    FigureChanged();
  }
}


void Form1::BeginUnfolding() {
  unfolding_ = std::make_unique<UnfoldingFigure>(figure_);
  unfolding_began_ = steady_();
  slideshow_.stop();
  frames_.start();
}

void Form1::Picture1_Frame() {
  if (!unfolding_) return;
  const double elapsed = steady_() - unfolding_began_;
  unfolding_->PaintUpTo(unfolding_->StepsDue(elapsed, watch_seconds_, UnfoldingFigure::kMostStepsPerFrame), Picture1->Surface());
  Directions() = unfolding_->directions();
  Picture1->update();
  if (unfolding_->Complete()) {
    FinishUnfolding();
    FigureComplete();
  }
}

// Ends the unfolding figure, if any: what is not yet painted is computed, so that the
// directions are those the whole figure leaves.
void Form1::FinishUnfolding() {
  if (!unfolding_) return;
  frames_.stop();
  unfolding_->Skip();
  Directions() = unfolding_->directions();
  unfolding_.reset();
}

// The slideshow.

void Form1::Slideshow(double seconds) {
  slideshow_seconds_ = std::max(0.0, seconds);
  SlideshowAction->setChecked(slideshow_seconds_ > 0);
  slideshow_.stop();
  if (!unfolding_) FigureComplete();
}

void Form1::FigureComplete() {
  if (slideshow_seconds_ > 0 && loaded_) slideshow_.start(static_cast<int>(std::lround(slideshow_seconds_ * 1000)));
}

// The layout: as designed wherever it fits, scaled down where the screen is too small for
// it, and the figure alone in full screen.

void Form1::FitToScreen() {
  if (isFullScreen() || !screen()) return;
  QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  if (frame.isNull()) frame = kAssumedFrame;
  const QRect available = screen()->availableGeometry();
  const double fit = std::min({1.0, double(available.width() - frame.left() - frame.right()) / kMinimumClient.width(),
                               double(available.height() - frame.top() - frame.bottom()) / kMinimumClient.height()});
  if (fit == fit_) return;
  fit_ = fit;
  const QSize minimum = Scaled(QRect(QPoint(), kMinimumClient), fit_).size();
  setMinimumSize(minimum);
  if (fit_ < 1) {
    resize(minimum);
    move(available.topLeft());
  }
  LayOut();
}

void Form1::LayOut() {
  if (isFullScreen()) {
    const int side = std::min(width(), height());
    Picture1->move((width() - side) / 2, (height() - side) / 2);
    Picture1->SetSide(side);
    return;
  }
  const QRect picture = Scaled(kPictureGeometry, fit_);
  Picture1->move(picture.topLeft());
  Picture1->SetSide(picture.width());
  Command1->setGeometry(Scaled(kButtonGeometry, fit_));
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void Form1::SetFullScreen(bool on) {
  FullScreenAction->setChecked(on);
  if (on == isFullScreen()) return;
  if (on) {
    normal_geometry_ = geometry();
    showFullScreen();
  } else {
    showNormal();
    if (normal_geometry_.isValid()) setGeometry(normal_geometry_);
  }
}

// The window's state, as the window manager has it: its size and its state may come in
// either order, and each lays the window out again.
void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  const bool full = isFullScreen();
  FullScreenAction->setChecked(full);
  Command1->setVisible(!full);
  setStyleSheet(full ? "Form1 { background: black; }" : QString());
  setMouseTracking(full);
  Picture1->setMouseTracking(full);
  if (full) {
    Picture1->setFocus();
    pointer_idle_.start();
  } else {
    pointer_idle_.stop();
    unsetCursor();
    Command1->setFocus();
  }
  LayOut();
}

void Form1::ShowPointer() {
  if (!isFullScreen()) return;
  unsetCursor();
  pointer_idle_.start();
}

void Form1::keyPressEvent(QKeyEvent* event) {
  if (isFullScreen()) {
    switch (event->key()) {
      case Qt::Key_Escape: SetFullScreen(false); return;
      case Qt::Key_Space:
      case Qt::Key_Return:
      case Qt::Key_Enter: Command1_Click(); return;
      default: break;
    }
  }
  QWidget::keyPressEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Command1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Command1->animateClick();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// Painting at another scale, keeping and copying.

void Form1::Picture1_DensityChanged(double scale) {
  Handle([this, scale] { return PaintAtScale(scale); });
}

// A new surface at `scale` with the figure on it, if there is one, in place of the old; the
// old one stays where the new one cannot be had. An unfolding figure goes on from as far as
// it had come.
QString Form1::PaintAtScale(double scale) {
  std::unique_ptr<tavelune::RasterSurface> surface;
  try {
    surface = Picture1->NewSurface(scale);
  } catch (const std::bad_alloc&) {
    return tr("There is not enough memory for the figure at this screen's pixel density.");
  }
  PaintAgain(figure_, unfolding_, *surface);
  Picture1->Adopt(std::move(surface));
  return {};
}

QString Form1::SaveFigure(const QString& path) const {
  return WritePng(FigureImage(Picture1->Surface(), FigureCode()), path);
}

void Form1::CopyFigure() const {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(FigureImage(Picture1->Surface(), FigureCode()));
}

void Form1::CopyCode() const {
  const std::optional<std::string> code = FigureCode();
  if (QClipboard* clipboard = QGuiApplication::clipboard(); clipboard && code) clipboard->setText(QString::fromStdString(*code));
}

void Form1::SaveFigureAs() {
  QFileDialog dialog(this, tr("Save As"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(tr("PNG images (*.png)"));
  dialog.setDefaultSuffix("png");
  dialog.selectFile(QString("tavelune-%1.png").arg(QString::fromStdString(FigureCode().value_or("figure"))));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString failure = SaveFigure(dialog.selectedFiles().constFirst());
  if (!failure.isEmpty()) ReportFailure(failure);
}

// A handler stops at its first failure; the user is told, and the program keeps running.
template <typename Steps>
void Form1::Handle(Steps steps) {
  QString failure;
  try {
    failure = steps();
  } catch (const std::exception& e) {
    failure = tr("Unexpected failure: %1").arg(QString::fromLocal8Bit(e.what()));
  }
  if (!failure.isEmpty()) ReportFailure(failure);
}

void Form1::ReportFailure(const QString& what) {
  std::fprintf(stderr, "tavelune: %s\n", qPrintable(what));
  QMessageBox::critical(this, "tavelune", what);
}
