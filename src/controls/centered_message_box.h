#pragma once

#include <cstdint>
#include <string>

class QWidget;

// A message box that opens centred over its owner window, 600 twips clear of the
// screen's bottom and inside its right edge (util/message_placement.h), placed before it
// first shows. Buttons and icon follow the style flags of util/message_seam.h; the
// button texts are Japanese.
//
// Thread: UI thread only.

namespace ampora {

// Shows the box modally and returns the code of the button chosen (kIdOk...); 0 when it
// could not be shown. A missing or minimised owner leaves the placement to the window
// system.
int16_t ShowMessageCentered(const std::string& text, int32_t style, const std::string& caption,
                            QWidget* owner);

}  // namespace ampora
