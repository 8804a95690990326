#include "midi/midi_input.h"

namespace ampora {

namespace {
constexpr uint32_t kProgramChange = 0xC0;  // status of Program Change on channel 1
}  // namespace

MidiInput::~MidiInput() {
  for (int32_t n = 0; n < kPortCount; ++n) CloseMidiIn(n);
}

int32_t MidiInput::OpenMidiIn(int32_t n) {
  if (n < 0 || n >= kPortCount) return 0;
  if (handles_[Port(n)].load() != 0) CloseMidiIn(n);
  const MidiHandle handle = service_.Open(MidiInDeviceName[Port(n)], &MidiInProc, this);
  // The handle is known before the device starts, so the first message finds its port.
  handles_[Port(n)].store(handle);
  if (handle != 0) service_.Start(handle);
  return 1;
}

void MidiInput::CloseMidiIn(int32_t n) {
  if (n < 0 || n >= kPortCount) return;
  const MidiHandle handle = handles_[Port(n)].load();
  if (handle == 0) return;
  service_.Close(handle);
  handles_[Port(n)].store(0);
}

void MidiInput::MidiInProc(void* instance, MidiHandle handle, uint32_t message) {
  static_cast<MidiInput*>(instance)->Store(handle, message);
}

void MidiInput::Store(MidiHandle handle, uint32_t message) {
  if (handle == 0) return;
  int32_t port = kPortCount - 1;
  while (port >= 0 && handles_[Port(port)].load(std::memory_order_acquire) != handle) --port;
  if (port < 0 || message == 0) return;
  received_[Port(port)].fetch_add(1, std::memory_order_relaxed);
  std::atomic<int32_t>& writePos = writePos_[Port(port)];
  const int32_t pos = writePos.load(std::memory_order_relaxed);
  if (ring_[Port(pos)][Port(port)].exchange(message, std::memory_order_acq_rel) != 0) {
    lost_[Port(port)].fetch_add(1, std::memory_order_relaxed);
  }
  writePos.store(NextSlot(pos), std::memory_order_release);
}

int32_t MidiInput::OldestWaitingSlot(size_t port) const {
  int32_t pos = writePos_[port].load(std::memory_order_acquire);
  for (int32_t i = 0; i < kRingSlots; ++i, pos = NextSlot(pos)) {
    if (ring_[Port(pos)][port].load(std::memory_order_acquire) != 0) return pos;
  }
  return -1;
}

void MidiInput::DrainMidiRing(int32_t midiCh, const KeyHandler& keyHandler) {
  constexpr size_t kPort = 0;
  int32_t& readPos = readPos_[kPort];
  // After an overflow the oldest message left is where the callback writes next, not
  // where the drain stopped: start there, so the survivors come out in order of arrival.
  const uint64_t lost = lost_[kPort].load(std::memory_order_acquire);
  if (lost != lostSeen_) {
    lostSeen_ = lost;
    if (const int32_t oldest = OldestWaitingSlot(kPort); oldest >= 0) readPos = oldest;
  }
  // At most one ring's worth: a controller that floods faster than the handler works must
  // not keep the user interface in this loop.
  for (int32_t taken = 0; taken < kRingSlots;) {
    const uint32_t m = ring_[Port(readPos)][kPort].exchange(0, std::memory_order_acq_rel);
    if (m == 0) {
      const int32_t oldest = OldestWaitingSlot(kPort);
      if (oldest < 0) return;
      readPos = oldest;
      continue;
    }
    ++taken;
    ++taken_;
    readPos = NextSlot(readPos);
    const uint32_t status = m % 256;
    if (status < kProgramChange || status > kProgramChange + 15) continue;
    const uint32_t program = (m / 256) % 256;
    const int64_t channel = static_cast<int64_t>(status) - kProgramChange;
    if ((midiCh == -1 || channel == midiCh) && program < kProgramCount) {
      keyHandler(kKeyF1 + static_cast<int32_t>(program), 0);
    }
  }
}

}  // namespace ampora
