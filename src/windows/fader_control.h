#pragma once

#include "controls/fader.h"
#include "live/level_fader.h"

// A level fader of the live path shown by a fader control: the values and the link are
// the control's own, so the live path reads what the user set and the control shows what
// a bank load wrote.
//
// Thread: UI thread.

namespace ampora {

class FaderControl final : public LevelFader {
 public:
  // The control must outlive the object.
  explicit FaderControl(UC_Fader& fader) : fader_(fader) {}

  int32_t ValueL() const override { return fader_.ValueL(); }
  int32_t ValueR() const override { return fader_.ValueR(); }
  bool Linked() const override { return fader_.Linked() != 0; }
  void SetValueL(int32_t value) override { fader_.SetValueL(value); }
  void SetValueR(int32_t value) override { fader_.SetValueR(value); }
  void SetLinked(bool linked) override { fader_.SetLinked(linked ? 1 : 0); }

 private:
  UC_Fader& fader_;
};

}  // namespace ampora
