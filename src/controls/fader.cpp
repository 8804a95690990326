#include "controls/fader.h"

#include <algorithm>
#include <cmath>

#include "controls/color.h"
#include "controls/mouse_codes.h"
#include "controls/paint_surface.h"
#include "controls/ui_fonts.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

namespace {

constexpr int16_t kLeftButton = 1;
constexpr int16_t kRightButton = 2;
constexpr int16_t kAltAlone = 4;

// The labels under the grooves: the 9-point UI font, light on the dark panel.
constexpr float kLabelFontSize = 9;
constexpr Color kLabelColor = kColor3DHighlight;

}  // namespace

UC_Fader::UC_Fader(QWidget* parent) : PictureBox(parent) {
  setMouseTracking(true);
  Picture().SetForeColor(kLabelColor);
}

void UC_Fader::SetFaderType(int32_t type) {
  if (type == 0) {
    max_ = 255;
    min_ = 0;
  } else if (type == 1) {
    max_ = 1000;
    min_ = 0;
  } else {
    return;
  }
  RecomputeRange();
}

void UC_Fader::SetPointerSize(int32_t twips) {
  TrapErrors([&] {
    pointerHeight_ = PixelsFromTwips(twips);
    RecomputeTravel();
  });
}

int32_t UC_Fader::PointerSize() const {
  return RoundInt32(TwipsFromPixels(pointerHeight_));
}

void UC_Fader::SetMax(int32_t value) {
  max_ = value;
  RecomputeRange();
}

void UC_Fader::SetMin(int32_t value) {
  min_ = value;
  RecomputeRange();
}

void UC_Fader::RecomputeRange() {
  // A range beyond 32 bits cannot be drawn: it counts as none, and the fader stays put.
  const int64_t range = int64_t{max_} - min_;
  range_ = range >= INT32_MIN && range <= INT32_MAX ? static_cast<int32_t>(range) : 0;
}

void UC_Fader::RecomputeTravel() {
  travel_ = RoundInt32(trackHeight_ - TwipsFromPixels(pointerHeight_));
}

void UC_Fader::SetLinked(int32_t value) {
  if (value == 0 && linkDisabled_ == 1) value = 1;
  linked_ = value;
  RedrawPointers();
}

void UC_Fader::SetLinkDisabled(int32_t value) {
  linked_ = 1;
  linkDisabled_ = value;
}

void UC_Fader::LockLinked() {
  linked_ = 1;
  linkDisabled_ = 1;
}

void UC_Fader::SetValueL(int32_t value) {
  WriteValue(value, 0);
}

void UC_Fader::SetValueR(int32_t value) {
  WriteValue(value, 1);
}

int32_t UC_Fader::PositionOf(int32_t value) const {
  if (travel_ == 0 || range_ == 0) return 0;
  return RoundInt32(static_cast<double>(travel_) / range_ * SubInt32(max_, value));
}

void UC_Fader::WriteValue(int32_t value, int32_t channel) {
  // A drag in progress is never overridden by the program.
  if (locked_ != 0 || clicked_) return;
  value = std::max(std::min(value, max_), min_);
  TrapErrors([&] { Draw(PositionOf(value), linked_ != 0 ? 2 : channel); });
}

void UC_Fader::RedrawPointers() {
  TrapErrors([&] {
    if (linked_ != 0) {
      Draw(PositionOf(valueL_), 2);
    } else {
      Draw(PositionOf(valueL_), 0);
      Draw(PositionOf(valueR_), 1);
    }
  });
}

void UC_Fader::SetKnobPicA(const Surface* picture) {
  if (picture == nullptr) return;
  TrapErrors([&] {
    knobA_ = picture;
    pointerHeight_ = picture->HeightPx();
    knobAWidth_ = picture->WidthPx();
    const int32_t widthTwips = RoundInt32(TwipsFromPixels(knobAWidth_));
    const int32_t twoPixels = RoundInt32(TwipsFromPixels(2));
    leftGrooveX_ = DivInt32(widthTwips, 2) + twoPixels;
    rightGrooveX_ = RoundInt32(widthTwips * 1.5 + twoPixels);
  });
}

void UC_Fader::SetKnobPicB(const Surface* picture) {
  if (picture == nullptr) return;
  TrapErrors([&] {
    knobB_ = picture;
    knobBWidth_ = picture->WidthPx();
    linkedGrooveX_ = PixelsFromTwips(TwipsFromPixels(knobBWidth_) / 2.0) + 1;
  });
}

void UC_Fader::Init(int32_t createKnobs, int32_t knobStyle) {
  TrapErrors([&] {
    Surface& panel = Picture();
    if (showLR_ != 0) {
      ApplyUiFont(&panel, -2, {}, kLabelFontSize);
      trackHeight_ =
          static_cast<float>(panel.ScaleHeight() - TwipsFromPixels(8) - panel.TextHeight("漢"));
    } else {
      trackHeight_ = static_cast<float>(panel.ScaleHeight() - TwipsFromPixels(4));
    }
    if (createKnobs != 0) {
      // Surfaces take their size at once: no events need to run before painting them.
      ownKnobA_.Resize(DivInt32(panel.WidthPx() - 6, 2), pointerHeight_);
      ownKnobB_.Resize(panel.WidthPx() - 5, pointerHeight_);
      PaintSurface(ownKnobA_, knobStyle);
      PaintSurface(ownKnobB_, knobStyle);
      SetKnobPicA(&ownKnobA_);
      SetKnobPicB(&ownKnobB_);
    }
    const Color base = kColorBtnShadow;
    PaintSurface(panel, 2, AdjustColor(base, 20, 20, 20), AdjustColor(base, -40, -40, -40));
    panel.DrawSunkenEdge(0, 0, panel.WidthPx(), panel.HeightPx());
    if (showLR_ != 0) {
      const double labelTop = trackHeight_ + TwipsFromPixels(2);
      panel.SetPrintPosition(leftGrooveX_ - panel.TextWidth("L") / 2, labelTop);
      panel.Print("L");
      panel.SetPrintPosition(rightGrooveX_ - panel.TextWidth("R") / 2, labelTop);
      panel.Print("R");
    }
    cleanBackground_ = panel;
    RecomputeTravel();
  });
  update();
}

void UC_Fader::RestoreColumn(int32_t x, int32_t width) {
  Picture().Copy(x, 2, width, PixelsFromTwips(trackHeight_), cleanBackground_, x, 2);
}

void UC_Fader::DrawGroove(double xTwips) {
  Surface& panel = Picture();
  const double top = TwipsFromPixels(6);
  const double bottom = trackHeight_ - TwipsFromPixels(10);
  panel.Line(xTwips, top, xTwips, bottom, Rgb(0, 0, 0));
  const double nextColumn = xTwips + TwipsFromPixels(1);
  panel.Line(nextColumn, top, nextColumn, bottom, kColor3DHighlight);
}

void UC_Fader::Draw(int32_t position, int32_t channel) {
  // A panel no taller than the pointer has no travel.
  if (range_ == 0 || travel_ <= 0) return;
  TrapErrors([&] {
    Surface& panel = Picture();
    // In 64 bits: a tall travel times a wide range leaves the 32-bit range, and a
    // position far outside the travel gives a value far outside Min..Max, clamped below.
    const int64_t product = (int64_t{travel_} - position) * range_;
    const double nearest = std::nearbyint(static_cast<double>(product) / travel_ + min_);
    const int32_t bottom = RoundInt32(trackHeight_ - TwipsFromPixels(pointerHeight_));
    int32_t value = 0;
    if (nearest > max_) {
      value = max_;
      position = 0;
    } else if (nearest < min_) {
      value = min_;
      position = bottom;
    } else {
      value = static_cast<int32_t>(nearest);
      position = std::max(std::min(position, bottom), 0);
    }
    const int32_t y = PixelsFromTwips(position + TwipsFromPixels(2));
    // A knob picture that was never supplied leaves only the groove.
    auto copyKnob = [&](const Surface* knob, int32_t x, int32_t width) {
      if (knob != nullptr) panel.Copy(x, y, width, pointerHeight_, *knob, 0, 0);
    };
    switch (channel) {
      case 0:
        valueL_ = value;
        RestoreColumn(2, knobAWidth_);
        DrawGroove(leftGrooveX_);
        copyKnob(knobA_, 2, knobAWidth_);
        break;
      case 1:
        valueR_ = value;
        RestoreColumn(knobAWidth_ + 2, knobAWidth_ + 2);
        DrawGroove(rightGrooveX_);
        copyKnob(knobA_, knobAWidth_ + 3, knobAWidth_);
        break;
      case 2:
        valueL_ = value;
        valueR_ = value;
        RestoreColumn(2, knobBWidth_ + 2);
        DrawGroove(TwipsFromPixels(linkedGrooveX_));
        copyKnob(knobB_, 2, knobBWidth_);
        break;
      default:
        break;
    }
    lastPointerPosition_ = static_cast<float>(position);
  });
  update();
}

void UC_Fader::CopySettingsFrom(const UC_Fader& source) {
  max_ = source.max_;
  min_ = source.min_;
  range_ = source.range_;
  pointerHeight_ = source.pointerHeight_;
  knobAWidth_ = source.knobAWidth_;
  knobBWidth_ = source.knobBWidth_;
  leftGrooveX_ = source.leftGrooveX_;
  rightGrooveX_ = source.rightGrooveX_;
  linkedGrooveX_ = source.linkedGrooveX_;
  linkDisabled_ = source.linkDisabled_;
  showLR_ = source.showLR_;
  locked_ = source.locked_;
  linked_ = source.linked_;
  ownKnobA_ = source.ownKnobA_;
  ownKnobB_ = source.ownKnobB_;
  knobA_ = source.knobA_ == &source.ownKnobA_ ? &ownKnobA_ : source.knobA_;
  knobB_ = source.knobB_ == &source.ownKnobB_ ? &ownKnobB_ : source.knobB_;
  cleanBackground_ = source.cleanBackground_;
  trackHeight_ = source.trackHeight_;
  travel_ = source.travel_;
  Picture() = cleanBackground_;
  update();
}

void UC_Fader::MoveStep(int16_t button, int16_t shift, float y) {
  if ((button & kLeftButton) == 0 || !clicked_) {
    emit Hovered();
    return;
  }
  if (y == lastMouseY_) return;
  const int32_t oldL = valueL_;
  const int32_t oldR = valueR_;
  TrapErrors([&] {
    if (linked_ != 0) {
      lastMouseY_ = y;
      Draw(RoundInt32(y - grabOffset_), 2);
    } else {
      // The channel is the one pressed on, wherever the mouse wanders.
      const int32_t channel = pressX_ < TwipsFromPixels(knobAWidth_) ? 0 : 1;
      Draw(RoundInt32(y - grabOffset_), channel);
    }
  });
  emit LevelChanged();
  if (shift == kAltAlone) {
    emit AltChanged(static_cast<int32_t>(int64_t{valueL_} - oldL),
                    static_cast<int32_t>(int64_t{valueR_} - oldR), 0);
  }
  if (linked_ == 0) lastMouseY_ = y;
}

void UC_Fader::mousePressEvent(QMouseEvent* event) {
  if (locked_ != 0) return;
  const float y = MouseTwipsY(*event);
  const float pointer = static_cast<float>(TwipsFromPixels(pointerHeight_));
  // Taken inside the pointer, the pointer keeps its place under the mouse; elsewhere it
  // jumps to centre on the mouse.
  if (lastPointerPosition_ < y && y < lastPointerPosition_ + pointer) {
    grabOffset_ = y - lastPointerPosition_;
  } else {
    grabOffset_ = pointer / 2;
  }
  clicked_ = true;
  pressX_ = MouseTwipsX(*event);
  const int16_t shift = ShiftState(event->modifiers());
  altAtPress_ = shift == kAltAlone;
  MoveStep(MouseButtonCode(event->button()), shift, y);
}

void UC_Fader::mouseMoveEvent(QMouseEvent* event) {
  if (locked_ != 0) return;
  MoveStep(MouseButtonsHeld(event->buttons()), ShiftState(event->modifiers()), MouseTwipsY(*event));
}

void UC_Fader::mouseReleaseEvent(QMouseEvent* event) {
  if (locked_ != 0) {
    // Locked during a press: the press still ends, or the program's value writes would
    // stay ignored after the lock is lifted.
    clicked_ = false;
    return;
  }
  const int16_t button = MouseButtonCode(event->button());
  const int16_t shift = ShiftState(event->modifiers());
  bool toggled = false;
  if (button == kRightButton && linkDisabled_ == 0) {
    linked_ = linked_ == 0 ? 1 : 0;
    toggled = true;
    RedrawPointers();
  }
  clicked_ = false;
  // Linking moves the right value to the left one: a level change like a drag step.
  if (toggled) emit LevelChanged();
  emit MouseUp(button, shift, MouseTwipsX(*event), MouseTwipsY(*event));
  if (shift == kAltAlone) emit AltChanged(0, 0, toggled ? 1 : 0);
}

bool UC_Fader::event(QEvent* event) {
  // A window that opens in front (a message box during a drag) takes the button's
  // release, which then never arrives here: losing the mouse ends the press, or the
  // program's value writes would stay ignored.
  if (event->type() == QEvent::WindowBlocked || event->type() == QEvent::WindowDeactivate) {
    clicked_ = false;
  }
  return PictureBox::event(event);
}

void UC_Fader::mouseDoubleClickEvent(QMouseEvent* event) {
  // The toolkit reports double clicks of every button; only the left one's is a double
  // click here, the others are the presses they are.
  if (event->button() != Qt::LeftButton) {
    mousePressEvent(event);
    return;
  }
  if (locked_ != 0) return;
  emit DblClicked();
  if (altAtPress_) emit AltChanged(0, 0, 2);
}

}  // namespace ampora
