#pragma once

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/color.h"
#include "controls/picture_box.h"
#include "controls/surface.h"

// UC_TextPicture: a self-drawn panel showing one or more short texts ("text spaces"),
// each in its own font and place, on a plain background with a sunken edge (design 0)
// or on one of several pre-rendered framed gradients (design 1, one per colour set). A
// text space can light up while pressed; presses and releases are reported per text
// space, double clicks and drops are passed on.
//
// The panel is the widget's own picture (Picture()); the colour sets are rendered once
// by Init into an off-screen strip, side by side, and Draw copies the current one.
//
// Hosts, in this order: colour sets (AddStdColorSet, AddColorSet) or a colour scheme
// (SetColor, SetColorEx), text spaces (AddTextSpace), Init, then DispMes for each change.
// Colour sets added after Init are rendered by the next Init.
//
// Mouse, as the events arrive: a press lights the text space under it (when it uses
// clicks) and reports it; the release that follows reports the text space under the
// release point and puts the light out; a double click arrives between the first release
// and the second release. Drops reach the panel only when the host allows them
// (setAcceptDrops). Positions are twips with fractions. Nothing is reported while Locked.
//
// Thread: UI thread.

namespace ampora {

class UC_TextPicture : public PictureBox {
  Q_OBJECT

 public:
  explicit UC_TextPicture(QWidget* parent = nullptr);

  // Renders the colour sets (design 1) or sets the sunken edge (design 0), then draws.
  void Init(int32_t frameWidth = 2, int32_t noGradient = 0);
  // No text spaces, no colour sets, design 0, no strip.
  void ResetMe();
  // Design 0: the colour scheme of that number (-1..6); design 1: that colour set, when
  // it exists. Draws when redraw is set.
  void SetColor(int32_t scheme, int32_t redraw = 0);
  void SetColorEx(Color textColor, Color backColor, int32_t redraw = 0);
  // Built-in colour sets 0..5 (grey, blue, red, green, light grey, brown); other numbers
  // add nothing. Both make the design 1.
  void AddStdColorSet(int32_t set);
  void AddColorSet(Color fontColor, Color color1 = 0, Color color2 = 0, Color color3 = 0);
  // A text space in the UI font of that size, bold and italic (-1 on), face (empty: the
  // UI face); left -1 centres it, top -1 centres it vertically.
  void AddTextSpace(float size = 9, int16_t bold = 0, int16_t italic = 0,
                    const std::string& face = "", int32_t left = -1, int32_t top = -1);
  // Shows a new text in a text space; nothing happens when the text is already shown.
  void DispMes(int32_t index = 0, const std::string& text = "", int32_t dontDraw = 0);
  // Redraws the panel; the text space `lit` is drawn lighter (-1: none).
  void Draw(int32_t lit = -1);

  void SetDesignType(int32_t design) { designType_ = design; }
  int32_t DesignType() const { return designType_; }
  // 1: the text space lights up while pressed.
  void SetUseClick(int32_t index, int32_t value);
  void SetUseDblClick(int32_t value) { useDblClick_ = value; }
  void SetLocked(int32_t value) { locked_ = value; }
  // Design 0 without the sunken edge and with narrower margins.
  void SetIsFlat(int32_t value) { isFlat_ = value; }
  // The stored text; empty for an index outside the list.
  std::string TextMes(int32_t index) const;

  // The colour sets, text spaces and settings of another panel, and its rendered strip.
  void CopySettingsFrom(const UC_TextPicture& source);

 signals:
  // A press (IsDown true) and the release that follows it (false), with the text space
  // under the mouse.
  void MouseUD(int16_t Button, bool IsDown, int32_t pIndex);
  // A double click, when UseDblClick is set.
  void DblClicked();
  // A drop on the panel, passed on as it came: the data, the proposed action, the
  // buttons held, the shift state and the position in twips.
  void OLEDragDrop(const QMimeData* Data, Qt::DropAction Effect, int16_t Button, int16_t Shift,
                   float X, float Y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct TextSpace {
    int32_t font = 0;
    int32_t left = -1;
    int32_t top = -1;
    std::string text;
    int32_t useClick = 0;
  };
  struct ColorSet {
    Color fontColor;
    Color color1;
    Color color2;
    Color color3;
  };

  int32_t HitTest(float x, float y) const;
  void Press(int16_t button, float x, float y);
  bool UsesClick(int32_t index) const;

  std::vector<TextSpace> spaces_;
  std::vector<ColorSet> sets_;
  Surface strip_;
  int32_t designType_ = 0;
  int32_t currentSet_ = 0;
  int32_t locked_ = 0;
  int32_t useDblClick_ = 0;
  int32_t isFlat_ = 0;
  bool pressed_ = false;
  bool litAtPress_ = false;
  int32_t edgeRight_ = 0;
  int32_t edgeBottom_ = 0;
};

}  // namespace ampora
