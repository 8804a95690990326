#pragma once

#include <cstdint>

namespace ampora {

// 1440 / the primary screen's logical DPI, to the nearest integer (ties to even).
int32_t MeasureTwipsPerPixel();

}  // namespace ampora
