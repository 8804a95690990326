#include "windows/effect_editor.h"

#include <QGuiApplication>
#include <QScreen>
#include <charconv>
#include <cstdint>
#include <utility>

#include "controls/control_copy.h"
#include "controls/language_mode.h"
#include "controls/paint_surface.h"
#include "controls/print_label.h"
#include "controls/twips_geometry.h"
#include "controls/ui_fonts.h"
#include "effects/effect_catalogue.h"
#include "effects/effect_chain.h"
#include "live/window_placement.h"
#include "util/error_trap.h"
#include "util/twips.h"
#include "util/ui_text.h"
#include "windows/placed_qt_window.h"

namespace ampora {

namespace {

// The designed layout, in twips.
constexpr double kSliderLeft = 90;
constexpr double kSliderTop = 270;
constexpr double kSliderWidth = 510;
constexpr double kSliderHeight = 4125;
constexpr double kPanelTop = 4425;
constexpr double kPanelWidth = 495;
constexpr double kPanelHeight = 255;
constexpr double kCloseTop = 4350;
constexpr double kCloseWidth = 975;
constexpr double kCloseHeight = 330;
constexpr double kClientHeight = 4785;
// Between two sliders: the sixteen equaliser sliders stand closer.
constexpr double kSliderGap = 210;
constexpr double kEqSliderGap = 45;
constexpr double kCloseGap = 60;
// Air right of the close button, in pixels.
constexpr int32_t kRightMarginPx = 3;

constexpr int32_t kBackgroundStyle = 14;  // the textured background
constexpr int32_t kPanelColorSet = 1;     // blue-grey text on a dark gradient
constexpr int32_t kLabelAboveCentred = 3;

// The placement keys are "WindowLeft", "WindowTop" and "WindowState" with this suffix.
constexpr char kPlacementSuffix[] = "FX";

const EffectSpec& SpecOf(int effect) {
  return kEffectCatalogue.at(static_cast<size_t>(effect));
}

}  // namespace

EffectEditorLinks EditorLinksOf(EffectChain& chain, const Surface& knobA, const Surface& knobB) {
  return {&chain.FxParam, [&chain](int effect) { chain.ApplyEffectParams(effect); }, &knobA,
          &knobB};
}

FrmFX::FrmFX(const EffectEditorLinks& links, int effect) : links_(links), effect_(effect) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromUtf8(SpecOf(effect).name.data(),
                                   static_cast<qsizetype>(SpecOf(effect).name.size())));
  if (ExplicitUiFont == 1) ApplyUiFont(this, -2);
  BuildControls();
  LayOut();
  for (int k = 0; k < SliderCount(); ++k) ShowParam(k);
  RepaintBackground();
}

void FrmFX::BuildControls() {
  auto* firstSlider = new UC_Fader(this);
  MoveTwips(*firstSlider, kSliderLeft, kSliderTop, kSliderWidth, kSliderHeight);
  firstSlider->SetKnobPicA(links_.knobA);
  firstSlider->SetKnobPicB(links_.knobB);
  firstSlider->LockLinked();
  auto* firstPanel = new UC_TextPicture(this);
  MoveTwips(*firstPanel, kSliderLeft, kPanelTop, kPanelWidth, kPanelHeight);
  firstPanel->AddStdColorSet(kPanelColorSet);
  firstPanel->AddTextSpace();
  sliders_.push_back(firstSlider);
  panels_.push_back(firstPanel);
  for (int k = 1; k < SpecOf(effect_).paramCount; ++k) {
    sliders_.push_back(CopyControl(*firstSlider));
    panels_.push_back(CopyControl(*firstPanel));
  }

  const ParamSpec* params = SpecOf(effect_).params.data();
  for (int k = 0; k < SliderCount(); ++k) {
    UC_Fader& slider = *sliders_[k];
    slider.SetMin(params[k].min);
    slider.SetMax(params[k].max);
    connect(&slider, &UC_Fader::LevelChanged, this, [this, k] { LevelChanged(k); });
    connect(&slider, &UC_Fader::DblClicked, this, [this, k] { DblClicked(k); });
  }

  closeButton_ = new UC_Buttons(this);
  closeButton_->SetButtonChar(0, "Close");
  connect(closeButton_, &UC_Buttons::ButtonClicked, this, [this] { close(); });
}

void FrmFX::LayOut() {
  const double gap = effect_ == kGraphicEq ? kEqSliderGap : kSliderGap;
  for (int k = 1; k < SliderCount(); ++k) {
    const UC_Fader& previous = *sliders_[k - 1];
    SetTwipsLeft(*sliders_[k], TwipsLeft(previous) + TwipsWidth(previous) + gap);
    SetTwipsLeft(*panels_[k], TwipsLeft(*sliders_[k]));
  }
  for (int k = 0; k < SliderCount(); ++k) {
    sliders_[k]->show();
    panels_[k]->show();
    panels_[k]->Init();
    sliders_[k]->Init();
  }

  const UC_Fader& last = *sliders_.back();
  MoveTwips(*closeButton_, TwipsLeft(last) + TwipsWidth(last) + kCloseGap, kCloseTop, kCloseWidth,
            kCloseHeight);
  closeButton_->Init();
  // The designed client area; the window system adds its frame around it.
  TrapErrors([&] {
    const double width =
        TwipsLeft(*closeButton_) + TwipsWidth(*closeButton_) + TwipsFromPixels(kRightMarginPx);
    setFixedSize(PixelsFromTwips(width), PixelsFromTwips(kClientHeight));
  });
}

std::string FrmFX::Label(int k) const {
  return UiText("EffectParameter",
                std::string(SpecOf(effect_).params.at(static_cast<size_t>(k)).label).c_str());
}

void FrmFX::PaintBackground() {
  Surface& background = Background();
  PaintSurface(background, kBackgroundStyle);
  for (int k = 0; k < SliderCount(); ++k) {
    PrintLabel(background, *sliders_[k], Label(k), kLabelAboveCentred);
  }
}

void FrmFX::Open() {
  // Where a new window goes the first time: the middle of the screen.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
  PlacedQtWindow placed(*this);
  RestoreWindowPlacement(placed, kPlacementSuffix, 1, 1, 0);
  show();
  initialised_ = true;
}

void FrmFX::ShowParams() {
  for (int k = 0; k < SliderCount(); ++k) ShowParam(k);
}

void FrmFX::ShowParam(int k) {
  // A slider the user holds keeps its place; the panel shows what the slider shows.
  sliders_[k]->SetValueL((*links_.fxParam)[FxIndex(effect_, k + 1)]);
  panels_[k]->DispMes(0, std::to_string(sliders_[k]->ValueL()));
}

void FrmFX::LevelChanged(int k) {
  panels_[k]->DispMes(0, std::to_string(sliders_[k]->ValueL()));
  if (!initialised_) return;
  TrapErrors([&] {
    // Every parameter the panels show, not only the moved one: the effect is recomputed
    // from all of its rows.
    FxParamTable& fx = *links_.fxParam;
    for (int i = 0; i < SliderCount(); ++i) {
      const std::string text = panels_[i]->TextMes(0);
      int32_t value = 0;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (text.empty() || error != std::errc() || end != text.data() + text.size()) continue;
      fx[FxIndex(effect_, i + 1)] = value;
    }
    links_.applyEffectParams(effect_);
  });
}

void FrmFX::DblClicked(int k) {
  if (effect_ != kGraphicEq) return;
  // Bands back to 0 dB, the level to 100 %: the equaliser's defaults.
  sliders_[k]->SetValueL(SpecOf(effect_).params.at(static_cast<size_t>(k)).defaultValue);
  LevelChanged(k);
}

void FrmFX::closeEvent(QCloseEvent* event) {
  // A minimised or maximised window keeps the position it had in normal state.
  const PlacedQtWindow placed(*this);
  SaveWindowPlacement(placed, kPlacementSuffix, 1, 0);
  initialised_ = false;
  emit Unloaded();
  PaintedWindow::closeEvent(event);
}

EffectEditor::EffectEditor(EffectEditorLinks links) : links_(std::move(links)) {}

EffectEditor::~EffectEditor() {
  FrmFX* window = window_;
  Close();
  delete window;
}

int EffectEditor::EditedEffect() const {
  return window_ != nullptr ? window_->Effect() : -1;
}

void EffectEditor::Open(int effect) {
  if (effect < 0 || effect >= kEffectCount) return;
  Close();
  auto* window = new FrmFX(links_, effect);
  window_ = window;
  QObject::connect(window, &FrmFX::Unloaded, window, [this] { window_ = nullptr; });
  window->Open();
}

void EffectEditor::Close() {
  if (window_ != nullptr) window_->close();
}

void EffectEditor::SettingsLoaded() {
  if (window_ != nullptr) window_->ShowParams();
}

}  // namespace ampora
