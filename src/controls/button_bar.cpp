#include "controls/button_bar.h"

#include <algorithm>
#include <array>

#include "controls/icon_strip.h"
#include "controls/mouse_codes.h"
#include "controls/paint_surface.h"
#include "controls/ui_fonts.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/twips.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

// Face style of each design.
constexpr std::array<int32_t, 4> kDesignStyles = {7, 12, 13, 14};

// Icons that keep their own colours when the strip is tinted to the face colour.
constexpr std::array<int32_t, 10> kUntintedIcons = {8, 9, 10, 11, 13, 18, 19, 20, 23, 24};

}  // namespace

UC_Buttons::UC_Buttons(QWidget* parent) : PictureBox(parent) {
  setMouseTracking(true);
  icons_.Resize(kIconSize * kIconCount, 2 * kIconSize);
  icons_.Load(BuildIconStrip());
  Picture().SetBackColor(kColorBtnFace);
  SetNumButtons(1);
}

void UC_Buttons::SetNumButtons(int32_t count) {
  buttons_.assign(static_cast<size_t>(std::max(count, 1)), Button{});
}

void UC_Buttons::SetDesignType(int32_t design) {
  designType_ = design;
  if (design == 1) SetSelectedColor(Rgb(255, 255, 255));
}

int32_t UC_Buttons::GetButtonDisable(int32_t index, int32_t temporary) const {
  if (!Valid(index)) return 0;
  const Button& b = buttons_[static_cast<size_t>(index)];
  return temporary == 0 ? b.disabled : b.temporarilyDisabled;
}

void UC_Buttons::SetToolTip(const std::string& text) {
  setToolTip(QString::fromStdString(text));
}

void UC_Buttons::SetFontSize(float size) {
  fontSize_ = size;
  QFont font = Picture().Font();
  font.setPointSizeF(size > 0 ? size : 9);
  Picture().SetFont(font);
}

void UC_Buttons::SetFontFace(const std::string& face) {
  fontFace_ = face;
  QFont font = Picture().Font();
  font.setFamily(QString::fromStdString(face.empty() ? UiFaceName : face));
  Picture().SetFont(font);
}

void UC_Buttons::SetFontBold(bool bold) {
  fontBold_ = bold;
  QFont font = Picture().Font();
  font.setBold(bold);
  Picture().SetFont(font);
}

void UC_Buttons::SetSelectedColor(Color color) {
  selectedColor_ = color;
  darkSelectedColor_ = AdjustColor(color, -70, -70, -70);
}

void UC_Buttons::SetSelectedButton(int16_t index) {
  const int16_t previous = selectedButton_;
  selectedButton_ = index;
  if (previous != -1) DrawButton(previous, 0);
  if (index != -1) DrawButton(index, 0);
}

QRect UC_Buttons::ButtonRect(int32_t index) const {
  if (!Valid(index)) return {};
  return {buttons_[static_cast<size_t>(index)].x, 0, buttonWidth_, buttonHeight_};
}

std::string UC_Buttons::GetButtonChar(int32_t index) const {
  return Valid(index) ? buttons_[static_cast<size_t>(index)].caption : std::string();
}

int32_t UC_Buttons::GetButtonOn(int32_t index) const {
  return Valid(index) ? buttons_[static_cast<size_t>(index)].on : 0;
}

void UC_Buttons::Init() {
  TrapErrors([&] {
    Surface& picture = Picture();
    picture.Clear();
    face_.Clear();
    darkSelectedColor_ = AdjustColor(selectedColor_, -70, -70, -70);
    ApplyUiFont(&picture, -2, {}, fontSize_, static_cast<int16_t>(fontBold_ ? -1 : 0), 0,
                fontFace_);
    const bool hasIcons = std::any_of(buttons_.begin(), buttons_.end(),
                                      [](const Button& b) { return !b.IsCaptionButton(); });
    if (hasIcons && !iconsTinted_) TintIcons();
    if (mimiWidth_ == -1) mimiWidth_ = designType_ == 0 ? 8 : 0;

    const int32_t count = NumButtons();
    buttonWidth_ = std::max(DivInt32(width() - 2 * mimiWidth_ - 2, count), 0);
    const int32_t barWidth = buttonWidth_ * count + 2 * mimiWidth_ + 2;
    resize(barWidth, height());
    buttonHeight_ = height();
    Surface& bar = Picture();
    face_.Resize(buttonWidth_, buttonHeight_);

    PaintSurface(face_, -2);
    PaintSurface(bar, -2);
    if (designType_ >= 0 && designType_ < static_cast<int32_t>(kDesignStyles.size())) {
      PaintSurface(face_, kDesignStyles[static_cast<size_t>(designType_)]);
    }
    if (mimiWidth_ != 0) {
      bar.Copy(0, 0, mimiWidth_, buttonHeight_, face_, 0, 0);
      bar.Copy(buttonWidth_ * count + mimiWidth_ + 1, 0, mimiWidth_, buttonHeight_, face_, 0, 0);
      bar.FillPx(mimiWidth_, 0, mimiWidth_, buttonHeight_ - 1, kColor3DDkShadow);
      bar.FillPx(barWidth - 1, 0, barWidth - 1, buttonHeight_ - 1, kColor3DDkShadow);
    }
    laidOut_ = true;
    for (int32_t i = 0; i < count; ++i) {
      buttons_[static_cast<size_t>(i)].x = buttonWidth_ * i + mimiWidth_ + 1;
      CentreCaption(i);
      DrawButton(i, 0);
    }
  });
  update();
}

void UC_Buttons::CentreCaption(int32_t index) {
  Button& b = buttons_[static_cast<size_t>(index)];
  const double h = buttonHeight_;
  const double w = buttonWidth_;
  if (b.IsCaptionButton()) {
    const Surface& bar = Picture();
    const double t = TwipsPerPixel;
    b.captionY = RoundInt32(h / 2 - bar.TextHeight(b.caption) / t / 2);
    b.captionX = RoundInt32(b.x + w / 2 - bar.TextWidth(b.caption) / t / 2);
  } else {
    b.captionY = RoundInt32(h / 2 - kIconSize / 2);
    b.captionX = RoundInt32(b.x + w / 2 - kIconSize / 2);
  }
}

void UC_Buttons::DrawAll() {
  for (int32_t i = 0; i < NumButtons(); ++i) DrawButton(i, 0);
}

void UC_Buttons::DrawButton(int32_t index, int32_t state) {
  if (!Valid(index)) return;
  const int32_t offset = state == 1 ? 1 : 0;
  const bool highlight = state == 1 || state == 2;
  const Button& b = buttons_[static_cast<size_t>(index)];
  TrapErrors([&] {
    Surface& bar = Picture();
    bar.FillPx(b.x, 0, b.x + buttonWidth_ - 1, buttonHeight_ - 1, bar.BackColor());
    bar.Copy(b.x, offset, buttonWidth_, buttonHeight_, face_, 0, 0);
    if (!b.IsCaptionButton()) {
      DrawIcon(index, offset, highlight);
    } else if (!b.caption.empty()) {
      DrawCaption(index, offset, highlight);
    }
  });
  update();
}

void UC_Buttons::DrawIcon(int32_t index, int32_t offset, bool highlight) {
  const Button& b = buttons_[static_cast<size_t>(index)];
  const int32_t icon = b.hasAlternate == 1 && highlight ? b.alternateIcon : b.normalIcon;
  if (icon < 0 || icon >= kIconCount) return;
  Surface& bar = Picture();
  const int32_t y = b.captionY + offset;
  bar.Copy(b.captionX, y, kIconSize, kIconSize, icons_, kIconSize * icon, kIconSize,
           Surface::CopyMode::kAnd);
  bar.Copy(b.captionX, y, kIconSize, kIconSize, icons_, kIconSize * icon, 0,
           Surface::CopyMode::kInvert);
}

void UC_Buttons::DrawCaption(int32_t index, int32_t offset, bool highlight) {
  const Button& b = buttons_[static_cast<size_t>(index)];
  const bool disabled = b.IsDisabled();
  const bool emphasised = b.on == 1 || highlight || index == selectedButton_;
  Surface& bar = Picture();
  if (disable3D_ == 0) {
    const Color shadow = disabled     ? kColor3DHighlight
                         : emphasised ? darkSelectedColor_
                                      : ToneColor(3);
    bar.SetForeColor(shadow);
    bar.SetPrintPosition(TwipsFromPixels(b.captionX + 1), TwipsFromPixels(b.captionY + offset + 1));
    bar.Print(b.caption);
  }
  Color text = kColor3DHighlight;
  if (noGrayAtDisabled_ == 0 && disabled) {
    text = kColor3DHighlight;
  } else if (emphasised) {
    text = selectedColor_;
  } else if (disable3D_ != 0) {
    text = ToneColor(3);
  }
  bar.SetForeColor(text);
  bar.SetPrintPosition(TwipsFromPixels(b.captionX), TwipsFromPixels(b.captionY + offset));
  bar.Print(b.caption);
}

void UC_Buttons::TintIcons() {
  const RgbParts face = SplitRGB(ResolveColor(kColorBtnFace));
  const double red = face.red / 210.0;
  const double green = face.green / 210.0;
  const double blue = face.blue / 210.0;
  for (int32_t icon = 0; icon < kIconCount; ++icon) {
    if (std::find(kUntintedIcons.begin(), kUntintedIcons.end(), icon) != kUntintedIcons.end()) {
      continue;
    }
    for (int32_t y = 0; y < kIconSize; ++y) {
      for (int32_t x = icon * kIconSize; x < (icon + 1) * kIconSize; ++x) {
        const Color pixel = icons_.Pixel(x, y);
        if (pixel == 0) continue;
        const RgbParts c = SplitRGB(pixel);
        icons_.SetPixel(x, y,
                        MakeRGB(RoundInt32(c.red * red), RoundInt32(c.green * green),
                                RoundInt32(c.blue * blue)));
      }
    }
  }
  iconsTinted_ = true;
}

void UC_Buttons::SetButtonState(int32_t index, int32_t state) {
  if (Valid(index)) DrawButton(index, state);
}

void UC_Buttons::SetButtonDisable(int32_t index, int32_t value, int32_t redraw, int32_t temporary) {
  if (!Valid(index)) return;
  Button& b = buttons_[static_cast<size_t>(index)];
  (temporary == 0 ? b.disabled : b.temporarilyDisabled) = value;
  if (redraw != 0) DrawButton(index, 0);
}

void UC_Buttons::SetButtonDisableAll(int32_t value, int32_t temporary) {
  for (int32_t i = 0; i < NumButtons(); ++i) {
    Button& b = buttons_[static_cast<size_t>(i)];
    (temporary == 0 ? b.disabled : b.temporarilyDisabled) = value;
    if (b.hasAlternate == 0) DrawButton(i, 0);
  }
}

void UC_Buttons::SetPicIndexa(int32_t index, int32_t icon) {
  if (!Valid(index)) return;
  Button& b = buttons_[static_cast<size_t>(index)];
  b.alternateIcon = icon;
  b.hasAlternate = 1;
  b.caption.clear();
}

void UC_Buttons::SetPicIndexn(int32_t index, int32_t icon) {
  if (!Valid(index)) return;
  Button& b = buttons_[static_cast<size_t>(index)];
  b.normalIcon = icon;
  b.caption.clear();
}

void UC_Buttons::SetButtonChar(int32_t index, const std::string& text) {
  if (!Valid(index)) return;
  Button& b = buttons_[static_cast<size_t>(index)];
  b.caption = text;
  b.alternateIcon = -1;
  b.normalIcon = -1;
  if (laidOut_) TrapErrors([&] { CentreCaption(index); });
}

void UC_Buttons::SetButtonCharNum() {
  for (int32_t i = 0; i < NumButtons(); ++i) SetButtonChar(i, std::to_string(i + 1));
}

void UC_Buttons::SetButtonOn(int32_t index, int32_t value, int32_t redraw) {
  if (!Valid(index)) return;
  buttons_[static_cast<size_t>(index)].on = value;
  if (redraw != 0) DrawButton(index, 0);
}

void UC_Buttons::SetIconPreset(const std::vector<int32_t>& normal,
                               const std::vector<int32_t>& alternate, int32_t hasAlternate) {
  SetNumButtons(static_cast<int32_t>(normal.size()));
  for (size_t i = 0; i < normal.size(); ++i) {
    Button& b = buttons_[i];
    b.normalIcon = normal[i];
    b.alternateIcon = alternate[i];
    b.hasAlternate = hasAlternate;
  }
}

void UC_Buttons::SetButtonsMCI() {
  SetIconPreset({1, 2, 3}, {9, 10, 11}, 1);
}

void UC_Buttons::SetButtonsPCXplay() {
  SetIconPreset({15, 16, 1, 3, 17}, {18, 19, 9, 11, 20}, 1);
}

void UC_Buttons::SetButtonsEditorCtrl() {
  SetIconPreset({4, 5, 6, 7}, {4, 5, 6, 7}, 0);
}

void UC_Buttons::SetButtonsEditorPlay() {
  SetIconPreset({0, 1, 2, 3}, {8, 9, 10, 11}, 1);
}

void UC_Buttons::SetOKCancel(int32_t first, int32_t keepSize, int32_t design) {
  SetNumButtons(2);
  SetButtonChar(first != 0 ? 0 : 1, "OK");
  SetButtonChar(first != 0 ? 1 : 0, UiText("MessageBox", "キャンセル"));
  SetDesignType(design);
  if (keepSize == 0) {
    TrapErrors([&] { resize(PixelsFromTwips(2400), PixelsFromTwips(330)); });
  }
  Init();
}

int16_t UC_Buttons::HitTest(int32_t pixelX) const {
  const int32_t first = buttons_.front().x;
  const int32_t last = buttons_.back().x + buttonWidth_;
  if (pixelX < first || pixelX > last) return -1;
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (pixelX < buttons_[i].x + buttonWidth_) return static_cast<int16_t>(i);
  }
  return -1;
}

void UC_Buttons::PressAt(int32_t pixelX, bool leftButton) {
  pressX_ = pixelX;
  pressedIndex_ = HitTest(pixelX);
  if (pressedIndex_ < 0 || buttons_[static_cast<size_t>(pressedIndex_)].IsDisabled()) return;
  if (!leftButton) return;
  DrawButton(pressedIndex_, 1);
  emit ButtonDown(pressedIndex_);
}

void UC_Buttons::mousePressEvent(QMouseEvent* event) {
  PressAt(MousePixelX(*event), event->button() == Qt::LeftButton);
}

void UC_Buttons::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a left double click is a press at the first one's place; the
  // toolkit reports double clicks of the other buttons too, and those stay ordinary
  // presses of their button.
  if (event->button() == Qt::LeftButton) {
    PressAt(pressX_, true);
  } else {
    PressAt(MousePixelX(*event), false);
  }
}

void UC_Buttons::mouseReleaseEvent(QMouseEvent* event) {
  const int16_t index = pressedIndex_;
  pressedIndex_ = -1;
  if (index < 0 || buttons_[static_cast<size_t>(index)].IsDisabled()) return;
  const Button& b = buttons_[static_cast<size_t>(index)];
  const int32_t x = MousePixelX(*event);
  const int32_t y = MousePixelY(*event);
  const bool inside = x >= b.x && x <= b.x + buttonWidth_ && y >= 0 && y <= buttonHeight_;
  if (!inside) {
    // Dragged off: the button comes back up without a click.
    DrawButton(index, 0);
    return;
  }
  if (event->button() == Qt::LeftButton) {
    DrawButton(index, 0);
    const int16_t shift = ShiftState(event->modifiers());
    if (shift != 0) {
      emit ShiftClicked(index, shift);
    } else {
      emit ButtonClicked(index);
    }
  } else if (event->button() == Qt::RightButton) {
    emit RightClicked(index);
  }
}

void UC_Buttons::mouseMoveEvent(QMouseEvent* event) {
  const int16_t index = HitTest(MousePixelX(*event));
  if (index == lastHovered_) return;
  lastHovered_ = index;
  emit Hover(index);
}

}  // namespace ampora
