#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "audio/devices/audio_devices.h"
#include "audio/devices/device_clock.h"
#include "audio/stream_engine.h"
#include "support/temp_folder.h"
#include "tuner/tuner_analysis.h"

namespace ampora::test {

// The tuner's real path without a sound card: a stream in tuner mode on the built-in
// "WAV file" input, driven by a manual clock. Each Analyse() lets the input capture one
// 2048-frame block into the capture ring, polls as the timer does and analyses the block
// the poll returned.
class TunerRig {
 public:
  // Plays signal (the left channel, 44100 frames per second, looped) into tuner with the
  // input gain.
  TunerRig(TunerAnalysis& tuner, const std::vector<int16_t>& signal, float inGain = 1.0f);
  ~TunerRig();

  // a4: the reference pitch the note is read against.
  std::optional<TunerReading> Analyse(float a4 = kTunerA4Default);
  // Closes the stream and opens it again on new rings, as the transport does; the input
  // plays on from where it was.
  void Restart();
  const StreamEngine& Engine() const { return engine_; }

 private:
  // Tuner mode plays nothing: a chain that is never asked for a block.
  class IdleChain final : public BlockProcessor {
   public:
    int ProcessBlock(int32_t, int32_t) override { return 0; }
  };

  TunerAnalysis& tuner_;
  TempFolder folder_;
  ManualClock clock_;
  AudioDevices devices_;
  IdleChain chain_;
  StreamEngine engine_;
};

}  // namespace ampora::test
