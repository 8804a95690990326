#pragma once

#include <cstdint>

#include "controls/color.h"
#include "controls/surface.h"
#include "tuner/tuner_analysis.h"

// The tuner display (PictureTuner, shown in tuner mode only): a row of the 48 pitch labels
// with the found pitch highlighted, and below it the input level bar with its end mark and
// the peak-hold mark. Positions are in twips.
//
// Thread: UI thread.

namespace ampora {

inline constexpr double kTunerDisplayWidth = 5895;
// The level bar's full-scale length (peak 32767) and the width of its marks.
inline constexpr double kTunerBarLength = 5000;
inline constexpr double kTunerMarkWidth = 30;
inline constexpr Color kTunerHighlight = Rgb(0, 255, 255);
inline constexpr Color kTunerNormal = Rgb(0, 128, 128);

// Gives the surface the tuner font and returns its size in points: the UI face at the
// largest whole size from 9 down to 5 points at which the row of labels fits
// kTunerDisplayWidth (5 points when none does).
int32_t ApplyTunerFont(Surface& picture);

// The width of the row of 48 labels in the surface's font.
double TunerLabelRowWidth(const Surface& picture);

// Clears the surface and draws one analysis.
void DrawTuner(Surface& picture, const TunerReading& reading);

}  // namespace ampora
