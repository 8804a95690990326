#pragma once

#include <QMouseEvent>
#include <cstdint>
#include <string>

#include "controls/picture_box.h"
#include "controls/surface.h"

// UC_Check: a self-drawn check box, or with IsOption a round option button, with a
// caption at its right. It is drawn on a copy of its parent's painted background taken
// at the control's own place (SetBGPic), so that it sits on a painted window without a
// rectangle of its own.
//
// Hosts, in this order: SetBGPic (the window's background surface and the control's own
// left and top in twips), FontSize and SizeRate (they take effect at the next layout),
// Caption (lays the control out: its width follows the caption), Value. Whenever the
// window's background is painted again, Draw the control again.
//
// Mouse: a release of any button over the control is a click; a check box turns 1 into
// 0 and anything else into 1, an option button turns 0 into 1 and keeps anything else.
// Click is raised after the control has been redrawn, also when the value stayed.
//
// Thread: UI thread.

namespace ampora {

class UC_Check : public PictureBox {
  Q_OBJECT

 public:
  explicit UC_Check(QWidget* parent = nullptr);

  // When false, clicks are ignored and the caption is greyed. Redraws.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // Stores, lays the control out and redraws.
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  // Points, for the next layout.
  void SetFontSize(float size) { fontSize_ = size; }
  // Scale of the box (side nearest(SizeRate x 240) twips), for the next layout.
  void SetSizeRate(float rate) { sizeRate_ = rate; }
  // 1 shows the tick or the dot; any other value neither. Redraws.
  void SetValue(int32_t value);
  int32_t Value() const { return value_; }
  // The picture of the empty box, SizeRate x 240 twips square; a null picture is not
  // taken. Without one, the layout draws a sunken box of its own.
  void SetGradhdc(const Surface* picture);
  const Surface* Gradhdc() const { return gradhdc_; }
  void SetIsOption(int32_t value) { isOption_ = value; }
  int32_t IsOption() const { return isOption_; }
  // The background comes from this surface at (x, y) twips; the surface must outlive
  // the control or be dropped with CloseBGObj first.
  void SetBGPic(double x, double y, const Surface* source);
  // Drops the background source; the control then clears to the button face.
  void CloseBGObj() { bgSource_ = nullptr; }
  void Draw();

 signals:
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Layout();
  int32_t BoxSide() const;

  bool enabled_ = true;
  std::string caption_;
  int32_t value_ = 0;
  int32_t isOption_ = 0;
  float fontSize_ = 9;
  float sizeRate_ = 1;
  const Surface* gradhdc_ = nullptr;
  Surface ownBox_;
  double bgX_ = 0;
  double bgY_ = 0;
  const Surface* bgSource_ = nullptr;
  bool laidOut_ = false;
  int32_t boxTop_ = 0;      // pixels
  int32_t captionTop_ = 0;  // twips
};

}  // namespace ampora
