#pragma once

#include <QMouseEvent>
#include <cstdint>

// Mouse buttons and modifier keys as the controls' events report them: buttons 1 left,
// 2 right, 4 middle; shift state bits 1 Shift, 2 Ctrl, 4 Alt.
//
// Thread: UI thread.

namespace ampora {

int16_t MouseButtonCode(Qt::MouseButton button);
// The buttons held, as the sum of their codes.
int16_t MouseButtonsHeld(Qt::MouseButtons buttons);
int16_t ShiftState(Qt::KeyboardModifiers modifiers);

// The event's position in whole pixels of the control.
int32_t MousePixelX(const QMouseEvent& event);
int32_t MousePixelY(const QMouseEvent& event);

// The event's exact position in twips of the control, fractions kept.
float MouseTwipsX(const QMouseEvent& event);
float MouseTwipsY(const QMouseEvent& event);

}  // namespace ampora
