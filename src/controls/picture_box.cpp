#include "controls/picture_box.h"

#include <QPainter>

namespace ampora {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

Surface& PictureBox::Picture() {
  surface_.Resize(width(), height());
  return surface_;
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawImage(0, 0, Picture().Image());
}

void PictureBox::resizeEvent(QResizeEvent* /*event*/) {
  Picture();
}

}  // namespace ampora
