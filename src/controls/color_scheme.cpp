#include "controls/color_scheme.h"

#include <QColor>
#include <QPalette>
#include <array>
#include <optional>

#include "util/error_trap.h"

namespace ampora {

namespace {

struct SchemeColors {
  Color text;
  Color back;
};

constexpr std::array<SchemeColors, 7> kSchemes = {{
    {kColorBtnFace, Rgb(0, 0, 0)},
    {Rgb(96, 112, 64), Rgb(241, 255, 213)},
    {Rgb(87, 96, 64), Rgb(197, 202, 166)},
    {Rgb(255, 255, 255), Rgb(255, 0, 0)},
    {Rgb(96, 16, 16), Rgb(208, 176, 176)},
    {Rgb(96, 32, 32), Rgb(144, 112, 112)},
    {Rgb(208, 208, 208), Rgb(48, 48, 48)},
}};

// The colours of a scheme; none for a number outside -1..6.
std::optional<SchemeColors> SchemeFor(int32_t scheme, Color textColor, Color backColor) {
  if (scheme == -1) return SchemeColors{textColor, backColor};
  if (scheme < 0 || scheme >= static_cast<int32_t>(kSchemes.size())) return std::nullopt;
  return kSchemes[static_cast<size_t>(scheme)];
}

QColor ToQColor(Color color) {
  const RgbParts c = SplitRGB(ResolveColor(color));
  return QColor(c.red, c.green, c.blue);
}

}  // namespace

void SetColorScheme(Surface& surface, int32_t scheme, Color textColor, Color backColor) {
  const std::optional<SchemeColors> colors = SchemeFor(scheme, textColor, backColor);
  if (!colors) return;
  TrapErrors([&] {
    surface.SetBackColor(colors->back);
    surface.SetForeColor(colors->text);
  });
}

void SetColorScheme(QWidget& textBox, int32_t scheme, Color textColor, Color backColor) {
  const std::optional<SchemeColors> colors = SchemeFor(scheme, textColor, backColor);
  if (!colors) return;
  TrapErrors([&] {
    QPalette palette = textBox.palette();
    palette.setColor(QPalette::Base, ToQColor(colors->back));
    palette.setColor(QPalette::Text, ToQColor(colors->text));
    textBox.setPalette(palette);
  });
}

}  // namespace ampora
