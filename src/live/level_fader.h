#pragma once

#include <cstdint>

// The value side of a level fader: a pair of integer values (left, right) in dB within
// the fader's range, linked (one pointer moves both) or split. The level handling writes
// and reads a fader only through this interface, so that the main window's fader control
// and the plain model below behave alike: the window adapts its control to it, and the
// offline renderer and the tests use the model.
//
// Thread: UI thread.

namespace ampora {

// The range of both level faders, in dB.
inline constexpr int32_t kFaderMinDb = -50;
inline constexpr int32_t kFaderMaxDb = 50;

class LevelFader {
 public:
  virtual ~LevelFader() = default;
  virtual int32_t ValueL() const = 0;
  virtual int32_t ValueR() const = 0;
  virtual bool Linked() const = 0;
  // A value is limited to the range; a linked fader takes it for both channels.
  virtual void SetValueL(int32_t value) = 0;
  virtual void SetValueR(int32_t value) = 0;
  // A fader whose link is locked stays linked.
  virtual void SetLinked(bool linked) = 0;
};

// A fader without a control: the values, the link and the range rule.
class FaderModel final : public LevelFader {
 public:
  // linkLocked: always linked (the input fader).
  explicit FaderModel(bool linkLocked = false) : linkLocked_(linkLocked), linked_(linkLocked) {}

  int32_t ValueL() const override { return valueL_; }
  int32_t ValueR() const override { return valueR_; }
  bool Linked() const override { return linked_; }
  void SetValueL(int32_t value) override;
  void SetValueR(int32_t value) override;
  void SetLinked(bool linked) override { linked_ = linked || linkLocked_; }

 private:
  bool linkLocked_;
  bool linked_;
  int32_t valueL_ = 0;
  int32_t valueR_ = 0;
};

}  // namespace ampora
