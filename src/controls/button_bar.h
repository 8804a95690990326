#pragma once

#include <QMouseEvent>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/color.h"
#include "controls/picture_box.h"
#include "controls/surface.h"

// UC_Buttons: a self-drawn row of equal push buttons in one control, each with a caption
// or an 18 x 18 icon, on a face of one of four designs (0 mirror gradient with end pieces,
// 1 pillow, 2 circular knob, 3 textured). It reports presses, clicks, right clicks,
// modified clicks and hovering by button index.
//
// Hosts: set the count (or a preset), captions or icons, design, fonts and colours, then
// Init; afterwards the per-button operations redraw what they change.
//
// Thread: UI thread.

namespace ampora {

class UC_Buttons : public PictureBox {
  Q_OBJECT

 public:
  explicit UC_Buttons(QWidget* parent = nullptr);

  // Recreates the per-button tables (captions empty, no icons); 0 or less counts as 1.
  void SetNumButtons(int32_t count);
  int32_t NumButtons() const { return static_cast<int32_t>(buttons_.size()); }
  // Width of the end pieces in pixels for the next Init; -1 lets Init choose.
  void SetMimiWidth(int32_t pixels) { mimiWidth_ = pixels; }
  // 1 also makes the emphasis colour white.
  void SetDesignType(int32_t design);
  const Surface& PiclibHdc() const { return icons_; }
  // The permanent (temporary = 0) or temporary disable flag; 0 outside the bar.
  int32_t GetButtonDisable(int32_t index, int32_t temporary = 0) const;
  void SetNoGrayAtDisabled(int32_t value) { noGrayAtDisabled_ = value; }
  void SetToolTip(const std::string& text);
  void SetDisable3D(int32_t value) { disable3D_ = value; }
  void SetFontSize(float size);
  void SetFontFace(const std::string& face);
  void SetFontBold(bool bold);
  void SetSelectedColor(Color color);
  int16_t SelectedButton() const { return selectedButton_; }
  // Stores the index and redraws the previous and the new selected button.
  void SetSelectedButton(int16_t index);
  std::string GetButtonChar(int32_t index) const;
  // Where button index lies in the bar, in pixels, as laid out by the last Init; empty
  // outside the bar.
  QRect ButtonRect(int32_t index) const;
  int32_t GetButtonOn(int32_t index) const;

  // Lays out and draws the whole bar: end piece, a dark line, the buttons edge to edge,
  // end piece, a dark column.
  void Init();
  void DrawAll();
  // state 0 normal, 1 pressed (one pixel lower), 2 highlighted.
  void DrawButton(int32_t index, int32_t state);
  void SetButtonState(int32_t index, int32_t state);
  void SetButtonDisable(int32_t index, int32_t value, int32_t redraw = 0, int32_t temporary = 0);
  // Redraws only the buttons without an alternate icon.
  void SetButtonDisableAll(int32_t value, int32_t temporary = 0);
  // Alternate icon, shown while pressed or highlighted; clears the caption.
  void SetPicIndexa(int32_t index, int32_t icon);
  // Normal icon; clears the caption.
  void SetPicIndexn(int32_t index, int32_t icon);
  // Makes the button a caption button; centres the caption again once laid out.
  void SetButtonChar(int32_t index, const std::string& text);
  void SetButtonCharNum();
  void SetButtonOn(int32_t index, int32_t value, int32_t redraw = 0);
  void SetButtonsMCI();
  void SetButtonsPCXplay();
  void SetButtonsEditorCtrl();
  void SetButtonsEditorPlay();
  // An OK/Cancel pair (Cancel first unless `first` is set), 2400 x 330 twips unless
  // keepSize is set, then Init.
  void SetOKCancel(int32_t first = 0, int32_t keepSize = 0, int32_t design = 1);

 signals:
  void ButtonClicked(int16_t ClickedIndex);
  void RightClicked(int16_t ClickedIndex);
  void ShiftClicked(int16_t ClickedIndex, int16_t Shift);
  void ButtonDown(int16_t ClickedIndex);
  void Hover(int16_t pButtonIndex);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  struct Button {
    int32_t x = 0;
    int32_t captionY = 0;
    int32_t captionX = 0;
    int32_t disabled = 0;
    int32_t temporarilyDisabled = 0;
    int32_t alternateIcon = -1;
    int32_t normalIcon = -1;
    int32_t hasAlternate = 0;
    std::string caption;
    int32_t on = 0;

    bool IsCaptionButton() const { return alternateIcon == -1 && normalIcon == -1; }
    bool IsDisabled() const { return disabled != 0 || temporarilyDisabled != 0; }
  };

  bool Valid(int32_t index) const { return index >= 0 && index < NumButtons(); }
  void CentreCaption(int32_t index);
  void DrawCaption(int32_t index, int32_t offset, bool highlight);
  void DrawIcon(int32_t index, int32_t offset, bool highlight);
  void TintIcons();
  void SetIconPreset(const std::vector<int32_t>& normal, const std::vector<int32_t>& alternate,
                     int32_t hasAlternate);
  void PressAt(int32_t pixelX, bool leftButton);
  int16_t HitTest(int32_t pixelX) const;

  std::vector<Button> buttons_;
  Surface face_;
  Surface icons_;
  int32_t buttonWidth_ = 0;
  int32_t buttonHeight_ = 0;
  bool laidOut_ = false;
  int16_t lastHovered_ = 0;
  int32_t pressX_ = 0;
  int16_t pressedIndex_ = -1;
  int32_t designType_ = 0;
  int32_t mimiWidth_ = -1;
  bool iconsTinted_ = false;
  Color selectedColor_ = Rgb(0, 208, 0);
  Color darkSelectedColor_ = Rgb(0, 160, 0);
  int32_t disable3D_ = 1;
  int16_t selectedButton_ = -1;
  int32_t noGrayAtDisabled_ = 0;
  float fontSize_ = 9;
  std::string fontFace_;
  bool fontBold_ = false;
};

}  // namespace ampora
