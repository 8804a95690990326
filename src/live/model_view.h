#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "effects/fx_param.h"
#include "live/live_path.h"
#include "live/live_view.h"

// The live path's view without a screen: what a main window would show, kept as plain
// state for whoever reads it (the headless program, the tests, the settings fuzz). The
// faders are models, the input's link locked as on the window; the bank texts are kept as
// given, and the bank name may be set as a user types one before storing. The effect
// editor is a model too: it "edits" the effect it was last opened for until closed.
//
// Thread: UI thread.

namespace ampora {

class ModelView : public LiveView {
 public:
  LevelFader& Fader(int fader) override { return fader == kInFader ? in_ : out_; }
  const LevelFader& Fader(int fader) const { return fader == kInFader ? in_ : out_; }

  void SetTextNum(const std::string& text) override { textNum_ = text; }
  const std::string& TextNum() const { return textNum_; }
  std::string TextBank() const override { return textBank_; }
  void SetTextBank(const std::string& text) override { textBank_ = text; }

  // An effect outside 0..15 is ignored.
  void SetEffectButton(int effect, bool on) override;
  bool EffectOn(int effect) const;
  const std::array<bool, kEffectCount>& EffectsOn() const { return effectOn_; }

  void ShowStatus(const std::string& text) override { status_ = text; }
  const std::string& Status() const { return status_; }

  void SetStartCaption(const std::string& caption) override { startCaption_ = caption; }
  const std::string& StartCaption() const { return startCaption_; }
  void SetSelectedButton(int32_t button) override { selectedButton_ = button; }
  int32_t SelectedButton() const { return selectedButton_; }

  void SetTunerShown(bool shown) override { tunerShown_ = shown; }
  bool TunerShown() const { return tunerShown_; }
  void DrawTuner(const TunerReading& reading) override { tuner_ = reading; }
  // The last reading drawn; none before the first.
  const std::optional<TunerReading>& Tuner() const { return tuner_; }

  int EditedEffect() const override { return editedEffect_; }
  void CloseEffectEditor() override { editedEffect_ = -1; }
  void OpenEffectEditor(int effect) override { editedEffect_ = effect; }
  void EffectSettingsLoaded() override {}

 private:
  FaderModel in_{true};
  FaderModel out_;
  std::string textNum_;
  std::string textBank_;
  std::array<bool, kEffectCount> effectOn_{};
  std::string status_;
  std::string startCaption_ = kStartCaption;
  int32_t selectedButton_ = -1;
  bool tunerShown_ = false;
  std::optional<TunerReading> tuner_;
  int editedEffect_ = -1;
};

}  // namespace ampora
