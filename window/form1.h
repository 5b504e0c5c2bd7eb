#pragma once

#include <QPushButton>
#include <QWidget>
#include <optional>
#include <string>

#include "figure/directions.h"
#include "figure/draw_figure.h"
#include "runtime/runtime.h"
#include "window/picture_box.h"

class QAction;

// The program's one window: the surface, the "new" button, and the directions that the
// figures carry from one to the next (fre, fgr, fbl, fr, inherited as public fields).
class Form1 : public QWidget, public tavelune::Directions {
  Q_OBJECT

 public:
  explicit Form1(tavelune::Runtime runtime = tavelune::ProcessRuntime(), QWidget* parent = nullptr);

  PictureBox* Picture1 = nullptr;
  QPushButton* Command1 = nullptr;

  // Prepares the surface and paints the first figure; runs once, when the window is first shown.
  void Form_Load();
  // Wipes the surface and paints a new figure.
  void Command1_Click();

  // The first figure is this one instead of a new one; "new" goes on from there.
  void SetFirstFigure(tavelune::FigureStart start);
  // The code of the figure on the surface; nothing while there is none.
  std::optional<std::string> FigureCode() const;
  // The figure again at the screen's new pixel density: the same discs, the directions
  // left as they are.
  void Picture1_DensityChanged(double scale);
  // Writes the figure as PNG at the surface's device pixels; returns what went wrong, or nothing.
  QString SaveFigure(const QString& path) const;
  // The figure to the clipboard as an image.
  void CopyFigure() const;
  // Asks for a file name, then saves.
  void SaveFigureAs();

  // The four fields as one value, for the generator.
  tavelune::Directions& Directions() { return *this; }

  QAction* CopyAction = nullptr;
  QAction* SaveAsAction = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  template <typename Steps>
  void Handle(Steps steps);
  void ReportFailure(const QString& what);
  QString PaintFirstFigure(tavelune::RasterSurface& surface);
  QString PaintAtScale(double scale);
  void FigureChanged();

  tavelune::Runtime runtime_;
  bool loaded_ = false;
  tavelune::FigureStart figure_;  // no random source while the surface holds no figure
  tavelune::FigureStart first_figure_;
};
