// A MIDI controller for the end-to-end tests: one JACK MIDI output port "<client>:keys".
// Prints "ready" once the port exists; then, for each number 0..127 read from standard
// input, one per line, sends a Program Change of that number on channel 1 and prints
// "sent <number>". Ends at the end of its input.
//   ampora-program-change CLIENT

#include <cstdlib>
#include <iostream>
#include <string>

#include "midi_sender.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: ampora-program-change CLIENT\n";
    return 2;
  }
  const auto sender = ampora::test::MidiSender::Open("jack", argv[1]);
  if (!sender) {
    std::cerr << "ampora-program-change: no JACK server to connect to\n";
    return 1;
  }
  std::cout << "ready" << std::endl;
  for (std::string line; std::getline(std::cin, line);) {
    char* end = nullptr;
    const long program = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || program < 0 || program > 127) continue;
    sender->Send({0xC0, static_cast<unsigned char>(program)});
    std::cout << "sent " << program << std::endl;
  }
  return 0;
}
