#include "controls/painted_window.h"

#include "controls/check_box.h"

namespace ampora {

PaintedWindow::PaintedWindow(QWidget* parent) : PictureBox(parent) {}

void PaintedWindow::RepaintBackground() {
  PaintBackground();
  for (UC_Check* check : findChildren<UC_Check*>(Qt::FindDirectChildrenOnly)) check->Draw();
  update();
}

void PaintedWindow::resizeEvent(QResizeEvent* event) {
  PictureBox::resizeEvent(event);
  RepaintBackground();
}

}  // namespace ampora
