#include "midi_sender.h"

#include "support/test_jack_client.h"

#include <rtmidi/RtMidi.h>

namespace ampora::test {
namespace {

class JackMidiSender final : public MidiSender {
 public:
  explicit JackMidiSender(const std::string& clientName) : client_(clientName, 0, 0) {
    if (client_.ok()) port_ = client_.AddMidiOutput("keys");
  }

  bool ok() const { return client_.ok() && !port_.empty(); }

  void Send(const std::vector<unsigned char>& message) override { client_.SendMidi(message); }

 private:
  TestJackClient client_;
  std::string port_;
};

class RtMidiSender final : public MidiSender {
 public:
  RtMidiSender(RtMidi::Api api, const std::string& clientName) : out_(api, clientName) {
    out_.openVirtualPort("keys");
  }

  void Send(const std::vector<unsigned char>& message) override { out_.sendMessage(&message); }

 private:
  RtMidiOut out_;
};

}  // namespace

std::unique_ptr<MidiSender> MidiSender::Open(const std::string& api,
                                             const std::string& clientName) {
  if (api == "jack") {
    auto sender = std::make_unique<JackMidiSender>(clientName);
    if (!sender->ok()) return nullptr;
    return sender;
  }
  try {
    return std::make_unique<RtMidiSender>(RtMidi::getCompiledApiByName(api), clientName);
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

}  // namespace ampora::test
