#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <memory>

// The X window that the screensaver paints in, which another program made: the daemon's,
// the settings' preview, or the root window. Qt reports no size for a window it did not
// create, so its size is asked of X, and followed as it changes.
class HostWindow : public QObject {
  Q_OBJECT

 public:
  // Opens the window `id` on the display; nothing, and the reason in `why`, where there is
  // no display or no such window.
  static std::unique_ptr<HostWindow> Open(unsigned long id, QString& why);
  // The window `--root` paints on: XSCREENSAVER_WINDOW's, else the screen's root window.
  static unsigned long RootOrDaemonWindow();
  ~HostWindow() override;

  unsigned long Id() const { return id_; }
  // In device pixels.
  QSize Size() const { return size_; }

 signals:
  void resized(QSize size);
  void gone();

 private:
  HostWindow(void* display, unsigned long id, QSize size);
  void ReadEvents();

  void* display_;  // Xlib's Display, kept out of this header
  unsigned long id_;
  QSize size_;
};
