#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/device_choice.h"
#include "controls/button_bar.h"
#include "controls/check_box.h"
#include "controls/painted_window.h"
#include "util/ui_text.h"
#include "windows/reference_pitch_field.h"

// FrmConf: the settings dialog of the main window's "設定(&C)" command. It chooses the
// wave input and output devices, the block length and the window of the playback lag,
// whether a MIDI controller is used, its input device and its channel, and the tuner's
// reference pitch (below the MIDI settings, taken on "OK" like the times, 415..466 Hz).
//
// It edits the live settings in place and writes no file: they reach the settings file at
// shut-down, and the stream uses them from its next start. Every opening builds a new
// dialog from the current values. The MIDI check box takes effect at once (Cancel does
// not undo it); everything else is taken on "OK", the times brought into their ranges
// (buffer 1..30 ms, lag minimum 1..1000, maximum 2..1000, each on its own) and a time
// that is not a number ignored. The devices are the live path's choices (DeviceChoice):
// the lists show the devices as last read with the chosen one selected, and picking
// another device on "OK" makes it the choice.
//
// Thread: UI thread.

namespace ampora {

class LivePath;

// The values the dialog edits, and the device choices it offers.
struct ConfigTargets {
  DeviceChoice& waveIn;
  DeviceChoice& waveOut;
  float& BufferMS;
  float& DelayMinMS;
  float& DelayMaxMS;
  DeviceChoice& midiIn;
  int32_t& MidiCh;  // 0..15, -1 = every channel
  int32_t& UseMIDIF;
  float& TunerA4;  // the tuner's reference pitch, Hz
};

// The live path's settings and device choices.
ConfigTargets ConfigTargetsOf(LivePath& live);

// The texts of the dialog.
inline constexpr char kConfigCaption[] = UI_TEXT_NOOP("ConfigDialog", "設定");
inline constexpr char kAllChannelsItem[] = "all";

class FrmConf : public QDialog {
  Q_OBJECT

 public:
  // Built and loaded from the targets; owner is blocked while the dialog runs (exec).
  FrmConf(QWidget* owner, const ConfigTargets& targets);

  // The controls: device lists 0 input, 1 output, 2 MIDI input; time boxes 0 buffer
  // length, 1 lag minimum, 2 lag maximum; the OK/Cancel pair (1 = "OK", 0 = "キャンセル").
  QComboBox& ComboDev(int32_t index) const { return *comboDev_.at(static_cast<size_t>(index)); }
  QLineEdit& TextMS(int32_t index) const { return *textMS_.at(static_cast<size_t>(index)); }
  UC_Check& CheckUseMidi() const { return *checkUseMidi_; }
  QComboBox& ComboMidiCh() const { return *comboMidiCh_; }
  UC_Buttons& OKCancelButtons() const { return *okCancelButtons_; }
  QLineEdit& TextA4() const { return referencePitch_->Box(); }
  // The painted client area that carries the controls and the labels.
  PaintedWindow& Client() const { return *client_; }

 private:
  void Load();
  void PaintClient(Surface& background) const;
  void CheckUseMidiClick();
  void OKCancelButtonsClicked(int16_t index);
  void TakeChoices();

  ConfigTargets targets_;
  PaintedWindow* client_ = nullptr;
  std::vector<QComboBox*> comboDev_;
  std::vector<QLineEdit*> textMS_;
  UC_Check* checkUseMidi_ = nullptr;
  QComboBox* comboMidiCh_ = nullptr;
  UC_Buttons* okCancelButtons_ = nullptr;
  std::unique_ptr<ReferencePitchField> referencePitch_;
};

// Opens the dialog over owner for the live path's settings, after reading the device
// lists again (LivePath::RescanDevices), and returns when it is closed: 1 after "OK",
// 0 after "キャンセル" or closing the window.
int ShowConfigDialog(QWidget& owner, LivePath& live);

}  // namespace ampora
