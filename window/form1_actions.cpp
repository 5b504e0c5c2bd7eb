// What the window offers besides its button: the picture's context menu and the keyboard.
#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSettings>
#include <cmath>

#include "screensaver/screensaver_list.h"
#include "window/form1.h"

namespace {

constexpr double kWatchSecondsFromMenu = 5;
constexpr double kMostWatchSeconds = 600;
constexpr double kSlideshowSecondsFromMenu = 10;
constexpr char kWatchSetting[] = "watch/seconds";

QAction* Separator(QObject* parent) {
  auto* separator = new QAction(parent);
  separator->setSeparator(true);
  return separator;
}

}  // namespace

void Form1::CreateActions() {
  auto action = [this](const QString& text, std::initializer_list<QKeySequence> keys, auto slot) {
    auto* a = new QAction(text, this);
    a->setShortcuts(QList<QKeySequence>(keys));
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, slot);
    addAction(a);  // its shortcuts work anywhere in the window
    return a;
  };
  CopyAction = action(tr("Copy"), {QKeySequence::Copy}, &Form1::CopyFigure);
  CopyCodeAction = action(tr("Copy Code"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, &Form1::CopyCode);
  SaveAsAction = action(tr("Save As\u2026"), {QKeySequence::Save}, &Form1::SaveFigureAs);
  NewAction = action(tr("New Figure"), {QKeySequence::New, QKeySequence(Qt::Key_F5)}, &Form1::Command1_Click);
  WatchAction = action(tr("Watch It Paint"), {QKeySequence(Qt::Key_W)}, [this](bool on) {
    Watch(on ? kWatchSecondsFromMenu : 0);
    QSettings().setValue(kWatchSetting, watch_seconds_);
  });
  FullScreenAction = action(tr("Full Screen"), {QKeySequence(Qt::Key_F11)}, [this](bool on) { SetFullScreen(on); });
  SlideshowAction = action(tr("Slideshow"), {}, [this](bool on) { Slideshow(on ? kSlideshowSecondsFromMenu : 0); });
  PreviousAction = action(tr("Previous Figure"), {QKeySequence(Qt::ALT | Qt::Key_Left)}, &Form1::PreviousFigure);
  NextAction = action(tr("Next Figure"), {QKeySequence(Qt::ALT | Qt::Key_Right)}, &Form1::NextFigure);
  ScreensaverAction = action(tr("Use as Screensaver"), {}, &Form1::UseAsScreensaver);
  for (QAction* a : {WatchAction, FullScreenAction, SlideshowAction}) a->setCheckable(true);

  // Shift+F10 opens the context menu, as the Menu key does.
  action(tr("Context Menu"), {QKeySequence(Qt::SHIFT | Qt::Key_F10)}, [this] {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, Picture1->rect().center(),
                            Picture1->mapToGlobal(Picture1->rect().center()));
    QCoreApplication::sendEvent(Picture1, &event);
  });

  Picture1->addActions({CopyAction, CopyCodeAction, SaveAsAction, Separator(this), WatchAction, FullScreenAction,
                        SlideshowAction, Separator(this), PreviousAction, NextAction, Separator(this),
                        ScreensaverAction});
  Picture1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form1::UseAsScreensaver() {
  const ScreensaverListing listing = AddTaveluneToScreensavers();
  if (listing.ok) {
    QMessageBox::information(this, tr("Use as Screensaver"), listing.message);
  } else {
    QMessageBox::warning(this, tr("Use as Screensaver"), listing.message);
  }
}

void Form1::RestoreChoices() {
  const double seconds = QSettings().value(kWatchSetting, 0.0).toDouble();
  if (std::isfinite(seconds) && seconds > 0 && seconds <= kMostWatchSeconds) Watch(seconds);
}
