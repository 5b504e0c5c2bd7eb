#include <QApplication>

#include "window/app_icon.h"
#include "window/command_line.h"
#include "window/form1.h"
#include "window/termination.h"

int main(int argc, char* argv[]) {
  if (IsCommandLineRun(argc, argv)) return RunCommandLine(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName("tavelune");
  QApplication::setApplicationVersion("1.00");
  QGuiApplication::setDesktopFileName(TAVELUNE_APP_ID);
  QApplication::setWindowIcon(AppIcon());
  auto arguments = ParseWindowArguments(QApplication::arguments());
  if (!arguments) return kBadArguments;
  Form1 form;
  if (arguments->first_figure) form.SetFirstFigure(std::move(*arguments->first_figure));
  form.show();
  CloseWindowsOnTerminationSignals();
  return app.exec();
}
