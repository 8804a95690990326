#pragma once

#include <QWidget>
#include <cstdint>

#include "controls/color.h"
#include "controls/surface.h"

// Numbered text and back colour pairs for panels and text boxes:
//   -1 the given colours          3 white on red
//    0 button face on black       4 dark red on pink
//    1 olive on pale green        5 dark red on dusty rose
//    2 olive on sage              6 light grey on dark grey
// The back colour is set first (it clears the surface); other numbers change nothing.
//
// Thread: UI thread.

namespace ampora {

void SetColorScheme(Surface& surface, int32_t scheme, Color textColor = 0, Color backColor = 0);

// The same for a text box (a QLineEdit and the like): its text and base colours.
void SetColorScheme(QWidget& textBox, int32_t scheme, Color textColor = 0, Color backColor = 0);

}  // namespace ampora
