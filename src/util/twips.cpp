#include "util/twips.h"

namespace ampora {

int32_t TwipsPerPixel = 15;

}  // namespace ampora
