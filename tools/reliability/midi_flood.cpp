// ampora-midi-flood: a MIDI controller gone wild, for tools/reliability/midi-flood. One
// JACK MIDI output port "<client>:keys" (our own sender: RtMidi's JACK output frees what
// its process callback reads); once a line arrives on standard input it sends RATE
// messages a second for SECONDS seconds, mixed: every fifth a Program Change 0..11 on
// channel 1 (bank keys), the others notes on and off and controllers on channels 1..16.
// Prints "ready" when the port exists and "sent N" at the end.
//   ampora-midi-flood CLIENT RATE SECONDS

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "midi_sender.h"

namespace {

std::vector<unsigned char> NextMessage(std::mt19937& rng, uint64_t n) {
  const auto byte = [&rng](unsigned limit) { return static_cast<unsigned char>(rng() % limit); };
  if (n % 5 == 0) return {0xC0, byte(12)};
  const unsigned char channel = byte(16);
  switch (n % 5) {
    case 1:
      return {static_cast<unsigned char>(0x90 | channel), byte(128), byte(128)};
    case 2:
      return {static_cast<unsigned char>(0x80 | channel), byte(128), 0};
    default:
      return {static_cast<unsigned char>(0xB0 | channel), byte(120), byte(128)};
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: ampora-midi-flood CLIENT RATE SECONDS\n");
    return 2;
  }
  const long rate = std::atol(argv[2]);
  const long seconds = std::atol(argv[3]);
  if (rate <= 0 || seconds <= 0) {
    std::fprintf(stderr, "ampora-midi-flood: RATE and SECONDS must be positive\n");
    return 2;
  }
  const auto sender = ampora::test::MidiSender::Open("jack", argv[1]);
  if (!sender) {
    std::fprintf(stderr, "ampora-midi-flood: no JACK server to connect to\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  std::string go;
  std::getline(std::cin, go);

  // A burst every millisecond, as many messages as keep the total on the rate.
  using Clock = std::chrono::steady_clock;
  std::mt19937 rng(10000);
  const Clock::time_point start = Clock::now();
  const uint64_t total = static_cast<uint64_t>(rate) * static_cast<uint64_t>(seconds);
  uint64_t sent = 0;
  for (int64_t ms = 1; sent < total; ++ms) {
    std::this_thread::sleep_until(start + std::chrono::milliseconds(ms));
    const uint64_t due = std::min<uint64_t>(total, static_cast<uint64_t>(rate * ms / 1000));
    for (; sent < due; ++sent) sender->Send(NextMessage(rng, sent));
  }
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("sent %llu in %.2f s\n", static_cast<unsigned long long>(sent), took);
  return 0;
}
