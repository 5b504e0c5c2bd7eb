#pragma once

#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "figure/directions.h"
#include "figure/draw_figure.h"
#include "figure/unfolding_figure.h"
#include "runtime/runtime.h"
#include "window/picture_box.h"

class QAction;

// The program's one window: the surface, the "new" button, and the directions that the
// figures carry from one to the next (fre, fgr, fbl, fr, inherited as public fields).
//
// Beyond that, all in the picture's context menu and on the keyboard: a figure can unfold
// as the user watches, fill the screen, follow the last after a pause, and the figures of
// the run can be gone through again.
class Form1 : public QWidget, public tavelune::Directions {
  Q_OBJECT

 public:
  // Seconds on a steady clock, for the pace of an unfolding figure and of the slideshow.
  using SteadyClock = std::function<double()>;

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
  // The figure to the clipboard as an image, or its code as text.
  void CopyFigure() const;
  void CopyCode() const;
  // Asks for a file name, then saves.
  void SaveFigureAs();
  // Adds tavelune to the user's list of xscreensaver's screensavers, and says how that went.
  void UseAsScreensaver();

  // Each figure unfolds over `seconds`; 0 paints each at once, as the window always has.
  void Watch(double seconds);
  double WatchSeconds() const { return watch_seconds_; }
  // Takes the choice of watching that the user made in an earlier run, if any.
  void RestoreChoices();
  // A new figure `seconds` after the last is complete; 0 ends the slideshow.
  void Slideshow(double seconds);
  // The figure alone on the screen, as large as it allows, or back in the window.
  void SetFullScreen(bool on);
  // The figures shown before and after this one in the run, repainted from their codes.
  void PreviousFigure();
  void NextFigure();
  // One frame of an unfolding figure: paints what is due by now.
  void Picture1_Frame();
  // The clock that paces watching and the slideshow; tests give a fake one.
  void SetSteadyClock(SteadyClock clock) { steady_ = std::move(clock); }
  bool Unfolding() const { return unfolding_ != nullptr; }
  // How many of the unfolding figure's steps are painted.
  long UnfoldedSteps() const { return unfolding_ ? unfolding_->Steps() : tavelune::UnfoldingFigure::kSteps; }

  // The four fields as one value, for the generator.
  tavelune::Directions& Directions() { return *this; }

  QAction* CopyAction = nullptr;
  QAction* CopyCodeAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* NewAction = nullptr;
  QAction* WatchAction = nullptr;
  QAction* FullScreenAction = nullptr;
  QAction* SlideshowAction = nullptr;
  QAction* PreviousAction = nullptr;
  QAction* NextAction = nullptr;
  QAction* ScreensaverAction = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateActions();
  template <typename Steps>
  void Handle(Steps steps);
  void ReportFailure(const QString& what);
  QString PaintFirstFigure(tavelune::RasterSurface& surface);
  QString PaintNewFigure(tavelune::RasterSurface& surface);
  QString PaintAtScale(double scale);
  void BeginUnfolding();
  void FinishUnfolding();
  void ShowFromHistory(std::size_t index);
  void Remember();
  void FigureChanged();
  void FigureComplete();
  void LayOut();
  void FitToScreen();
  void ShowPointer();

  tavelune::Runtime runtime_;
  bool loaded_ = false;
  tavelune::FigureStart figure_;  // no random source while the surface holds no figure
  tavelune::FigureStart first_figure_;

  std::vector<tavelune::FigureStart> history_;
  std::size_t shown_ = 0;  // the index in history_ of the figure on the surface

  SteadyClock steady_;
  double watch_seconds_ = 0;
  std::unique_ptr<tavelune::UnfoldingFigure> unfolding_;
  double unfolding_began_ = 0;
  QTimer frames_;

  double slideshow_seconds_ = 0;
  QTimer slideshow_;

  double fit_ = 1;  // the layout's size on a screen too small for it, at most 1
  QRect normal_geometry_;
  QTimer pointer_idle_;
};
