#include "window/app_icon.h"

#include <QString>

QIcon AppIcon() {
  QIcon builtIn;
  for (const int size : {TAVELUNE_ICON_SIZES}) {
    builtIn.addFile(QString(":/icons/%1/%2.png").arg(size).arg(TAVELUNE_APP_ID), QSize(size, size));
  }
  return QIcon::fromTheme(TAVELUNE_APP_ID, builtIn);
}
