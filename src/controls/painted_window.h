#pragma once

#include <QResizeEvent>

#include "controls/picture_box.h"
#include "controls/surface.h"

// The base of the program's windows: a widget whose background is a persistent painted
// surface (Background()) under its child controls. A window paints it with PaintSurface
// and prints its labels on it with PrintLabel, in its PaintBackground; the surface keeps
// the painting, and the screen is refreshed from it.
//
// Event sequence: every resize gives the surface the new size and runs RepaintBackground:
// PaintBackground, then Draw of each child check box (they show a copy of this
// background), then a screen update. A window that changes its painting at other times
// calls RepaintBackground itself.
//
// It serves as a top-level window or as the central widget of one. Applying a UI font to
// it (ApplyUiFont) also gives the font to the background, so labels print in it.
//
// Thread: UI thread.

namespace ampora {

class PaintedWindow : public PictureBox {
  Q_OBJECT

 public:
  explicit PaintedWindow(QWidget* parent = nullptr);

  Surface& Background() { return Picture(); }
  void RepaintBackground();

 protected:
  // Paints the background; the default leaves it as it is.
  virtual void PaintBackground() {}
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace ampora
