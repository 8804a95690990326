#pragma once

#include <QWidget>

#include "controls/surface.h"

// A widget that shows a Surface: the surface always has the widget's size, and the paint
// event copies its image to the screen. Self-drawn controls derive from it and draw into
// Picture(), then call update().
//
// Thread: UI thread.

namespace ampora {

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // The surface, first brought to the widget's current size (a hidden widget gets no
  // resize events, yet hosts lay controls out before they show them).
  Surface& Picture();
  const Surface& Picture() const { return surface_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  Surface surface_;
};

}  // namespace ampora
