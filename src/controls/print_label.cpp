#include "controls/print_label.h"

#include "controls/twips_geometry.h"
#include "util/error_trap.h"

namespace ampora {

void PrintLabel(Surface& surface, const QWidget& control, const std::string& text,
                int32_t placement, double dx, double dy) {
  TrapErrors([&] {
    const double left = TwipsLeft(control);
    const double top = TwipsTop(control);
    const double width = TwipsWidth(control);
    const double height = TwipsHeight(control);
    const double textWidth = surface.TextWidth(text);
    const double textHeight = surface.TextHeight(text);
    const double above = top - textHeight - 30 + dy;
    const double below = top + height + 30 + dy;
    const double centredY = top + (height - textHeight) / 2 + dy;
    switch (placement) {
      case 0:
        surface.SetPrintPosition(left - textWidth - 90 + dx, top + 60 + dy);
        break;
      case 1:
        surface.SetPrintPosition(left + 30 + dx, above);
        break;
      case 2:
        surface.SetPrintPosition(left + width + 30 + dx, top + 60 + dy);
        break;
      case 3:
        surface.SetPrintPosition(left + width / 2 - textWidth / 2 + dx, above);
        break;
      case 4:
        surface.SetPrintPosition(left + 30 + dx, below);
        break;
      case 5:
        surface.SetPrintPosition(left + width - textWidth + dx, below);
        break;
      case 6:
        surface.SetPrintPosition(left - textWidth - 90 + dx, centredY);
        break;
      case 7:
        surface.SetPrintPosition(left + width + 30 + dx, centredY);
        break;
      default:
        break;
    }
    surface.Print(text);
  });
}

}  // namespace ampora
