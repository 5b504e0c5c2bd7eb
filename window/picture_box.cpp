#include "window/picture_box.h"

#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel comes from the image
  setFocusPolicy(Qt::StrongFocus);
}

QSize PictureBox::sizeHint() const { return image_.size(); }

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), image_, event->rect());
}
