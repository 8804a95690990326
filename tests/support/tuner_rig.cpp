#include "support/tuner_rig.h"

#include "audio/block_layout.h"
#include "support/wav_files.h"

namespace ampora::test {

namespace {

constexpr int32_t kWavFileInput = 3;  // the built-in inputs: demo, tone, silence, WAV file
constexpr int32_t kNullOutput = 0;

std::string WrittenWav(const std::string& folder, const std::vector<int16_t>& signal) {
  const std::string path = folder + "tuner-input.wav";
  std::vector<Frame> frames(signal.size());
  // The right channel carries something else: the tuner listens to the left one only.
  for (size_t i = 0; i < signal.size(); ++i) frames[i] = Frame{signal[i], 12345};
  WriteWav(path, frames, 44100, 2);
  return path;
}

}  // namespace

TunerRig::TunerRig(TunerAnalysis& tuner, const std::vector<int16_t>& signal, float inGain)
    : tuner_(tuner),
      devices_(DeviceConfig{"", WrittenWav(folder_.path(), signal), "", false}, &clock_),
      engine_(devices_.WaveIn(), devices_.WaveOut(), chain_) {
  engine_.TunerOn = 1;
  engine_.WaveDeviceId = {kWavFileInput, kNullOutput};
  engine_.InitStream();
  engine_.Buffers().InGain = {inGain, inGain};
  engine_.OpenStream();
}

TunerRig::~TunerRig() {
  engine_.CloseStream();
}

void TunerRig::Restart() {
  const std::array<float, 2> gain = engine_.Buffers().InGain;
  engine_.CloseStream();
  engine_.InitStream();
  engine_.Buffers().InGain = gain;
  engine_.OpenStream();
}

std::optional<TunerReading> TunerRig::Analyse(float a4) {
  clock_.Advance(kTunerBlockLen);
  const int32_t k = engine_.PollStream();
  if (k == -1) return std::nullopt;
  return tuner_.UpdateTuner(engine_.Buffers(), k, a4);
}

}  // namespace ampora::test
