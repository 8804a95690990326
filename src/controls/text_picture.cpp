#include "controls/text_picture.h"

#include <algorithm>
#include <array>

#include "controls/color_scheme.h"
#include "controls/mouse_codes.h"
#include "controls/paint_surface.h"
#include "controls/qt_text_measure.h"
#include "controls/ui_fonts.h"
#include "util/error_trap.h"
#include "util/fit_text.h"
#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

namespace {

struct StdColorSet {
  Color fontColor;
  Color color2;
};

// The built-in colour sets: colour 1 (and the unused colour 3) always black.
constexpr std::array<StdColorSet, 6> kStdColorSets = {{
    {Rgb(144, 144, 144), Rgb(104, 104, 104)},
    {Rgb(176, 176, 208), Rgb(104, 104, 136)},
    {Rgb(208, 176, 176), Rgb(136, 104, 104)},
    {Rgb(176, 208, 176), Rgb(104, 136, 104)},
    {Rgb(224, 224, 224), Rgb(104, 104, 104)},
    {Rgb(224, 176, 144), Rgb(168, 120, 72)},
}};

constexpr int16_t kLeftButton = 1;

}  // namespace

UC_TextPicture::UC_TextPicture(QWidget* parent) : PictureBox(parent) {
  Picture().SetBackColor(kColorBtnFace);
  Picture().SetForeColor(kColorBtnText);
}

void UC_TextPicture::ResetMe() {
  spaces_.clear();
  sets_.clear();
  designType_ = 0;
  currentSet_ = 0;
  strip_ = Surface();
}

void UC_TextPicture::SetColor(int32_t scheme, int32_t redraw) {
  if (designType_ == 0) {
    SetColorScheme(Picture(), scheme);
  } else if (designType_ == 1 && scheme >= 0 && scheme < static_cast<int32_t>(sets_.size())) {
    currentSet_ = scheme;
  }
  if (redraw != 0) Draw(-1);
}

void UC_TextPicture::SetColorEx(Color textColor, Color backColor, int32_t redraw) {
  Picture().SetBackColor(backColor);
  Picture().SetForeColor(textColor);
  if (redraw != 0) Draw(-1);
}

void UC_TextPicture::AddStdColorSet(int32_t set) {
  if (set < 0 || set >= static_cast<int32_t>(kStdColorSets.size())) return;
  const StdColorSet& builtIn = kStdColorSets[static_cast<size_t>(set)];
  AddColorSet(builtIn.fontColor, Rgb(0, 0, 0), builtIn.color2, Rgb(0, 0, 0));
}

void UC_TextPicture::AddColorSet(Color fontColor, Color color1, Color color2, Color color3) {
  designType_ = 1;
  sets_.push_back({fontColor, color1, color2, color3});
}

void UC_TextPicture::AddTextSpace(float size, int16_t bold, int16_t italic, const std::string& face,
                                  int32_t left, int32_t top) {
  TrapErrors([&] {
    Surface& panel = Picture();
    TextSpace space;
    space.font = ApplyUiFont(&panel, -2, {}, size, bold, italic, face);
    space.left = left;
    const double textHeight = panel.TextHeight("漢");
    if (top == -1) {
      // The tall cell of Meiryo leaves its glyphs high: one pixel down centres them.
      const std::string& usedFace = face.empty() ? UiFaceName : face;
      const double centred = (panel.ScaleHeight() - textHeight) / 2 +
                             (usedFace == kMeiryoFace ? TwipsFromPixels(1) : 0);
      space.top = RoundInt32(std::max(centred, 0.0));
    } else {
      const std::vector<UiFontRecord>& cache = UiFontCache();
      const double lineRate = space.font >= 0 && space.font < static_cast<int32_t>(cache.size())
                                  ? cache[static_cast<size_t>(space.font)].lineRate
                                  : 1.0;
      space.top = RoundInt32(top - (1 - lineRate) * textHeight / 2 + TwipsFromPixels(1));
    }
    spaces_.push_back(space);
  });
}

void UC_TextPicture::Init(int32_t frameWidth, int32_t noGradient) {
  TrapErrors([&] {
    Surface& panel = Picture();
    const int32_t width = panel.WidthPx();
    const int32_t height = panel.HeightPx();
    if (designType_ == 1) {
      strip_.Resize(MulInt32(static_cast<int32_t>(sets_.size()), width), height);
      for (size_t i = 0; i < sets_.size(); ++i) {
        PaintFramed(panel, sets_[i].color1, sets_[i].color2, noGradient, frameWidth);
        strip_.Copy(static_cast<int32_t>(i) * width, 0, width, height, panel, 0, 0);
      }
    } else if (designType_ == 0) {
      edgeRight_ = width;
      edgeBottom_ = height;
    }
  });
  Draw(-1);
}

void UC_TextPicture::DispMes(int32_t index, const std::string& text, int32_t dontDraw) {
  if (index < 0 || index >= static_cast<int32_t>(spaces_.size())) return;
  TextSpace& space = spaces_[static_cast<size_t>(index)];
  if (space.text == text) return;
  space.text = text;
  if (dontDraw == 0) Draw(-1);
}

void UC_TextPicture::Draw(int32_t lit) {
  TrapErrors([&] {
    Surface& panel = Picture();
    const int32_t width = panel.WidthPx();
    if (designType_ == 1) {
      if (currentSet_ >= 0 && currentSet_ < static_cast<int32_t>(sets_.size())) {
        panel.Copy(0, 0, width, panel.HeightPx(), strip_, MulInt32(currentSet_, width), 0);
        panel.SetForeColor(sets_[static_cast<size_t>(currentSet_)].fontColor);
      }
    } else if (designType_ == 0) {
      panel.Clear();
    }
    const Color base = panel.ForeColor();
    const double margin = TwipsFromPixels(isFlat_ != 0 && designType_ == 0 ? 2 : 4);
    const SurfaceTextMeasure measure(panel);
    for (size_t i = 0; i < spaces_.size(); ++i) {
      const TextSpace& space = spaces_[i];
      ApplyUiFont(&panel, space.font);
      double x = space.left;
      if (space.left == -1)
        x = std::max((panel.ScaleWidth() - panel.TextWidth(space.text)) / 2, margin);
      if (static_cast<int32_t>(i) == lit) {
        panel.SetForeColor(IsSystemColor(base) ? Rgb(255, 255, 255)
                                               : AdjustColor(base, 30, 30, 30));
      } else if (lit != -1) {
        panel.SetForeColor(base);
      }
      const int32_t room = RoundInt32(panel.ScaleWidth() - x - margin);
      panel.SetPrintPosition(x, space.top);
      panel.Print(FitText(space.text, measure, room, false));
    }
    // The light belongs to this drawing only: the next one starts from the base colour
    // again instead of lighting the light colour further.
    panel.SetForeColor(base);
    if (designType_ == 0 && isFlat_ == 0) panel.DrawSunkenEdge(0, 0, edgeRight_, edgeBottom_);
  });
  update();
}

void UC_TextPicture::SetUseClick(int32_t index, int32_t value) {
  if (index >= 0 && index < static_cast<int32_t>(spaces_.size())) {
    spaces_[static_cast<size_t>(index)].useClick = value;
  }
}

std::string UC_TextPicture::TextMes(int32_t index) const {
  if (index < 0 || index >= static_cast<int32_t>(spaces_.size())) return {};
  return spaces_[static_cast<size_t>(index)].text;
}

void UC_TextPicture::CopySettingsFrom(const UC_TextPicture& source) {
  spaces_ = source.spaces_;
  sets_ = source.sets_;
  strip_ = source.strip_;
  designType_ = source.designType_;
  currentSet_ = source.currentSet_;
  locked_ = source.locked_;
  useDblClick_ = source.useDblClick_;
  isFlat_ = source.isFlat_;
  edgeRight_ = source.edgeRight_;
  edgeBottom_ = source.edgeBottom_;
  Picture() = source.Picture();
  update();
}

bool UC_TextPicture::UsesClick(int32_t index) const {
  return index >= 0 && index < static_cast<int32_t>(spaces_.size()) &&
         spaces_[static_cast<size_t>(index)].useClick == 1;
}

int32_t UC_TextPicture::HitTest(float x, float y) const {
  // The space whose top-left corner is the lowest and rightmost one above and left of
  // the point; a centred space never beats the first.
  int32_t answer = 0;
  int32_t bestLeft = 0;
  int32_t bestTop = 0;
  for (size_t i = 0; i < spaces_.size(); ++i) {
    const TextSpace& space = spaces_[i];
    const bool inside = (space.left == -1 || x > space.left) && (space.top == -1 || y > space.top);
    if (inside && space.top >= bestTop && space.left >= bestLeft) {
      answer = static_cast<int32_t>(i);
      bestLeft = space.left;
      bestTop = space.top;
    }
  }
  return answer;
}

void UC_TextPicture::Press(int16_t button, float x, float y) {
  const int32_t index = HitTest(x, y);
  if (UsesClick(index)) Draw(index);
  litAtPress_ = UsesClick(index);
  emit MouseUD(button, true, index);
  pressed_ = true;
}

void UC_TextPicture::mousePressEvent(QMouseEvent* event) {
  if (locked_ != 0) return;
  Press(MouseButtonCode(event->button()), MouseTwipsX(*event), MouseTwipsY(*event));
}

void UC_TextPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_) return;
  pressed_ = false;
  const int32_t index = HitTest(MouseTwipsX(*event), MouseTwipsY(*event));
  // The light of the press goes out wherever the mouse is let go.
  if (litAtPress_ || UsesClick(index)) Draw(-1);
  litAtPress_ = false;
  if (locked_ != 0) return;
  emit MouseUD(MouseButtonCode(event->button()), false, index);
}

void UC_TextPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (locked_ != 0) return;
  if (event->button() != Qt::LeftButton) {
    // Only the left button double-clicks; the others' second press is a press.
    Press(MouseButtonCode(event->button()), MouseTwipsX(*event), MouseTwipsY(*event));
  } else if (useDblClick_ != 0) {
    emit DblClicked();
  } else {
    Press(kLeftButton, 0, 0);
  }
}

void UC_TextPicture::dragEnterEvent(QDragEnterEvent* event) {
  if (locked_ == 0) event->acceptProposedAction();
}

void UC_TextPicture::dropEvent(QDropEvent* event) {
  if (locked_ != 0) return;
  emit OLEDragDrop(event->mimeData(), event->proposedAction(), MouseButtonsHeld(event->buttons()),
                   ShiftState(event->modifiers()),
                   static_cast<float>(TwipsFromPixels(event->position().x())),
                   static_cast<float>(TwipsFromPixels(event->position().y())));
}

}  // namespace ampora
