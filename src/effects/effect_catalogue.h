#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "effects/fx_param.h"
#include "util/ui_text.h"

// The catalogue of the sixteen effects, declared once: name, button code, the stage ring
// the effect writes, and for each parameter its editor label, slider range and default.
// The editor, the bank files, the chain and the tests all read this table.
//
// Thread: constant data; ResetEffectParams runs on the UI thread.

namespace ampora {

// What a parameter's value counts, where that is a unit of measure; the others are
// steps of the effect's own scale (a drive of 0.9 dB per step, a rate of value / 50 Hz).
enum ParamUnit : int { kUnitless, kPercent, kMilliseconds, kDecibels, kSemitones };

// One slider of the editor: row r of an effect is parameter r - 1.
struct ParamSpec {
  std::string_view label;  // UTF-8, shown above the slider
  int32_t min = 0;
  int32_t max = 0;
  int32_t defaultValue = 0;
  ParamUnit unit = kUnitless;
};

inline constexpr int kMaxParams = kParamRows - 1;

struct EffectSpec {
  std::string_view name;    // FxName: editor caption and bank-file keys
  std::string_view button;  // two-letter caption of the main window's button
  int ring = 0;             // stage ring the effect writes
  int paramCount = 0;
  std::array<ParamSpec, kMaxParams> params{};
};

// clang-format off
inline constexpr std::array<EffectSpec, kEffectCount> kEffectCatalogue = {{
    {"Limiter", "LM", 1, 4, {{
        {UI_TEXT_NOOP("EffectParameter", "敷居値"), 1, 100, 50, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "リリース"), 1, 500, 200, kMilliseconds},
        {UI_TEXT_NOOP("EffectParameter", "レシオ"), 0, 100, 0, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 300, 100, kPercent}}}},
    {"Compressor", "CS", 2, 5, {{
        {UI_TEXT_NOOP("EffectParameter", "敷居値"), 1, 100, 50, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "リリース"), 1, 300, 200, kMilliseconds},
        {UI_TEXT_NOOP("EffectParameter", "アタック"), 0, 300, 100, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "サスティン"), 0, 300, 100, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 300, 100, kPercent}}}},
    {"Enhancer", "EH", 3, 2, {{
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 100, 100, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "原音"), 0, 200, 100, kPercent}}}},
    {"OverDrive", "OD", 4, 3, {{
        {UI_TEXT_NOOP("EffectParameter", "ゲイン"), 1, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "トーン"), 0, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 200, 50}}}},
    {"Distortion", "DS", 5, 3, {{
        {UI_TEXT_NOOP("EffectParameter", "ゲイン"), 1, 100, 50, kDecibels},
        {UI_TEXT_NOOP("EffectParameter", "トーン"), 0, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 200, 50}}}},
    {"Fuzz", "FZ", 6, 3, {{
        {UI_TEXT_NOOP("EffectParameter", "ゲイン"), 1, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "トーン"), 0, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 200, 50}}}},
    {"GraphicEQ", "GE", 7, 16, {{
        {"25", -15, 15, 0, kDecibels}, {"40", -15, 15, 0, kDecibels},
        {"63", -15, 15, 0, kDecibels}, {"100", -15, 15, 0, kDecibels},
        {"160", -15, 15, 0, kDecibels}, {"250", -15, 15, 0, kDecibels},
        {"400", -15, 15, 0, kDecibels}, {"630", -15, 15, 0, kDecibels},
        {"1k", -15, 15, 0, kDecibels}, {"1.6k", -15, 15, 0, kDecibels},
        {"2.5k", -15, 15, 0, kDecibels}, {"4k", -15, 15, 0, kDecibels},
        {"6.3k", -15, 15, 0, kDecibels}, {"10k", -15, 15, 0, kDecibels},
        {"16k", -15, 15, 0, kDecibels},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 200, 100, kPercent}}}},
    {"PitchShift", "PS", 8, 4, {{
        {UI_TEXT_NOOP("EffectParameter", "ピッチ"), -12, 12, 0, kSemitones},
        {UI_TEXT_NOOP("EffectParameter", "微調整"), -100, 100, 0},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 200, 100, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "原音"), 0, 200, 0, kPercent}}}},
    {"Tremolo", "TR", 9, 2, {{
        {UI_TEXT_NOOP("EffectParameter", "レート"), 1, 40, 20},
        {UI_TEXT_NOOP("EffectParameter", "デプス"), 10, 100, 30, kPercent}}}},
    {"Flanger", "FL", 10, 3, {{
        {UI_TEXT_NOOP("EffectParameter", "レート"), 1, 100, 20},
        {UI_TEXT_NOOP("EffectParameter", "デプス"), 10, 100, 50, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 100, 100}}}},
    {"Phaser", "PH", 11, 3, {{
        {UI_TEXT_NOOP("EffectParameter", "レート"), 1, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "デプス"), 1, 100, 50, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 100, 100}}}},
    {"Chorus", "CE", 12, 3, {{
        {UI_TEXT_NOOP("EffectParameter", "レート"), 1, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "デプス"), 10, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 100, 100}}}},
    {"Vibrato", "VB", 13, 2, {{
        {UI_TEXT_NOOP("EffectParameter", "レート"), 1, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "デプス"), 10, 100, 50, kPercent}}}},
    {"Echo", "EC", 14, 2, {{
        {UI_TEXT_NOOP("EffectParameter", "遅延"), 1, 2000, 100, kMilliseconds},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 1, 100, 50, kPercent}}}},
    {"Delay", "DD", 15, 4, {{
        {UI_TEXT_NOOP("EffectParameter", "L遅延"), 1, 500, 60, kMilliseconds},
        {UI_TEXT_NOOP("EffectParameter", "R遅延"), 1, 500, 40, kMilliseconds},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 100, 50, kPercent},
        {UI_TEXT_NOOP("EffectParameter", "原音"), 0, 100, 100, kPercent}}}},
    {"Reverb", "RV", 16, 6, {{
        {UI_TEXT_NOOP("EffectParameter", "遅延"), 1, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "Hiカット"), 0, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "Lowカット"), 0, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "ステレオ"), 0, 100, 50},
        {UI_TEXT_NOOP("EffectParameter", "レベル"), 0, 100, 30},
        {UI_TEXT_NOOP("EffectParameter", "原音"), 0, 100, 50, kPercent}}}},
}};
// clang-format on

// The effect names by index ("Limiter" ... "Reverb").
inline constexpr std::array<std::string_view, kEffectCount> FxName = [] {
  std::array<std::string_view, kEffectCount> names{};
  for (int e = 0; e < kEffectCount; ++e) names[e] = kEffectCatalogue[e].name;
  return names;
}();

// The default setting: every effect off, every parameter at its catalogue default, every
// row an effect does not use marked kNoParam. Every bank load starts with it, so keys
// missing from a file leave the defaults in place.
void ResetEffectParams(FxParamTable& fx);

}  // namespace ampora
