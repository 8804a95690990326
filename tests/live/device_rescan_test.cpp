#include <gtest/gtest.h>
#include <jack/jack.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "live/live_rig.h"

namespace ampora::test {
namespace {

// A JACK client with one output port: to the program, a capture device named after the
// client, present while the object lives.
class JackSource {
 public:
  explicit JackSource(const char* name) {
    client_ = jack_client_open(name, JackNoStartServer, nullptr);
    if (client_ == nullptr) return;
    if (jack_port_register(client_, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0) ==
            nullptr ||
        jack_activate(client_) != 0) {
      jack_client_close(client_);
      client_ = nullptr;
    }
  }
  ~JackSource() {
    if (client_ != nullptr) jack_client_close(client_);
  }
  JackSource(const JackSource&) = delete;
  JackSource& operator=(const JackSource&) = delete;

  bool ok() const { return client_ != nullptr; }

 private:
  jack_client_t* client_ = nullptr;
};

class DeviceRescanTest : public LiveTest {
 protected:
  std::string InputName(int32_t id) { return Live().WaveDevices().DeviceName(1, id); }
  int32_t ChosenInput() { return Live().WaveInChoice().IdToOpen(); }
};

TEST_F(DeviceRescanTest, TheChosenDevicesFollowTheirNamesThroughARenumbering) {
  if (std::getenv("JACK_DEFAULT_SERVER") == nullptr) {
    GTEST_SKIP() << "JACK_DEFAULT_SERVER is not set: run scripts/test, which starts a JACK "
                    "server with the dummy driver";
  }
  auto unplugged = std::make_unique<JackSource>("ampora-rescan-a");
  auto kept = std::make_unique<JackSource>("ampora-rescan-b");
  ASSERT_TRUE(unplugged->ok() && kept->ok());
  devices.api = "jack";
  devices.realDevices = true;
  StartWith("[conf]\nDeviceIn=ampora-rescan-b\nDeviceOut=system\n");
  const int32_t before = ChosenInput();
  const int32_t output = Live().WaveOutChoice().IdToOpen();
  ASSERT_EQ(InputName(before), "ampora-rescan-b");
  ASSERT_LT(Live().WaveDevices().DeviceIdByName(1, "ampora-rescan-a", 0), before)
      << "the device that goes comes first, so that its going renumbers the kept one";

  unplugged.reset();
  EXPECT_GE(Live().WaveDevices().DeviceIdByName(1, "ampora-rescan-a", 0), 0)
      << "the lists stay as they were until they are read again";
  Live().RescanDevices();
  EXPECT_NE(ChosenInput(), before);
  EXPECT_EQ(InputName(ChosenInput()), "ampora-rescan-b");
  EXPECT_EQ(Live().WaveOutChoice().IdToOpen(), output);
  EXPECT_EQ(Live().WaveDevices().DeviceIdByName(1, "ampora-rescan-a", 0), -1);

  // JACK may give a newcomer the place of a client that left: no renumbering to follow
  // then, but the newcomer must be listed.
  const JackSource pluggedIn("ampora-rescan-c");
  ASSERT_TRUE(pluggedIn.ok());
  Live().RescanDevices();
  EXPECT_GE(Live().WaveDevices().DeviceIdByName(1, "ampora-rescan-c", 0), 0);
  EXPECT_EQ(InputName(ChosenInput()), "ampora-rescan-b");

  kept.reset();
  Live().RescanDevices();
  EXPECT_EQ(ChosenInput(), -1) << "a chosen device that is gone: the default one";
  Live().ButtonClicked(kStartButton);
  EXPECT_EQ(Engine().WaveDeviceId[0], -1) << "Start opens what the choice says";
  Live().ShutDown();
  EXPECT_EQ(Stored("conf", "DeviceIn"), "ampora-rescan-b") << "kept for when it is back";
  EXPECT_EQ(Stored("conf", "DeviceOut"), "system");
}

}  // namespace
}  // namespace ampora::test
