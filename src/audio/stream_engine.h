#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/block_layout.h"
#include "audio/devices/wave_device.h"
#include "audio/devices/wave_header.h"
#include "audio/stream_buffers.h"

namespace ampora {

// What the streams of an engine did, over all its opens: the proof that no block was
// skipped or handled twice except where a restart abandoned it. A block is filled by the
// input, then handled (processed and played, or analysed) by a poll; at each close the
// blocks filled but not handled are left behind, and a block handled more often than
// filled would be a fault. Frames the input dropped and gaps the output played are lost
// sound in a running stream.
struct StreamCounts {
  int64_t opens = 0;
  int64_t blocksFilled = 0;
  int64_t blocksHandled = 0;
  int64_t blocksLeftAtClose = 0;
  int64_t blocksHandledTwice = 0;
  int64_t blocksPlayed = 0;
  int64_t framesDropped = 0;
  int64_t gapFrames = 0;
};

// The stream engine: moves audio from the wave input to the wave output in blocks, with
// the effect chain or the bypass copy in between. It owns the rings (StreamBuffers), the
// headers handed to the devices and the poll that the main window's timer calls. The
// input device fills the queued capture blocks; the poll notices completed blocks by
// their done flags, hands each one to the chain, writes it to the output (a block longer
// or shorter when the playback lag leaves its window) and queues it for capture again.
//
// Thread: UI thread, every member. The devices work on their own threads and meet the
// engine only through the headers' done flags and their positions. The poll and the
// chain let pending user-interface events run; a handler may close, re-initialise or
// reopen the stream then, so the poll reads its state afresh after each such point.
class StreamEngine {
 public:
  // The devices and the chain must outlive the engine.
  StreamEngine(WaveInDevice& waveIn, WaveOutDevice& waveOut, BlockProcessor& chain);
  ~StreamEngine();
  StreamEngine(const StreamEngine&) = delete;
  StreamEngine& operator=(const StreamEngine&) = delete;

  // The stream's rate: the devices' rate, set before InitStream. The rings are laid out
  // for it; OpenStream refuses a rate outside kMinSampleRate..kMaxSampleRate with a
  // message naming it.
  int32_t SampleRate = kDefaultSampleRate;
  // Settings, read by InitStream (which brings them into the dialog's ranges).
  float BufferMS = kBufferMsDefault;
  float DelayMinMS = kDelayMinMsDefault;
  float DelayMaxMS = kDelayMaxMsDefault;
  // [0] input, [1] output; -1 = the default device.
  std::array<int32_t, 2> WaveDeviceId{kDefaultDevice, kDefaultDevice};
  // Modes set by the transport: 1 = on. TunerOn takes effect at InitStream (block length)
  // and in every poll (nothing is played).
  int32_t BypassOn = 0;
  int32_t TunerOn = 0;

  // Computes the block arithmetic and (re)allocates every ring and header, zero-filled.
  // Closes the devices first if they are open: they must not keep blocks of freed rings.
  void InitStream();
  // Opens both devices and starts capture; StreamRunning() = 1 on success. A device that
  // fails to open or to start is reported in a message box with the device's error text.
  void OpenStream();
  // Stops and closes both devices; safe when nothing is open.
  void CloseStream();
  // Handles every completed capture block in ring order; returns the last block handled,
  // -1 when none was. A device that stopped by itself (its audio server went away) ends
  // the stream, with the device's error text in a message box, once.
  int32_t PollStream();
  // Copies frames start..end from the capture ring to the play ring with the gains only.
  void BypassBlock(int32_t start, int32_t end);

  // The rings and gains, shared with the chain.
  StreamBuffers& Buffers() { return buffers_; }
  const StreamBuffers& Buffers() const { return buffers_; }
  const BlockLayout& Layout() const { return layout_; }

  int32_t StreamRunning() const { return streamRunning_; }
  // False while the stream runs and a device of it has not been run by its audio server
  // yet (WaveDevice::Running).
  bool DevicesRun() const {
    return streamRunning_ != 1 || (waveIn_.Running() && waveOut_.Running());
  }
  // Up to date once the stream is closed; while it runs, blocksLeftAtClose and
  // blocksHandledTwice lack the current stream.
  StreamCounts Counts() const;
  int32_t NextBlock() const { return nextBlock_; }
  // The smoothed position difference and the sum of the negated length corrections, in
  // frames. Both are counted from a base that takes over their common part once the
  // corrections add up to seconds; the lag, LagAverage() - LengthTrim(), is unaffected.
  int32_t LagAverage() const { return lagAverage_; }
  int32_t LengthTrim() const { return lengthTrim_; }
  int32_t BlockStart(int32_t k) const { return blockStart_[static_cast<size_t>(k)]; }
  int32_t PlayQueued(int32_t k) const { return playQueued_[static_cast<size_t>(k)]; }
  const WaveHeader& CaptureHeader(int32_t k) const {
    return captureHeaders_[static_cast<size_t>(k)];
  }
  const WaveHeader& PlayHeader(int32_t k) const { return playHeaders_[static_cast<size_t>(k)]; }

 private:
  // The latency control of the first block of a poll: the length correction in frames.
  int32_t MeasureLag(int32_t k);
  // Moves the common part of the average and the corrections into positionBase_.
  void RebaseLag();
  // Writes play block k, lengthened or shortened by trim frames.
  void PlayBlock(int32_t k, int32_t trim);
  void ReportOpenFailure(const std::string& text);
  void EndLostStream();
  // Adds the stream that just closed to the counts.
  void SettleCounts();

  WaveInDevice& waveIn_;
  WaveOutDevice& waveOut_;
  BlockProcessor& chain_;

  StreamBuffers buffers_;
  BlockLayout layout_;
  WaveFormat waveFormat_;
  std::vector<int32_t> blockStart_;
  std::unique_ptr<WaveHeader[]> captureHeaders_;
  std::unique_ptr<WaveHeader[]> playHeaders_;
  std::vector<int32_t> playQueued_;
  int32_t nextBlock_ = 0;
  int32_t streamRunning_ = 0;
  int32_t lagAverage_ = 0;
  int32_t lengthTrim_ = 0;
  int64_t positionBase_ = 0;  // frames of position difference taken out of both counters
  bool devicesOpen_ = false;
  StreamCounts counts_;
  // The input's and the poll's block counts when the current stream opened.
  int64_t filledAtOpen_ = 0;
  int64_t handledAtOpen_ = 0;
  // Changes whenever the stream is closed or re-initialised, so that a poll notices a
  // restart made by events that ran inside the chain.
  uint64_t generation_ = 0;
};

}  // namespace ampora
