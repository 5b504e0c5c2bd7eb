#include "screensaver/screensaver.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdio>

#include "screensaver/host_window.h"
#include "screensaver/screensaver_view.h"

namespace {
constexpr int kNoSuchWindow = 2;
}

int RunScreensaver(unsigned long window, double watch, double pause, bool show_codes,
                   std::optional<tavelune::FigureStart> first) {
  QString why;
  const std::unique_ptr<HostWindow> host = HostWindow::Open(window, why);
  if (!host) {
    std::fprintf(stderr, "tavelune: %s\n", qPrintable(why));
    return kNoSuchWindow;
  }
  // Made before the view, and so ended after it: a window deletes its children.
  const std::unique_ptr<QWindow> foreign(QWindow::fromWinId(static_cast<WId>(window)));
  ScreensaverView view(watch, pause);
  view.ShowCodes(show_codes);
  if (first) view.SetFirstFigure(std::move(*first));
  view.setParent(foreign.get());
  auto place = [&view](QSize device) {
    view.setGeometry(QRect(QPoint(), device / view.devicePixelRatio()));
    view.Fit(device);
  };
  place(host->Size());
  QObject::connect(host.get(), &HostWindow::resized, &view, place);
  QObject::connect(host.get(), &HostWindow::gone, qApp, &QCoreApplication::quit);
  view.show();
  view.Start();
  return QGuiApplication::exec();
}
