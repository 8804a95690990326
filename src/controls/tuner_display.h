#pragma once

#include <cstdint>
#include <string>

#include "controls/color.h"
#include "controls/surface.h"
#include "tuner/tuner_analysis.h"

// The tuner display, shown in tuner mode only. PictureTuner: a row of the 48 pitch labels
// with the found pitch highlighted, and below it the input level bar with its end mark and
// the peak-hold mark. The note picture below it: the played note with its octave, a scale
// of -50 to +50 cents with a needle at the reading and the cents as a number, and the
// reference pitch when it is not 440 Hz. Positions are in twips.
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

inline constexpr double kTunerNoteWidth = 2940;
inline constexpr double kTunerNoteHeight = 570;
// The cents scale: from kTunerScaleLeft (-50 cents) to kTunerScaleRight (+50), and the
// needle's width.
inline constexpr double kTunerScaleLeft = 840;
inline constexpr double kTunerScaleRight = 2840;
inline constexpr double kTunerNeedleWidth = 45;

// Clears the note picture and draws the note of one analysis (only the scale and the
// reference pitch while there is no note).
void DrawTunerNote(Surface& picture, const TunerReading& reading);

// The cents as shown, to a tenth and signed: "+3.2", "-0.4", "0.0".
std::string CentsText(double cents);
// The reference pitch as shown beside the note: "A4 = 442 Hz", "A4 = 440.5 Hz"; empty
// for 440 Hz.
std::string ReferencePitchText(float a4);

}  // namespace ampora
