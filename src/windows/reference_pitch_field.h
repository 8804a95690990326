#pragma once

#include <QLineEdit>
#include <QWidget>

#include "controls/surface.h"
#include "util/ui_text.h"

// The settings dialog's field for the tuner's reference pitch A4, in Hz: a text box like
// the time fields, with its label on the left and its unit on the right. A number typed
// in it is brought into 415 .. 466 Hz; anything else keeps the pitch as it was.
//
// Thread: UI thread.

namespace ampora {

inline constexpr char kReferencePitchLabel[] = UI_TEXT_NOOP("ConfigDialog", "基準ピッチ A4");
inline constexpr char kReferencePitchUnit[] = "Hz";

class ReferencePitchField {
 public:
  // The text box, in the parent of `like` and with its size and font, placed below
  // `below` and after `like` in the tab order.
  ReferencePitchField(const QLineEdit& like, const QWidget& below);

  QLineEdit& Box() const { return *box_; }
  void Show(float a4);
  // The label and the unit, on the dialog's background.
  void PrintLabels(Surface& background) const;
  // The pitch typed, or a4 as it was.
  float Typed(float a4) const;

 private:
  QLineEdit* box_;
};

}  // namespace ampora
