#include <QApplication>

#include "window/form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("tavelune");
  QApplication::setApplicationVersion("1.00");
  Form1 form;
  form.show();
  return app.exec();
}
