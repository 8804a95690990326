#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "midi/midi_in_service.h"
#include "util/ui_text.h"

namespace ampora {

// The MIDI input: an external controller selects banks 1..12 with Program Change 0..11.
// The service's callback (MidiInProc) only stores each message in a small ring per port;
// the main window's timer drains the ring of port 0 and hands the program changes of the
// chosen channel to the bank key handler as the function keys F1..F12.
//
// The ring is a lock-free handshake: the callback writes a non-zero value into the slot at
// its position and then advances the position; the drain takes non-zero slots (reading and
// clearing each in one step) and advances its own. More than 17 messages between two
// drains overwrite the oldest unread ones; those are counted in LostMessages, and the
// drain hands over the ones left in order of arrival.
//
// Thread: UI thread, every member except MidiInProc, which runs on the MIDI service's
// thread and only touches atomics. The service must outlive the object.
// The message box text when the input's server went away.
inline constexpr char kMidiInLostText[] =
    UI_TEXT_NOOP("DeviceError", "MIDI入力デバイスとの接続が切れました。");

class MidiInput {
 public:
  static constexpr int32_t kPortCount = 4;
  static constexpr int32_t kRingSlots = 17;
  // The key code of F1; Program Change p arrives as kKeyF1 + p.
  static constexpr int32_t kKeyF1 = 112;
  static constexpr int32_t kProgramCount = 12;

  // Receives each accepted program change as (key code, shift state 0).
  using KeyHandler = std::function<void(int32_t keyCode, int32_t shift)>;

  explicit MidiInput(MidiInService& service) : service_(service) {}
  // Closes every open port.
  ~MidiInput();
  MidiInput(const MidiInput&) = delete;
  MidiInput& operator=(const MidiInput&) = delete;

  // The device each port opens, by name (MidiInService::Open).
  std::array<std::string, kPortCount> MidiInDeviceName{};

  // (Re)opens port n (0..3) and starts it. Returns 1, also when the device could not be
  // opened: such a port simply stays silent. Returns 0 for a port number outside 0..3.
  int32_t OpenMidiIn(int32_t n);
  // Stops and closes port n when it is open.
  void CloseMidiIn(int32_t n);
  // True when port n is open and its device stopped by itself (MidiInService::Lost).
  bool MidiInLost(int32_t n) const { return service_.Lost(MidiInHandle(n)); }
  // False while port n is open on a server that has not run it (MidiInService::Running).
  bool MidiInRunning(int32_t n) const { return service_.Running(MidiInHandle(n)); }

  // Takes the messages of port 0 in order of arrival, at most one ring's worth per call,
  // and calls keyHandler for each Program Change 0..11 on channel midiCh (0..15; -1 =
  // every channel). Every other message is consumed and ignored.
  void DrainMidiRing(int32_t midiCh, const KeyHandler& keyHandler);

  // The receiver given to the service: stores message in the ring of the port that was
  // opened with handle. MIDI service thread; no blocking, no allocation.
  static void MidiInProc(void* instance, MidiHandle handle, uint32_t message);

  MidiHandle MidiInHandle(int32_t n) const { return handles_[Port(n)].load(); }
  int32_t MidiWritePos(int32_t n) const { return writePos_[Port(n)].load(); }
  int32_t MidiReadPos(int32_t n) const { return readPos_[Port(n)]; }
  // Messages of port n overwritten before the drain took them.
  uint64_t LostMessages(int32_t n) const { return lost_[Port(n)].load(); }
  // Messages port n received, and the drain took from port 0, since the object was made.
  // Every received message is taken, lost or still waiting in the ring.
  uint64_t ReceivedMessages(int32_t n) const { return received_[Port(n)].load(); }
  uint64_t TakenMessages() const { return taken_; }

 private:
  static size_t Port(int32_t n) { return static_cast<size_t>(n); }
  static int32_t NextSlot(int32_t pos) { return pos + 1 > kRingSlots - 1 ? 0 : pos + 1; }
  void Store(MidiHandle handle, uint32_t message);
  // After an overflow the drain's position may stand on an empty slot while messages wait
  // elsewhere; this finds the oldest waiting slot (scanning from the callback's position),
  // or -1 when the ring is empty.
  int32_t OldestWaitingSlot(size_t port) const;

  MidiInService& service_;
  std::array<std::atomic<MidiHandle>, kPortCount> handles_{};
  // MidiRing[slot][port]: one packed short message, 0 = empty.
  std::array<std::array<std::atomic<uint32_t>, kPortCount>, kRingSlots> ring_{};
  std::array<std::atomic<int32_t>, kPortCount> writePos_{};
  std::array<int32_t, kPortCount> readPos_{};
  std::array<std::atomic<uint64_t>, kPortCount> lost_{};
  std::array<std::atomic<uint64_t>, kPortCount> received_{};
  uint64_t lostSeen_ = 0;  // LostMessages(0) at the last drain
  uint64_t taken_ = 0;

  static_assert(std::atomic<uint32_t>::is_always_lock_free);
  static_assert(std::atomic<MidiHandle>::is_always_lock_free);
  static_assert(std::atomic<int32_t>::is_always_lock_free);
  static_assert(std::atomic<uint64_t>::is_always_lock_free);
};

}  // namespace ampora
