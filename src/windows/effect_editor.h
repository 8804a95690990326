#pragma once

#include <QCloseEvent>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "controls/button_bar.h"
#include "controls/fader.h"
#include "controls/painted_window.h"
#include "controls/surface.h"
#include "controls/text_picture.h"
#include "effects/fx_param.h"

// The effect editor: a small modeless window without owner that edits the parameters of
// one effect while the sound runs. One slider per parameter (linked for good, the range of
// the catalogue), the value panel under it, its label printed above it, and a "Close"
// button to the right of the last slider. Every slider move writes all of the effect's
// parameters from the panels into the working setting and applies the effect, so the next
// block sounds with them; the effect's on/off row is never written, so an effect that is
// off stays off while it is tuned. A double click on a GraphicEQ slider puts the band back
// to 0 dB, the level to 100.
//
// Placement: the window opens at "WindowLeftFX", "WindowTopFX" (twips; the first time
// centred on the screen, and kept on the screen as the main window is); closing keeps the
// position of a window in normal state and always stores its state ("WindowStateFX"),
// which is not read back: the editor always opens in normal state.
//
// Thread: UI thread.

namespace ampora {

class EffectChain;

// What the editor works on. Everything must outlive the editor.
struct EffectEditorLinks {
  // The working setting, and what recomputes one effect's state from it.
  FxParamTable* fxParam = nullptr;
  std::function<void(int effect)> applyEffectParams;
  // The main window's knob pictures: one channel's pointer and the linked pointer.
  const Surface* knobA = nullptr;
  const Surface* knobB = nullptr;
};

// The links of the live path's chain, with the main window's knob pictures.
EffectEditorLinks EditorLinksOf(EffectChain& chain, const Surface& knobA, const Surface& knobB);

class FrmFX final : public PaintedWindow {
  Q_OBJECT

 public:
  // Builds the window for effect 0..15, hidden; slider moves change nothing until Open.
  FrmFX(const EffectEditorLinks& links, int effect);

  int Effect() const { return effect_; }
  // Places the window and shows it; from then on slider moves write and apply.
  void Open();
  // The effect's rows were replaced under the editor (a bank was loaded): the sliders and
  // panels show them. Nothing is written or applied.
  void ShowParams();

  int SliderCount() const { return static_cast<int>(sliders_.size()); }
  UC_Fader& SliderValue(int k) { return *sliders_.at(k); }
  UC_TextPicture& TextValue(int k) { return *panels_.at(k); }
  UC_Buttons& CloseButton() { return *closeButton_; }
  // The text printed above slider k.
  std::string Label(int k) const;

 signals:
  // The window is closing; its placement is stored. It is deleted afterwards.
  void Unloaded();

 protected:
  void PaintBackground() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void LayOut();
  void ShowParam(int k);
  void LevelChanged(int k);
  void DblClicked(int k);

  EffectEditorLinks links_;
  int effect_;
  std::vector<UC_Fader*> sliders_;
  std::vector<UC_TextPicture*> panels_;
  UC_Buttons* closeButton_ = nullptr;
  bool initialised_ = false;
};

// The program's one effect editor, as the main window asks for it.
class EffectEditor {
 public:
  explicit EffectEditor(EffectEditorLinks links);
  // Closes an open editor.
  ~EffectEditor();
  EffectEditor(const EffectEditor&) = delete;
  EffectEditor& operator=(const EffectEditor&) = delete;

  // The effect being edited; -1 while no editor is open.
  int EditedEffect() const;
  // Opens the editor for an effect, closing one that is open first.
  void Open(int effect);
  void Close();
  // A bank was loaded: an open editor shows the loaded values.
  void SettingsLoaded();
  // The open window, nullptr when none.
  FrmFX* Window() const { return window_; }

 private:
  EffectEditorLinks links_;
  QPointer<FrmFX> window_;
};

}  // namespace ampora
