#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "controls/twips_geometry.h"
#include "controls/ui_fonts.h"

// Laying a dialog out from one designed control: a control placed against another one
// (below it, right of it, centred on it, flush with its right edge), and rows of like
// controls grown from their first element. Geometry is in twips (controls/twips_geometry.h).
//
// Thread: UI thread.

namespace ampora {

enum ControlPlacement : int32_t {
  kPlaceBelow = 0,         // Top = reference bottom + gap
  kPlaceRightOf = 1,       // Left = reference right + gap
  kPlaceCentred = 2,       // vertically centred on the reference
  kPlaceRightAligned = 3,  // right edge on the reference's right edge, moved by gap
};

enum ControlAlignment : int32_t {
  kAlignToReference = 1,  // the other coordinate from the reference
  kAlignToValue = 2,      // the other coordinate set to the align value
};

// The gap that stands for two pixels.
inline constexpr double kTwoPixelGap = -1;

// Moves control against reference. The coordinate the placement does not set (Left for
// below and centred, Top for right of and right-aligned) follows the alignment; for
// right-aligned, kAlignToReference puts the control below the reference (Top = reference
// bottom + gap). Any other alignment leaves it; any other placement moves nothing.
void PlaceControl(QWidget& control, const QWidget& reference, int32_t placement,
                  double gap = kTwoPixelGap, int32_t alignMode = kAlignToReference,
                  double alignValue = 0);

// Grows array (elements 0 .. index - 1 exist) by element index: a new control of the same
// kind in the container of the previous element, with its place and size, next in the
// tab order after it. applyFont gives the UI font (9 points) to the new element, and to
// element 0 when index is 1. A placement >= 0 places it against the previous element
// (PlaceControl with kAlignToReference). Returns the new element, or nullptr when index
// is not the array's next element.
template <class Control>
Control* AddArrayControl(std::vector<Control*>& array, int32_t index, int32_t placement,
                         bool visible, bool applyFont, double gap) {
  if (index < 1 || static_cast<size_t>(index) != array.size()) return nullptr;
  Control& previous = *array.back();
  auto* element = new Control(previous.parentWidget());
  element->setGeometry(previous.geometry());
  QWidget::setTabOrder(&previous, element);
  if (applyFont) {
    if (index == 1) ApplyUiFont(&previous, -2);
    ApplyUiFont(element, -2);
  }
  if (placement >= 0) PlaceControl(*element, previous, placement, gap, kAlignToReference, 0);
  element->setVisible(visible);
  array.push_back(element);
  return element;
}

}  // namespace ampora
