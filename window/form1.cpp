#include "window/form1.h"

#include <QMessageBox>
#include <QShowEvent>
#include <cstdio>
#include <exception>

#include "figure/draw_figure.h"

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
    auto& surface = Picture1->Surface();
    if (ReseedFromClock(runtime_) == Status::kFailed) return tr("The random source could not be seeded from the clock.");
    update();  // the window's own client area shows its background
    if (surface.SetBackColor(tavelune::ComposeColor(0, 0, 0)) == Status::kFailed) return tr("The surface could not be made black.");
    if (surface.SetFillSolid() == Status::kFailed) return tr("The surface could not be set to fill its circles.");
    fre = 1;
    fgr = 1;
    fbl = 1;
    fr = 1;
    if (DrawFigure(*this, surface, runtime_) == Status::kFailed) return tr("The figure could not be seeded from the clock.");
    return {};
  });
  Picture1->update();
}

void Form1::Command1_Click() {
  Handle([this]() -> QString {
    auto& surface = Picture1->Surface();
    if (surface.Clear() == Status::kFailed) return tr("The surface could not be cleared.");
    if (DrawFigure(*this, surface, runtime_) == Status::kFailed) return tr("The figure could not be seeded from the clock.");
    return {};
  });
  Picture1->update();
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
