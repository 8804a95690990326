#pragma once

#include <cstdint>
#include <string>

#include "live/level_fader.h"
#include "tuner/tuner_analysis.h"

// What the live path shows and reads through the main window's controls. The window
// implements it over its widgets; without a window, a model keeps the same state
// (live/model_view.h). The live path
// calls it only from its own entry points, on the UI thread; no call lets events run.
//
// Thread: UI thread.

namespace ampora {

class LiveView {
 public:
  virtual ~LiveView() = default;

  // The level faders: kInFader (always linked) and kOutFader, range kFaderMinDb..kFaderMaxDb.
  // They must exist as long as the live path.
  virtual LevelFader& Fader(int fader) = 0;

  // TextNum: the number of the bank last selected or stored ("01".."12").
  virtual void SetTextNum(const std::string& text) = 0;
  // TextBank: the bank name, which the user may edit before storing.
  virtual std::string TextBank() const = 0;
  virtual void SetTextBank(const std::string& text) = 0;

  // FXButton(effect): its upper half always shown active, its lower half the on/off state;
  // then redrawn.
  virtual void SetEffectButton(int effect, bool on) = 0;

  // The one-line status display; empty text clears it.
  virtual void ShowStatus(const std::string& text) = 0;

  // The transport bar: the caption of button 0 ("Start" or "Reset", redrawn) and the
  // mode button shown selected (1 bypass, 2 tuner, -1 neither).
  virtual void SetStartCaption(const std::string& caption) = 0;
  virtual void SetSelectedButton(int32_t button) = 0;

  // The tuner display, visible exactly in tuner mode; drawing one analysis replaces the
  // previous one.
  virtual void SetTunerShown(bool shown) = 0;
  virtual void DrawTuner(const TunerReading& reading) = 0;

  // The effect editor: the effect it edits, -1 while it is closed; closing it; opening it
  // (modeless) for an effect.
  virtual int EditedEffect() const = 0;
  virtual void CloseEffectEditor() = 0;
  virtual void OpenEffectEditor(int effect) = 0;
  // A bank was loaded into the working setting: an open editor shows the loaded values of
  // its effect (and writes nothing, or its next slider move would put the old ones back).
  virtual void EffectSettingsLoaded() = 0;
};

}  // namespace ampora
