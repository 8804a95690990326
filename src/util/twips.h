#pragma once

#include <cstdint>

namespace ampora {

// The screen's horizontal twips per pixel (1440 / logical DPI, to the nearest integer),
// set once at start-up before any window is laid out; 15 on a standard display.
extern int32_t TwipsPerPixel;

}  // namespace ampora
