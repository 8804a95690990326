#include "controls/color_scheme.h"

#include <array>

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

}  // namespace

void SetColorScheme(Surface& surface, int32_t scheme, Color textColor, Color backColor) {
  SchemeColors colors{textColor, backColor};
  if (scheme >= 0 && scheme < static_cast<int32_t>(kSchemes.size())) {
    colors = kSchemes[static_cast<size_t>(scheme)];
  } else if (scheme != -1) {
    return;
  }
  surface.SetBackColor(colors.back);
  surface.SetForeColor(colors.text);
}

}  // namespace ampora
