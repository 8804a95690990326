#pragma once

#include <QMouseEvent>
#include <cstdint>

#include "controls/picture_box.h"
#include "controls/surface.h"

// UC_Fader: a self-drawn vertical fader for a stereo pair of integer values, ValueL and
// ValueR, in Min..Max (Max at the top). Unlinked it shows two pointers side by side, one
// per channel in its own groove; linked, one wide pointer over a centre groove moves both
// values. Pointers are knob images copied onto the panel; the panel's clean background
// is kept in a second surface, so a pointer moves by restoring its column from there and
// copying the knob at the new place.
//
// The panel is the widget's own picture (Picture()); it always has the control's size.
// Geometry is in twips; positions along the travel count down from its top: 0 shows Max,
// the travel shows Min.
//
// Hosts, in this order: knob pictures (SetKnobPicA, SetKnobPicB, or Init creating its
// own), bounds (FaderType before Min and Max), LockLinked or SetLinkDisabled, Init, then
// the values. Value writes never raise events and are ignored while the user holds the
// pointer.
//
// Mouse, as the events arrive: a press of any button starts a press (Clicked) and is
// handled as a move with that button, so a left press already moves the pointer under
// the mouse; moves with the left button held drag; the release ends the press, and a
// right release links or unlinks the pair unless LinkDisabled, which is a level change
// (LevelChanged) as a drag step is; a press also ends when the control loses the mouse
// (its window blocked by a modal one, or deactivated); a double click arrives
// between the first release and the second release, without a press of its own.
// Positions are twips with fractions, taken from the event's exact position.
//
// Thread: UI thread.

namespace ampora {

class UC_Fader : public PictureBox {
  Q_OBJECT

 public:
  explicit UC_Fader(QWidget* parent = nullptr);

  // 0: Max 255, Min 0; 1: Max 1000, Min 0; other values change nothing. No redraw.
  void SetFaderType(int32_t type);
  // Twips; the pointer height becomes value integer-divided by TwipsPerPixel, and the
  // travel follows.
  void SetPointerSize(int32_t twips);
  int32_t PointerSize() const;
  // Store the bound; no clamping of the values, no redraw.
  void SetMax(int32_t value);
  void SetMin(int32_t value);
  int32_t Max() const { return max_; }
  int32_t Min() const { return min_; }
  // A 0 while LinkDisabled is set counts as 1; redraws both pointers.
  void SetLinked(int32_t value);
  int32_t Linked() const { return linked_; }
  // Ignore the mouse and all value writes.
  void SetLocked(int32_t value) { locked_ = value; }
  int32_t Locked() const { return locked_; }
  // Links the pair and stores the flag; with 1 the user cannot unlink. No redraw.
  void SetLinkDisabled(int32_t value);
  // "L" and "R" under the grooves, from the next Init on.
  void SetShowLR(int32_t value) { showLR_ = value; }
  // A press on the panel is in progress.
  bool Clicked() const { return clicked_; }
  void SetValueL(int32_t value);
  void SetValueR(int32_t value);
  int32_t ValueL() const { return valueL_; }
  int32_t ValueR() const { return valueR_; }

  // Builds the clean background and the geometry; with createKnobs set, first paints
  // knob pictures of its own in the given PaintSurface style. Draws no pointer.
  void Init(int32_t createKnobs = 0, int32_t knobStyle = 9);
  // A mono fader: linked for good. No redraw.
  void LockLinked();
  // The pointer of one channel; the host keeps the picture and must keep it alive while
  // the fader may draw.
  void SetKnobPicA(const Surface* picture);
  // The linked pointer.
  void SetKnobPicB(const Surface* picture);
  // Moves one pointer to a position in twips: channel 0 left, 1 right, 2 both linked;
  // any other channel only records the position. Stores the value the position shows.
  void Draw(int32_t position, int32_t channel);

  // The settings of another fader (bounds, link, lock, labels, knobs, geometry and, once
  // it has been initialised, its clean background); values and mouse state start afresh.
  // Knob pictures the source made itself are copied, supplied ones shared.
  void CopySettingsFrom(const UC_Fader& source);

 signals:
  // After every drag step with a changed mouse y, also when the clamped value stays,
  // and after a right release that linked or unlinked the pair.
  void LevelChanged();
  // Every mouse move over the panel that is not a left-button drag.
  void Hovered();
  void DblClicked();
  // pMode 0: a drag step with Alt (value changes in pl and pR) or a plain release with
  // Alt; 1: a release with Alt that toggled the link; 2: a double click after a press
  // with Alt.
  void AltChanged(int32_t pl, int32_t pR, int32_t pMode);
  // Every release on the panel: button (1 left, 2 right, 4 middle), shift state (1 Shift,
  // 2 Ctrl, 4 Alt), position in twips.
  void MouseUp(int16_t Button, int16_t Shift, float X, float Y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void RecomputeRange();
  void RecomputeTravel();
  // The pointer position of a value, nearest(travel / Range x (Max - value)).
  int32_t PositionOf(int32_t value) const;
  void WriteValue(int32_t value, int32_t channel);
  void RedrawPointers();
  void DrawGroove(double xTwips);
  void RestoreColumn(int32_t x, int32_t width);
  void MoveStep(int16_t button, int16_t shift, float y);

  int32_t max_ = 0;
  int32_t min_ = 0;
  int32_t range_ = 0;
  int32_t pointerHeight_ = 0;  // pixels
  int32_t knobAWidth_ = 0;     // pixels
  int32_t knobBWidth_ = 0;     // pixels
  int32_t leftGrooveX_ = 0;    // twips
  int32_t rightGrooveX_ = 0;   // twips
  int32_t linkedGrooveX_ = 0;  // pixels
  int32_t valueL_ = 0;
  int32_t valueR_ = 0;
  bool clicked_ = false;
  int32_t linkDisabled_ = 0;
  int32_t showLR_ = 0;
  int32_t locked_ = 0;
  int32_t linked_ = 0;
  const Surface* knobA_ = nullptr;
  const Surface* knobB_ = nullptr;
  Surface ownKnobA_;
  Surface ownKnobB_;
  Surface cleanBackground_;
  float lastMouseY_ = 0;
  float lastPointerPosition_ = 0;
  float grabOffset_ = 0;
  float pressX_ = 0;
  float trackHeight_ = 0;
  int32_t travel_ = 0;
  bool altAtPress_ = false;
};

}  // namespace ampora
