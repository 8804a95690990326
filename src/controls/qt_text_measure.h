#pragma once

#include <QFont>
#include <QFontMetrics>

#include "util/fit_text.h"

// Text widths in twips for a font, as drawn on the screen.
//
// Thread: UI thread only.

namespace ampora {

class QtTextMeasure : public TextMeasure {
 public:
  explicit QtTextMeasure(const QFont& font) : metrics_(font) {}
  int32_t TextWidthTwips(const std::string& text) const override;

 private:
  QFontMetrics metrics_;
};

}  // namespace ampora
