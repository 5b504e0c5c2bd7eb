#pragma once

#include <QPushButton>
#include <QWidget>

#include "figure/directions.h"
#include "runtime/runtime.h"
#include "window/picture_box.h"

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

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  template <typename Steps>
  void Handle(Steps steps);
  void ReportFailure(const QString& what);

  tavelune::Runtime runtime_;
  bool loaded_ = false;
};
