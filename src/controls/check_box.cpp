#include "controls/check_box.h"

#include <algorithm>

#include "controls/color.h"
#include "controls/paint_surface.h"
#include "controls/ui_fonts.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

UC_Check::UC_Check(QWidget* parent) : PictureBox(parent) {
  Picture().SetBackColor(kColorBtnFace);
}

void UC_Check::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Draw();
}

void UC_Check::SetCaption(const std::string& caption) {
  caption_ = caption;
  Layout();
  Draw();
}

void UC_Check::SetValue(int32_t value) {
  value_ = value;
  Draw();
}

void UC_Check::SetGradhdc(const Surface* picture) {
  if (picture != nullptr) gradhdc_ = picture;
}

void UC_Check::SetBGPic(double x, double y, const Surface* source) {
  bgX_ = x;
  bgY_ = y;
  bgSource_ = source;
}

int32_t UC_Check::BoxSide() const {
  return RoundInt32(sizeRate_ * 240.0);
}

void UC_Check::Layout() {
  if (TwipsPerPixel <= 0) return;
  TrapErrors([&] {
    Surface& panel = Picture();
    const double onePixel = TwipsFromPixels(1);
    ApplyUiFont(&panel, -2, {}, fontSize_);
    panel.SetBackColor(kColorBtnFace);
    const int32_t textHeight = RoundInt32(panel.TextHeight("漢"));
    const int32_t side = BoxSide();
    const double width =
        caption_.empty() ? side : side + TwipsFromPixels(4) + panel.TextWidth(caption_);
    const double height = std::max(TwipsFromPixels(this->height()), static_cast<double>(side));
    resize(PixelsFromTwips(width), PixelsFromTwips(height));
    boxTop_ = PixelsFromTwips(height - side, 2 * TwipsPerPixel);
    captionTop_ = RoundInt32((height - textHeight) / 2);
    if (gradhdc_ == nullptr) {
      // A sunken square: shadow along the top and left, highlight along the right and
      // bottom, on a mirror gradient.
      const int32_t sidePx = PixelsFromTwips(side);
      ownBox_.Resize(sidePx, sidePx);
      PaintSurface(ownBox_, 5, kColorBtnShadow, kColorBtnFace, kColor3DHighlight);
      const double inner = side - onePixel;
      ownBox_.Line(0, 0, 0, inner, kColorBtnShadow);
      ownBox_.Line(0, 0, inner, 0, kColorBtnShadow);
      ownBox_.Line(inner, 0, inner, side, kColor3DHighlight);
      ownBox_.Line(0, inner, inner, inner, kColor3DHighlight);
      gradhdc_ = &ownBox_;
    }
    laidOut_ = true;
  });
}

void UC_Check::Draw() {
  if (TwipsPerPixel <= 0) return;
  if (!laidOut_) Layout();
  TrapErrors([&] {
    Surface& panel = Picture();
    const int32_t t = TwipsPerPixel;
    const int32_t side = BoxSide();
    const Color captionColor = enabled_ ? kColorBtnText : kColorBtnShadow;
    if (bgSource_ != nullptr) {
      // The parent's painting under the control, as if the control had no rectangle.
      panel.Copy(0, 0, panel.WidthPx(), panel.HeightPx(), *bgSource_, RoundInt32(bgX_ / t),
                 RoundInt32(bgY_ / t));
    } else {
      panel.Clear();
    }
    panel.SetForeColor(captionColor);
    panel.SetPrintPosition(side + TwipsFromPixels(4), captionTop_);
    panel.Print(caption_);
    if (gradhdc_ != nullptr) {
      const int32_t sidePx = PixelsFromTwips(side);
      panel.Copy(0, boxTop_, sidePx, sidePx, *gradhdc_, 0, 0);
    }
    if (value_ != 1) return;
    if (isOption_ != 0) {
      panel.Disc(105, TwipsFromPixels(boxTop_) + 105, 60, captionColor);
      return;
    }
    // The tick, one closed line through four corners given in twips of a 240-twip box.
    auto px = [&](double c) { return PixelsFromTwips(sizeRate_ * c); };
    panel.SetDrawWidth(1);
    panel.MoveTo(px(45), px(105) + boxTop_);
    panel.LineTo(px(105), px(165) + boxTop_);
    panel.LineTo(px(180), px(45) + boxTop_);
    panel.LineTo(px(90), px(135) + boxTop_);
    panel.LineTo(px(45), px(105) + boxTop_);
  });
  update();
}

void UC_Check::mouseReleaseEvent(QMouseEvent* event) {
  if (TwipsPerPixel <= 0 || !enabled_) return;
  if (!QRectF(rect()).contains(event->position())) return;
  if (isOption_ != 0) {
    if (value_ == 0) value_ = 1;
  } else {
    value_ = value_ == 1 ? 0 : 1;
  }
  Draw();
  emit Click();
}

}  // namespace ampora
