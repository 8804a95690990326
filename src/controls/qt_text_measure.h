#pragma once

#include <QFont>
#include <QFontMetrics>

#include "controls/surface.h"
#include "util/fit_text.h"

// Text widths in twips, for FitText.
//
// Thread: UI thread only.

namespace ampora {

// As a font is drawn on the screen.
class QtTextMeasure : public TextMeasure {
 public:
  explicit QtTextMeasure(const QFont& font) : metrics_(font) {}
  int32_t TextWidthTwips(const std::string& text) const override;

 private:
  QFontMetrics metrics_;
};

// As a surface prints, in its current font and at its resolution. The surface must
// outlive the measure.
class SurfaceTextMeasure : public TextMeasure {
 public:
  explicit SurfaceTextMeasure(const Surface& surface) : surface_(surface) {}
  int32_t TextWidthTwips(const std::string& text) const override;

 private:
  const Surface& surface_;
};

}  // namespace ampora
