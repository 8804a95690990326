#include "windows/config_dialog.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "audio/block_layout.h"
#include "audio/choice_list.h"
#include "controls/paint_surface.h"
#include "controls/print_label.h"
#include "controls/twips_geometry.h"
#include "controls/ui_fonts.h"
#include "live/live_path.h"
#include "settings/setting_number.h"
#include "util/error_trap.h"
#include "util/twips.h"
#include "util/ui_text.h"
#include "windows/control_placement.h"

namespace ampora {

namespace {

// The client area and the designed controls, in twips.
constexpr double kClientWidth = 5595, kClientHeight = 3660;
constexpr double kControlsLeft = 1875;
constexpr double kComboDevTop = 90, kComboDevWidth = 3615, kComboHeight = 300;
constexpr double kTextMSTop = 810, kTextMSWidth = 945, kTextMSHeight = 270;
constexpr double kCheckTop = 1995, kCheckWidth = 1200, kCheckHeight = 255;
constexpr double kComboMidiChTop = 2670, kComboMidiChWidth = 870;
constexpr double kButtonsLeft = 3075, kButtonsTop = 3210, kButtonsWidth = 2400,
                 kButtonsHeight = 330;
// The MIDI check box sits this many pixels below the last time box.
constexpr int32_t kCheckGapPixels = 8;
constexpr int32_t kChannelCount = 16;
constexpr int16_t kOkButton = 1;

constexpr char kCheckUseMidiCaption[] = UI_TEXT_NOOP("ConfigDialog", "MIDIコントローラ使用");
constexpr const char* kDeviceLabels[] = {UI_TEXT_NOOP("ConfigDialog", "入力デバイス"),
                                         UI_TEXT_NOOP("ConfigDialog", "出力デバイス"),
                                         UI_TEXT_NOOP("ConfigDialog", "MIDI入力デバイス")};
constexpr const char* kTimeLabels[] = {UI_TEXT_NOOP("ConfigDialog", "バッファ長"),
                                       UI_TEXT_NOOP("ConfigDialog", "遅延最小"),
                                       UI_TEXT_NOOP("ConfigDialog", "遅延最長")};
constexpr char kChannelLabel[] = UI_TEXT_NOOP("ConfigDialog", "MIDI入力Ch");
constexpr char kUnitLabel[] = "ms";

// The dialog's client: the painted background under the controls.
class ConfClient final : public PaintedWindow {
 public:
  ConfClient(QWidget* parent, std::function<void(Surface&)> paint)
      : PaintedWindow(parent), paint_(std::move(paint)) {}

 protected:
  void PaintBackground() override { paint_(Background()); }

 private:
  std::function<void(Surface&)> paint_;
};

// A combo box filled by the device catalogue.
class ComboChoices final : public ChoiceList {
 public:
  explicit ComboChoices(QComboBox& box) : box_(box) {}
  void Clear() override { box_.clear(); }
  void AddItem(const std::string& text) override { box_.addItem(QString::fromStdString(text)); }
  int32_t ItemCount() const override { return box_.count(); }
  std::string ItemText(int32_t index) const override { return box_.itemText(index).toStdString(); }
  void SetSelectedIndex(int32_t index) override { box_.setCurrentIndex(index); }

 private:
  QComboBox& box_;
};

// Times show with one decimal: 7 as "7.0".
QString TimeText(float ms) {
  return QString::number(static_cast<double>(ms), 'f', 1);
}

// The number a time box holds. Digits typed in full width, as a Japanese input method
// gives them ("１０．５"), count as the same digits.
std::optional<float> TimeIn(const QLineEdit& box) {
  const QString text = box.text().normalized(QString::NormalizationForm_KC);
  return ParseSettingNumber<float>(text.toStdString());
}

}  // namespace

ConfigTargets ConfigTargetsOf(LivePath& live) {
  StreamEngine& engine = live.Engine();
  return {live.WaveInChoice(), live.WaveOutChoice(), engine.BufferMS,
          engine.DelayMinMS,   engine.DelayMaxMS,    live.MidiInChoice(),
          live.MidiCh,         live.UseMIDIF,        live.TunerA4};
}

FrmConf::FrmConf(QWidget* owner, const ConfigTargets& targets) : QDialog(owner), targets_(targets) {
  setWindowTitle(QString::fromStdString(UiText("ConfigDialog", kConfigCaption)));
  client_ = new ConfClient(this, [this](Surface& background) { PaintClient(background); });
  MoveTwips(*client_, 0, 0, kClientWidth, kClientHeight);
  setFixedSize(client_->size());

  comboDev_.push_back(new QComboBox(client_));
  MoveTwips(*comboDev_[0], kControlsLeft, kComboDevTop, kComboDevWidth, kComboHeight);
  textMS_.push_back(new QLineEdit(client_));
  MoveTwips(*textMS_[0], kControlsLeft, kTextMSTop, kTextMSWidth, kTextMSHeight);
  checkUseMidi_ = new UC_Check(client_);
  MoveTwips(*checkUseMidi_, kControlsLeft, kCheckTop, kCheckWidth, kCheckHeight);
  comboMidiCh_ = new QComboBox(client_);
  MoveTwips(*comboMidiCh_, kControlsLeft, kComboMidiChTop, kComboMidiChWidth, kComboHeight);
  okCancelButtons_ = new UC_Buttons(client_);
  MoveTwips(*okCancelButtons_, kButtonsLeft, kButtonsTop, kButtonsWidth, kButtonsHeight);

  connect(checkUseMidi_, &UC_Check::Click, this, &FrmConf::CheckUseMidiClick);
  connect(okCancelButtons_, &UC_Buttons::ButtonClicked, this, &FrmConf::OKCancelButtonsClicked);
  Load();
}

void FrmConf::Load() {
  if (parentWidget() != nullptr) setWindowIcon(parentWidget()->window()->windowIcon());
  ApplyUiFont(this, -2);
  ApplyUiFont(client_, -2);
  ApplyUiFont(comboDev_[0], -2);
  ApplyUiFont(comboMidiCh_, -2);
  ApplyUiFont(textMS_[0], -2);

  // Top to bottom: input device, output device, buffer length, lag minimum and maximum,
  // the MIDI check box, MIDI input device, MIDI channel; each control keeps the Left of
  // the one above it.
  AddArrayControl(comboDev_, 1, kPlaceBelow, true, true, kTwoPixelGap);
  AddArrayControl(comboDev_, 2, kPlaceBelow, true, true, kTwoPixelGap);
  PlaceControl(*textMS_[0], *comboDev_[1], kPlaceBelow);
  AddArrayControl(textMS_, 1, kPlaceBelow, true, true, kTwoPixelGap);
  AddArrayControl(textMS_, 2, kPlaceBelow, true, true, kTwoPixelGap);
  PlaceControl(*checkUseMidi_, *textMS_[2], kPlaceBelow, TwipsFromPixels(kCheckGapPixels));
  PlaceControl(*comboDev_[2], *checkUseMidi_, kPlaceBelow);
  PlaceControl(*comboMidiCh_, *comboDev_[2], kPlaceBelow);
  referencePitch_ = std::make_unique<ReferencePitchField>(*textMS_[2], *comboMidiCh_);

  okCancelButtons_->SetOKCancel();

  const ConfigTargets& t = targets_;
  ComboChoices waveIn(*comboDev_[0]);
  t.waveIn.ListDevices(waveIn);
  ComboChoices waveOut(*comboDev_[1]);
  t.waveOut.ListDevices(waveOut);
  ComboChoices midiIn(*comboDev_[2]);
  t.midiIn.ListDevices(midiIn);

  textMS_[0]->setText(TimeText(t.BufferMS));
  textMS_[1]->setText(TimeText(t.DelayMinMS));
  textMS_[2]->setText(TimeText(t.DelayMaxMS));
  referencePitch_->Show(t.TunerA4);

  for (int32_t channel = 1; channel <= kChannelCount; ++channel) {
    comboMidiCh_->addItem(QString::number(channel));
  }
  comboMidiCh_->addItem(QString::fromUtf8(kAllChannelsItem));
  // A channel outside 0..15 has no item of its own: it shows, and is kept, as "all".
  const bool oneChannel = t.MidiCh >= 0 && t.MidiCh < kChannelCount;
  comboMidiCh_->setCurrentIndex(oneChannel ? t.MidiCh : kChannelCount);

  // The check box copies the background under it: it is set up once that is painted.
  client_->RepaintBackground();
  checkUseMidi_->SetBGPic(TwipsLeft(*checkUseMidi_), TwipsTop(*checkUseMidi_),
                          &client_->Background());
  checkUseMidi_->SetFontSize(9);
  checkUseMidi_->SetSizeRate(1);
  checkUseMidi_->SetCaption(UiText("ConfigDialog", kCheckUseMidiCaption));
  checkUseMidi_->SetValue(t.UseMIDIF);
  CheckUseMidiClick();
}

void FrmConf::PaintClient(Surface& background) const {
  PaintSurface(background, 14);
  for (size_t i = 0; i < comboDev_.size(); ++i) {
    PrintLabel(background, *comboDev_[i], UiText("ConfigDialog", kDeviceLabels[i]), 0);
  }
  PrintLabel(background, *comboMidiCh_, UiText("ConfigDialog", kChannelLabel), 0);
  if (referencePitch_) referencePitch_->PrintLabels(background);
  for (size_t i = 0; i < textMS_.size(); ++i) {
    PrintLabel(background, *textMS_[i], UiText("ConfigDialog", kTimeLabels[i]), 0);
    PrintLabel(background, *textMS_[i], kUnitLabel, 2);
  }
}

void FrmConf::CheckUseMidiClick() {
  targets_.UseMIDIF = checkUseMidi_->Value();
  const bool midi = targets_.UseMIDIF != 0;
  comboDev_[2]->setEnabled(midi);
  comboMidiCh_->setEnabled(midi);
}

void FrmConf::OKCancelButtonsClicked(int16_t index) {
  if (index != kOkButton) {
    reject();
    return;
  }
  // An error keeps what was taken before it; the dialog closes all the same.
  TrapErrors([&] { TakeChoices(); });
  accept();
}

void FrmConf::TakeChoices() {
  const ConfigTargets& t = targets_;
  t.waveIn.Choose(comboDev_[0]->currentIndex());
  t.waveOut.Choose(comboDev_[1]->currentIndex());
  if (const std::optional<float> ms = TimeIn(*textMS_[0])) {
    t.BufferMS = ClampSetting(*ms, kBufferMsMin, kBufferMsMax, t.BufferMS);
  }
  if (const std::optional<float> ms = TimeIn(*textMS_[1])) t.DelayMinMS = *ms;
  if (const std::optional<float> ms = TimeIn(*textMS_[2])) t.DelayMaxMS = *ms;
  // Each bound on its own: the minimum is not compared with the maximum.
  t.DelayMinMS = ClampSetting(t.DelayMinMS, kDelayMinMsMin, kDelayMinMsMax, kDelayMinMsDefault);
  t.DelayMaxMS = ClampSetting(t.DelayMaxMS, kDelayMaxMsMin, kDelayMaxMsMax, kDelayMaxMsDefault);
  t.midiIn.Choose(comboDev_[2]->currentIndex());
  const int32_t channel = comboMidiCh_->currentIndex();
  t.MidiCh = channel >= 0 && channel < kChannelCount ? channel : -1;
  t.UseMIDIF = checkUseMidi_->Value();
  t.TunerA4 = referencePitch_->Typed(t.TunerA4);
}

int ShowConfigDialog(QWidget& owner, LivePath& live) {
  live.RescanDevices();
  FrmConf dialog(&owner, ConfigTargetsOf(live));
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

}  // namespace ampora
