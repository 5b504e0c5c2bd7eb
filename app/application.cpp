#include "app/application.h"

#include <QByteArray>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "app/termination.h"
#include "figure/figure_code.h"
#include "screensaver/host_window.h"
#include "screensaver/screensaver.h"
#include "window/app_icon.h"
#include "window/form1.h"

namespace {

constexpr int kNoDisplay = 1;

// Qt's messages while the application object is made: kept, and let through once it is.
QList<std::pair<QtMsgType, QString>> held;
QtMessageHandler qtHandler = nullptr;

QString NoDisplay() {
  const QByteArray x11 = qgetenv("DISPLAY"), wayland = qgetenv("WAYLAND_DISPLAY");
  if (x11.isEmpty() && wayland.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    return "no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
  }
  QStringList tried;
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) tried << "QT_QPA_PLATFORM=" + qEnvironmentVariable("QT_QPA_PLATFORM");
  tried << "DISPLAY=" + (x11.isEmpty() ? QString("(not set)") : QString::fromLocal8Bit(x11));
  tried << "WAYLAND_DISPLAY=" + (wayland.isEmpty() ? QString("(not set)") : QString::fromLocal8Bit(wayland));
  return QString("the display could not be opened (%1)").arg(tried.join(", "));
}

// Qt gives up on a display it cannot open with a fatal message and an abort; the user gets
// one plain line and a failure status instead.
void HoldWhileOpening(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type != QtFatalMsg) {
    held.append({type, message});
    return;
  }
  std::fprintf(stderr, "tavelune: %s; tavelune --png FILE paints without one\n", qPrintable(NoDisplay()));
  std::_Exit(kNoDisplay);
}

// Qt ends the program with status 1 when the X server goes away; a screensaver whose
// display is gone has simply nothing left to do, and ends quietly.
void EndQuietlyWithTheDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains("X11 connection broke")) std::_Exit(0);
  qtHandler(type, context, message);
}

}  // namespace

void NameApplication() {
  QCoreApplication::setOrganizationName("tavelune");
  QCoreApplication::setApplicationName("tavelune");
  QCoreApplication::setApplicationVersion(TAVELUNE_VERSION);
}

std::unique_ptr<QApplication> OpenDisplay(int& argc, char** argv) {
  qtHandler = qInstallMessageHandler(HoldWhileOpening);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(qtHandler);
  for (const auto& [type, message] : std::exchange(held, {})) qt_message_output(type, {}, message);
  return app;
}

int RunWindow(int argc, char** argv, const ProgramOptions& options) {
  const std::unique_ptr<QApplication> app = OpenDisplay(argc, argv);
  NameApplication();
  QGuiApplication::setDesktopFileName(TAVELUNE_APP_ID);
  QApplication::setWindowIcon(AppIcon());
  Form1 form;
  if (options.figure) form.SetFirstFigure(tavelune::StartOf(*options.figure));
  form.RestoreChoices();
  if (options.watch) form.Watch(*options.watch);
  if (options.slideshow) form.Slideshow(*options.slideshow);
  form.show();
  if (options.full_screen) form.SetFullScreen(true);
  OnTerminationSignals([] { QApplication::closeAllWindows(); });
  return QApplication::exec();
}

int RunScreensaverFrontEnd(int argc, char** argv, const ProgramOptions& options) {
  qputenv("QT_QPA_PLATFORM", "xcb");  // the screensaver paints into X windows
  const std::unique_ptr<QApplication> app = OpenDisplay(argc, argv);
  NameApplication();
  qInstallMessageHandler(EndQuietlyWithTheDisplay);
  OnTerminationSignals([] { QCoreApplication::quit(); });
  const unsigned long window = options.window_id ? *options.window_id : HostWindow::RootOrDaemonWindow();
  std::optional<tavelune::FigureStart> first;
  if (options.figure) first = tavelune::StartOf(*options.figure);
  return RunScreensaver(window, options.watch.value_or(kScreensaverWatchSeconds),
                        options.slideshow.value_or(kScreensaverPauseSeconds), options.show_code, std::move(first));
}
