#include "window/app_icon.h"

#include <QString>

QIcon AppIcon() {
  QIcon builtIn;
  for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    builtIn.addFile(QString(":/icons/%1/%2.png").arg(size).arg(TAVELUNE_APP_ID), QSize(size, size));
  }
  return QIcon::fromTheme(TAVELUNE_APP_ID, builtIn);
}
