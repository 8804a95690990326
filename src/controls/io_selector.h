#pragma once

#include <QMouseEvent>
#include <array>
#include <cstdint>
#include <string>

#include "controls/picture_box.h"

// UC_IOSelector: a self-drawn switch of two halves, upper (id 0) and lower (id 1), each a
// raised face with a short caption, shaded darker downwards and coloured by its on/off
// state. The main window has one per effect; the owner sets texts and states, calls
// DrawAll, and decides what a click does.
//
// Thread: UI thread.

namespace ampora {

class UC_IOSelector : public PictureBox {
  Q_OBJECT

 public:
  explicit UC_IOSelector(QWidget* parent = nullptr);

  // Gives the control the UI font of its FontSize.
  void Init();
  float FontSize() const { return fontSize_; }
  // Points; 0 or less means 9. Takes effect at the next Init.
  void SetFontSize(float size) { fontSize_ = size; }
  // These only store; DrawAll shows them. Ids other than 0 and 1 are ignored.
  void SetText(int32_t id, const std::string& text);
  void SetState(int32_t id, int32_t value);
  void DrawAll();
  // 0 or 1; other values draw as 0.
  void SetColorType(int32_t colorType) { colorType_ = colorType; }

  // The texts, states, colours, font and picture of another selector.
  void CopySettingsFrom(const UC_IOSelector& source);

 signals:
  // On every button release: the half under the mouse, the mouse button (1 left, 2 right,
  // 4 middle) and the shift state (1 Shift, 2 Ctrl, 4 Alt).
  void Clicked(int32_t pID, int16_t pButton, int16_t pShift);
  // On every mouse move: the half under the mouse.
  void Hover(int32_t pID);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int32_t HalfAt(double pixelY) const;
  void DrawHalf(int32_t id);

  std::array<std::string, 2> texts_;
  std::array<int32_t, 2> states_{};
  int32_t colorType_ = 0;
  float fontSize_ = 9;
};

}  // namespace ampora
