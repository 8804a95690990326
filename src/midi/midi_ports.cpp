#include "midi/midi_ports.h"

#include <rtmidi/RtMidi.h>

#include "audio/devices/owned_jack_client.h"
#include "midi/jack_midi_in.h"
#include "util/text.h"

namespace ampora {

namespace {

template <class Port>
std::vector<std::string> RtMidiPortNames(RtMidi::Api api) {
  try {
    Port midi(api, "ampora");
    std::vector<std::string> names;
    for (unsigned int i = 0, count = midi.getPortCount(); i < count; ++i) {
      names.push_back(midi.getPortName(i));
    }
    return names;
  } catch (const RtMidiError&) {
    // An interface that is not there (no sequencer) has no ports.
    return {};
  }
}

// Not the MIDI input's name ("ampora"): a client that comes and goes without being
// activated, followed by another of the same name from the same program, left the
// server's graph stalled now and then (a Start that did not stream).
constexpr char kListingClient[] = "ampora-ports";

std::vector<std::string> JackPortNames(int32_t direction) {
  OwnedJackClient client;
  jack_status_t status{};
  if (!client.Open(kListingClient, status)) return {};
  return JackMidiPortNames(client.get(), direction);
}

}  // namespace

bool IsJackMidiApi(int32_t api) {
  return api == RtMidi::UNIX_JACK;
}

MidiPortList FindMidiPorts(const std::string& apiName, const MidiPortLister& list) {
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
  const RtMidi::Api named = RtMidi::getCompiledApiByName(LowerAscii(apiName));
  if (named != RtMidi::UNSPECIFIED && named != RtMidi::RTMIDI_DUMMY) apis = {named};
  for (RtMidi::Api api : apis) {
    if (api == RtMidi::RTMIDI_DUMMY) continue;
    std::vector<std::string> names = list(api);
    if (!names.empty()) return MidiPortList{api, std::move(names)};
  }
  return MidiPortList{};
}

MidiPortList ScanMidiPorts(int32_t direction, const std::string& apiName) {
  return FindMidiPorts(apiName, [direction](int32_t api) {
    if (IsJackMidiApi(api)) return JackPortNames(direction);
    const auto rtApi = static_cast<RtMidi::Api>(api);
    return direction == 1 ? RtMidiPortNames<RtMidiIn>(rtApi) : RtMidiPortNames<RtMidiOut>(rtApi);
  });
}

std::vector<std::string> MidiApiNames() {
  std::vector<RtMidi::Api> apis;
  RtMidi::getCompiledApi(apis);
  std::vector<std::string> names;
  for (RtMidi::Api api : apis) {
    if (api != RtMidi::RTMIDI_DUMMY) names.push_back(RtMidi::getApiName(api));
  }
  return names;
}

std::vector<std::string> MidiPortNames(int32_t direction, const std::string& apiName) {
  return ScanMidiPorts(direction, apiName).names;
}

}  // namespace ampora
