#pragma once

#include <QWidget>

// Copies of one configured control, as windows make rows of like controls from the
// first one (the effect buttons from FXButton(0), the editor's sliders and value panels
// from slider 0 and panel 0).
//
// CopyControl makes a new control of the source's kind with the same parent, place and
// size and the source's settings (Control::CopySettingsFrom). The copy starts hidden, as
// a control newly added to a window does: the host places it, initialises it as the
// control's calling order asks, and shows it. The parent owns the copy; without a
// parent the caller does.
//
// Thread: UI thread.

namespace ampora {

template <class Control>
Control* CopyControl(const Control& source) {
  auto* copy = new Control(source.parentWidget());
  copy->setGeometry(source.geometry());
  copy->CopySettingsFrom(source);
  copy->hide();
  return copy;
}

}  // namespace ampora
