#include "controls/mouse_codes.h"

#include <cmath>

#include "util/twips.h"

namespace ampora {

int16_t MouseButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

int16_t MouseButtonsHeld(Qt::MouseButtons buttons) {
  int16_t held = 0;
  for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    if (buttons.testFlag(button)) held = static_cast<int16_t>(held | MouseButtonCode(button));
  }
  return held;
}

int16_t ShiftState(Qt::KeyboardModifiers modifiers) {
  int16_t state = 0;
  if (modifiers.testFlag(Qt::ShiftModifier)) state |= 1;
  if (modifiers.testFlag(Qt::ControlModifier)) state |= 2;
  if (modifiers.testFlag(Qt::AltModifier)) state |= 4;
  return state;
}

int32_t MousePixelX(const QMouseEvent& event) {
  return static_cast<int32_t>(std::floor(event.position().x()));
}

int32_t MousePixelY(const QMouseEvent& event) {
  return static_cast<int32_t>(std::floor(event.position().y()));
}

float MouseTwipsX(const QMouseEvent& event) {
  return static_cast<float>(TwipsFromPixels(event.position().x()));
}

float MouseTwipsY(const QMouseEvent& event) {
  return static_cast<float>(TwipsFromPixels(event.position().y()));
}

}  // namespace ampora
