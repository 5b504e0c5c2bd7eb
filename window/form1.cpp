#include "window/form1.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QShowEvent>
#include <cstdio>
#include <exception>
#include <new>

#include "figure/draw_figure.h"
#include "figure/figure_code.h"
#include "image/figure_image.h"
#include "image/png_file.h"

using tavelune::Status;

namespace {

// Client-area pixels. The surface and the button must be seen whole; the window opens
// with the surface's own margins repeated on the right and at the bottom.
constexpr QRect kPictureGeometry{56, 64, 500, 500};
constexpr QRect kButtonGeometry{576, 544, 57, 17};
constexpr QSize kMinimumClient{kButtonGeometry.right() + 1, kPictureGeometry.bottom() + 1};
constexpr QSize kOpeningClient{kMinimumClient.width() + kPictureGeometry.left(),
                               kMinimumClient.height() + kPictureGeometry.top()};

}  // namespace

Form1::Form1(tavelune::Runtime runtime, QWidget* parent) : QWidget(parent), runtime_(runtime) {
  setObjectName("Form1");
  setWindowTitle("Form1");
  setMinimumSize(kMinimumClient);
  resize(kOpeningClient);

  Picture1 = new PictureBox(this);
  Picture1->setObjectName("Picture1");
  Picture1->setGeometry(kPictureGeometry);

  Command1 = new QPushButton("new", this);
  Command1->setObjectName("Command1");
  Command1->setGeometry(kButtonGeometry);

  setTabOrder(Picture1, Command1);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  // Queued: the figure is painted again, and a failure told, outside the paint event.
  connect(Picture1, &PictureBox::densityChanged, this, &Form1::Picture1_DensityChanged, Qt::QueuedConnection);

  // Keeping a figure: shortcuts anywhere in the window, and the picture's context menu.
  CopyAction = new QAction(tr("Copy"), this);
  CopyAction->setShortcut(QKeySequence::Copy);
  connect(CopyAction, &QAction::triggered, this, &Form1::CopyFigure);
  SaveAsAction = new QAction(tr("Save As\u2026"), this);
  SaveAsAction->setShortcut(QKeySequence::Save);
  connect(SaveAsAction, &QAction::triggered, this, &Form1::SaveFigureAs);
  for (QAction* action : {CopyAction, SaveAsAction}) {
    action->setShortcutContext(Qt::WindowShortcut);
    Picture1->addAction(action);
  }
  Picture1->setContextMenuPolicy(Qt::ActionsContextMenu);
  FigureChanged();
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!loaded_ && !event->spontaneous()) {
    loaded_ = true;
    Form_Load();
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
  FigureChanged();
}

QString Form1::PaintFirstFigure(tavelune::RasterSurface& surface) {
  if (!first_figure_.random) {
    if (DrawFigure(*this, surface, runtime_, &figure_) == Status::kFailed) return tr("The figure could not be seeded from the clock.");
    return {};
  }
  figure_ = std::move(first_figure_);
  Directions() = RepaintFigure(figure_, surface);
  return {};
}

void Form1::Command1_Click() {
  Handle([this]() -> QString {
    auto& surface = Picture1->Surface();
    if (surface.Clear() == Status::kFailed) return tr("The surface could not be cleared.");
    figure_ = {};
    if (DrawFigure(*this, surface, runtime_, &figure_) == Status::kFailed) return tr("The figure could not be seeded from the clock.");
    return {};
  });
  FigureChanged();
}

void Form1::SetFirstFigure(tavelune::FigureStart start) { first_figure_ = std::move(start); }

std::optional<std::string> Form1::FigureCode() const {
  return figure_.random ? tavelune::CodeOf(figure_) : std::nullopt;
}

void Form1::FigureChanged() {
  const std::optional<std::string> code = FigureCode();
  Picture1->setToolTip(code ? QString::fromStdString(*code) : QString());
  CopyAction->setEnabled(code.has_value());
  SaveAsAction->setEnabled(code.has_value());
  Picture1->update();
}

void Form1::Picture1_DensityChanged(double scale) {
  Handle([this, scale] { return PaintAtScale(scale); });
}

// A new surface at `scale` with the figure on it, if there is one, in place of the old; the
// old one stays where the new one cannot be had.
QString Form1::PaintAtScale(double scale) {
  std::unique_ptr<tavelune::RasterSurface> surface;
  try {
    surface = Picture1->NewSurface(scale);
  } catch (const std::bad_alloc&) {
    return tr("There is not enough memory for the figure at this screen's pixel density.");
  }
  if (figure_.random) (void)RepaintFigure(figure_, *surface);
  Picture1->Adopt(std::move(surface));
  return {};
}

QString Form1::SaveFigure(const QString& path) const {
  return WritePng(FigureImage(Picture1->Surface(), FigureCode()), path);
}

void Form1::CopyFigure() const {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(FigureImage(Picture1->Surface(), FigureCode()));
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
