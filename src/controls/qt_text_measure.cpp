#include "controls/qt_text_measure.h"

#include <QString>

#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

int32_t QtTextMeasure::TextWidthTwips(const std::string& text) const {
  return TwipsFromPixels(metrics_.horizontalAdvance(QString::fromUtf8(text)));
}

int32_t SurfaceTextMeasure::TextWidthTwips(const std::string& text) const {
  return RoundInt32(surface_.TextWidth(text));
}

}  // namespace ampora
