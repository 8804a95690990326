#pragma once

#include <QWidget>

#include "live/window_placement.h"

// A top-level window as window placement sees it: its outer edges (frame included) in
// twips of the screen, its state, and the size of the whole desktop, so that a window
// kept on a second monitor comes back there. On Wayland the compositor places windows:
// moving is ignored there and the position reads as 0, but nothing else changes.
//
// Thread: UI thread.

namespace ampora {

class PlacedQtWindow final : public PlacedWindow {
 public:
  // The window must outlive the object.
  explicit PlacedQtWindow(QWidget& window) : window_(window) {}

  int16_t WindowState() const override;
  void SetWindowState(int16_t state) override;
  float Left() const override;
  float Top() const override;
  float Width() const override;
  float Height() const override;
  void Move(int32_t left, int32_t top) override;
  void SetWidth(float width) override;
  void SetHeight(float height) override;
  float ScreenWidth() const override;
  float ScreenHeight() const override;

 private:
  QWidget& window_;
};

}  // namespace ampora
