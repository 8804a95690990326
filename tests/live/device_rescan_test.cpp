#include <gtest/gtest.h>
#include "support/test_jack_client.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "live/live_rig.h"

namespace ampora::test {
namespace {

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
  auto unplugged = std::make_unique<TestJackClient>("ampora-rescan-a", 1, 0);
  auto kept = std::make_unique<TestJackClient>("ampora-rescan-b", 1, 0);
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
  // A client with an output port: to the program, a capture device named after it.
  const TestJackClient pluggedIn("ampora-rescan-c", 1, 0);
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
