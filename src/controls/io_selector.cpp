#include "controls/io_selector.h"

#include "controls/color.h"
#include "controls/mouse_codes.h"
#include "controls/ui_fonts.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

namespace {

struct SelectorScheme {
  std::array<RgbParts, 2> on;  // by half id
  RgbParts off;
  int32_t captionDarker;
  int32_t edgeDarker;
  int32_t shading;  // how much darker the bottom of a half is than its top
};

constexpr std::array<SelectorScheme, 2> kSchemes = {{
    {{{{225, 255, 210}, {255, 225, 210}}}, {220, 220, 220}, 120, 80, 80},
    {{{{180, 220, 180}, {230, 190, 180}}}, {220, 220, 220}, 150, 120, 110},
}};

Color Offset(const RgbParts& c, int32_t amount) {
  return MakeRGB(c.red + amount, c.green + amount, c.blue + amount);
}

}  // namespace

UC_IOSelector::UC_IOSelector(QWidget* parent) : PictureBox(parent) {
  setMouseTracking(true);
}

void UC_IOSelector::Init() {
  ApplyUiFont(&Picture(), -2, {}, fontSize_);
}

void UC_IOSelector::SetText(int32_t id, const std::string& text) {
  if (id == 0 || id == 1) texts_[static_cast<size_t>(id)] = text;
}

void UC_IOSelector::SetState(int32_t id, int32_t value) {
  if (id == 0 || id == 1) states_[static_cast<size_t>(id)] = value;
}

void UC_IOSelector::CopySettingsFrom(const UC_IOSelector& source) {
  texts_ = source.texts_;
  states_ = source.states_;
  colorType_ = source.colorType_;
  fontSize_ = source.fontSize_;
  Picture() = source.Picture();
  update();
}

void UC_IOSelector::DrawAll() {
  TrapErrors([&] {
    Picture().Clear();
    DrawHalf(0);
    DrawHalf(1);
  });
  update();
}

void UC_IOSelector::DrawHalf(int32_t id) {
  Surface& s = Picture();
  const SelectorScheme& scheme = kSchemes[colorType_ == 1 ? 1 : 0];
  const double t = TwipsFromPixels(1);
  const double width = s.ScaleWidth();
  const double height = s.ScaleHeight();
  const double w = RoundInt32(width);
  const double half = RoundInt32(height / 2);
  const double top = RoundInt32(height / 2 * id);
  const RgbParts base =
      states_[static_cast<size_t>(id)] == 1 ? scheme.on[static_cast<size_t>(id)] : scheme.off;
  const double step = scheme.shading / (half / t);

  const int32_t rows = DivInt32(RoundInt32(height / t), 2);
  for (int32_t j = 0; j <= rows; ++j) {
    const Color row = MakeRGB(RoundInt32(base.red - step * j), RoundInt32(base.green - step * j),
                              RoundInt32(base.blue - step * j));
    s.Line(0, top + TwipsFromPixels(j), w, top + TwipsFromPixels(j), row);
  }
  const Color light = Offset(base, 20);
  s.Box(0, top, w, top, light);
  s.Box(0, top, 0, top + half + t, light);
  const Color dark = Offset(base, -scheme.edgeDarker);
  s.Box(0, top + half - t, w, top + half, dark);
  s.Box(w - t, top, w, top + half, dark);

  const std::string& text = texts_[static_cast<size_t>(id)];
  if (!text.empty()) {
    s.SetForeColor(Offset(base, -scheme.captionDarker));
    s.SetPrintPosition((width - s.TextWidth(text)) / 2,
                       (id * 0.5 + 0.25) * height - s.TextHeight(text) / 2 - 1);
    s.Print(text);
  }
}

int32_t UC_IOSelector::HalfAt(double pixelY) const {
  return pixelY < height() / 2.0 ? 0 : 1;
}

void UC_IOSelector::mouseReleaseEvent(QMouseEvent* event) {
  emit Clicked(HalfAt(event->position().y()), MouseButtonCode(event->button()),
               ShiftState(event->modifiers()));
}

void UC_IOSelector::mouseMoveEvent(QMouseEvent* event) {
  emit Hover(HalfAt(event->position().y()));
}

}  // namespace ampora
