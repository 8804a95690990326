#include "audio/stream_engine.h"

#include <algorithm>

#include "audio/stream_format.h"
#include "util/error_trap.h"
#include "util/message_seam.h"
#include "util/pending_events.h"
#include "util/rounding.h"

namespace ampora {

namespace {

// clip(round(v)) for any v: products of large gains clip instead of overflowing.
int16_t ClipRoundProduct(double v) {
  if (v >= 32767.0) return 32767;
  if (v <= -32767.0) return -32767;
  return ClipRound(v);
}

}  // namespace

StreamEngine::StreamEngine(WaveInDevice& waveIn, WaveOutDevice& waveOut, BlockProcessor& chain)
    : waveIn_(waveIn), waveOut_(waveOut), chain_(chain) {}

StreamEngine::~StreamEngine() {
  CloseStream();
}

void StreamEngine::InitStream() {
  if (devicesOpen_) CloseStream();
  ++generation_;
  lagAverage_ = 0;
  lengthTrim_ = 0;
  positionBase_ = 0;
  nextBlock_ = 0;
  waveFormat_ = StreamWaveFormat(SampleRate);

  BufferMS = ClampSetting(BufferMS, kBufferMsMin, kBufferMsMax, kBufferMsDefault);
  DelayMinMS = ClampSetting(DelayMinMS, kDelayMinMsMin, kDelayMinMsMax, kDelayMinMsDefault);
  DelayMaxMS = ClampSetting(DelayMaxMS, kDelayMaxMsMin, kDelayMaxMsMax, kDelayMaxMsDefault);
  // A rate OpenStream refuses still gets rings, laid out within the supported range.
  layout_ = ComputeBlockLayout(BufferMS, DelayMinMS, DelayMaxMS, TunerOn == 1,
                               std::clamp(SampleRate, kMinSampleRate, kMaxSampleRate));

  const int32_t blockLen = layout_.BlockLen;
  const int32_t blockCount = layout_.BlockCount;
  AllocateRings(buffers_, blockLen, blockCount);
  blockStart_.assign(static_cast<size_t>(blockCount), 0);
  playQueued_.assign(static_cast<size_t>(blockCount), 0);
  captureHeaders_ = std::make_unique<WaveHeader[]>(static_cast<size_t>(blockCount));
  playHeaders_ = std::make_unique<WaveHeader[]>(static_cast<size_t>(blockCount));
  for (int32_t k = 0; k < blockCount; ++k) {
    const auto i = static_cast<size_t>(k);
    blockStart_[i] = k * blockLen;
    playHeaders_[i].data = &buffers_.PlayRing[static_cast<size_t>(blockStart_[i])];
    playHeaders_[i].byteLength = blockLen * BlockAlign;
    captureHeaders_[i].data = &buffers_.CaptureRing[static_cast<size_t>(blockStart_[i])];
    captureHeaders_[i].byteLength = blockLen * BlockAlign;
  }
}

void StreamEngine::ReportOpenFailure(const std::string& text) {
  ShowMessage(text, kMbOk, "");
  CloseStream();
}

// Closed after the message box, as an open failure is: closing a JACK client at once
// after its server's end can deadlock inside libjack, which is still taking it down.
void StreamEngine::EndLostStream() {
  ReportOpenFailure(waveIn_.Lost() ? waveIn_.ErrorText(kDeviceLost)
                                   : waveOut_.ErrorText(kDeviceLost));
}

void StreamEngine::OpenStream() {
  // Queuing headers that a device still holds would hand it the same block twice.
  if (devicesOpen_) CloseStream();
  if (layout_.BlockCount == 0) InitStream();
  devicesOpen_ = true;
  ++counts_.opens;
  filledAtOpen_ = waveIn_.Counts().blocks;
  handledAtOpen_ = counts_.blocksHandled;
  if (!IsSupportedSampleRate(waveFormat_.samplesPerSec)) {
    ReportOpenFailure(UnsupportedSampleRateText(waveFormat_.samplesPerSec));
    return;
  }
  if (const int32_t code = waveIn_.Open(WaveDeviceId[0], waveFormat_); code != kDeviceOk) {
    ReportOpenFailure(waveIn_.ErrorText(code));
    return;
  }
  for (int32_t k = 0; k < layout_.BlockCount; ++k)
    waveIn_.Queue(&captureHeaders_[static_cast<size_t>(k)]);
  if (const int32_t code = waveIn_.Start(); code != kDeviceOk) {
    ReportOpenFailure(waveIn_.ErrorText(code));
    return;
  }
  if (const int32_t code = waveOut_.Open(WaveDeviceId[1], waveFormat_); code != kDeviceOk) {
    ReportOpenFailure(waveOut_.ErrorText(code));
    return;
  }
  streamRunning_ = 1;
}

void StreamEngine::CloseStream() {
  streamRunning_ = 0;
  ++generation_;
  waveOut_.Close();
  waveIn_.Close();
  if (devicesOpen_) SettleCounts();
  devicesOpen_ = false;
}

void StreamEngine::SettleCounts() {
  const int64_t filled = waveIn_.Counts().blocks - filledAtOpen_;
  const int64_t handled = counts_.blocksHandled - handledAtOpen_;
  counts_.blocksLeftAtClose += std::max<int64_t>(filled - handled, 0);
  counts_.blocksHandledTwice += std::max<int64_t>(handled - filled, 0);
}

StreamCounts StreamEngine::Counts() const {
  StreamCounts counts = counts_;
  const DeviceCounts in = waveIn_.Counts();
  const DeviceCounts out = waveOut_.Counts();
  counts.blocksFilled = in.blocks;
  counts.framesDropped = in.lostFrames;
  counts.blocksPlayed = out.blocks;
  counts.gapFrames = out.lostFrames;
  return counts;
}

int32_t StreamEngine::PollStream() {
  int32_t last = -1;
  bool measured = false;
  TrapErrors([&] {
    // Once a poll: a server that goes away meanwhile stops the blocks, and the next poll
    // ends the stream.
    if (streamRunning_ == 1 && (waveIn_.Lost() || waveOut_.Lost())) {
      EndLostStream();
      return;
    }
    while (streamRunning_ == 1) {
      RunPendingEvents();
      if (streamRunning_ != 1) return;
      const int32_t k = nextBlock_;
      const auto i = static_cast<size_t>(k);
      if (!captureHeaders_[i].IsDone()) return;
      if (TunerOn != 1) {
        if (playHeaders_[i].IsDone()) playQueued_[i] = 0;
        // The block played one ring period ago is still queued: the output is ~3 s late.
        if (playQueued_[i] == 1) return;
        const int32_t trim = measured ? 0 : MeasureLag(k);
        measured = true;
        const int32_t start = blockStart_[i];
        const int32_t end = start + layout_.BlockLen - 1;
        if (BypassOn == 1) {
          BypassBlock(start, end);
        } else {
          const uint64_t generation = generation_;
          chain_.ProcessBlock(start, end);
          // Events inside the chain restarted the stream: this block belongs to no stream.
          if (generation_ != generation) return;
        }
        PlayBlock(k, trim);
      }
      waveIn_.Queue(&captureHeaders_[i]);
      ++counts_.blocksHandled;
      last = k;
      nextBlock_ = k + 1 == layout_.BlockCount ? 0 : k + 1;
      RunPendingEvents();
    }
  });
  return last;
}

int32_t StreamEngine::MeasureLag(int32_t k) {
  // Positions a device got wrong by billions of frames must not overflow the average and
  // so stop every later poll at this block.
  constexpr double kMaxPositionLag = 1e9;
  const double positionLag =
      static_cast<double>(waveIn_.PositionBytes()) - static_cast<double>(waveOut_.PositionBytes());
  const double frames = std::clamp(positionLag / BlockAlign - static_cast<double>(positionBase_),
                                   -kMaxPositionLag, kMaxPositionLag);
  lagAverage_ = RoundInt32((frames + lagAverage_) / 2.0);
  const int64_t lag = static_cast<int64_t>(lagAverage_) - lengthTrim_;
  int32_t trim = 0;
  if (lag > layout_.DelayMaxFrames) {
    trim = RoundInt32(-layout_.BlockLen / 2.0);
  } else if (lag < layout_.DelayMinFrames) {
    trim = RoundInt32(layout_.BlockLen / 10.0);
  }
  // The last block is never lengthened: its write must not run past the end of the ring.
  if (k == layout_.BlockCount - 1) trim = 0;
  lengthTrim_ -= trim;
  RebaseLag();
  return trim;
}

// Under a lasting clock drift between the devices the corrections never stop, and the
// position difference and the corrections grow together without end (by about 4.4
// frames a second at 100 ppm). Only their difference, the lag, matters: moving the
// corrections into the position base keeps both counters small for a stream of any
// length. An even shift leaves every later average exactly as it would have been, ties
// to even included.
void StreamEngine::RebaseLag() {
  constexpr int32_t kRebaseFrames = 1 << 17;  // about 3 s of corrections
  if (lengthTrim_ > -kRebaseFrames && lengthTrim_ < kRebaseFrames) return;
  const int32_t shift = lengthTrim_ - lengthTrim_ % 2;
  positionBase_ += shift;
  lagAverage_ -= shift;
  lengthTrim_ -= shift;
}

void StreamEngine::PlayBlock(int32_t k, int32_t trim) {
  const auto i = static_cast<size_t>(k);
  const int32_t frames = layout_.BlockLen + trim;
  Check(blockStart_[i] + frames <= layout_.RingLen, "play block inside the ring");
  WaveHeader& header = playHeaders_[i];
  header.byteLength = frames * BlockAlign;
  header.borrowedBytes = std::max(trim, 0) * BlockAlign;
  waveOut_.Write(&header);
  playQueued_[i] = 1;
}

void StreamEngine::BypassBlock(int32_t start, int32_t end) {
  TrapErrors([&] {
    Check(start >= 0 && start <= end && end < layout_.RingLen, "bypass block inside the rings");
    const double inGain = buffers_.InGain[0];
    const double outLeft = buffers_.OutGain[0];
    const double outRight = buffers_.OutGain[1];
    for (int32_t i = start; i <= end; ++i) {
      const auto f = static_cast<size_t>(i);
      const double x = buffers_.CaptureRing[f].left * inGain;
      buffers_.PlayRing[f] = Frame{ClipRoundProduct(x * outLeft), ClipRoundProduct(x * outRight)};
    }
  });
}

}  // namespace ampora
