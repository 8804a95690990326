#include "audio/device_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine_rig.h"
#include "support/scoped_locale.h"
#include "util/message_seam.h"

namespace ampora::test {
namespace {

// A catalogue over fixed lists: direction 1 = inputs, 0 = outputs.
DeviceCatalogue Catalogue(std::vector<std::string> inputs, std::vector<std::string> outputs = {}) {
  return DeviceCatalogue(
      [inputs, outputs](int32_t direction) { return direction == 1 ? inputs : outputs; });
}

TEST(SameDeviceName, IgnoresTheNumberingOfDuplicateDevices) {
  EXPECT_TRUE(SameDeviceName("Line In (2- USB Audio)", "line in (usb audio)"));
  EXPECT_TRUE(SameDeviceName("Line In (2- USB Audio)", "Line In (3- USB Audio)"));
  EXPECT_TRUE(SameDeviceName("2- USB Audio", "3- USB Audio"));
  EXPECT_TRUE(SameDeviceName("MIC", "mic"));
  EXPECT_TRUE(SameDeviceName("マイク (2- USB オーディオ)", "マイク (USB オーディオ)"));
  EXPECT_TRUE(SameDeviceName("2- マイク", "3- マイク"));
}

TEST(SameDeviceName, StripsByPositionSoSomeNamesNoLongerMatch) {
  // "sb live" loses its "s" because its third character is a space.
  EXPECT_FALSE(SameDeviceName("2- SB Live", "SB Live"));
  EXPECT_FALSE(SameDeviceName("Mic 2", "Mic"));
  EXPECT_FALSE(SameDeviceName("Line In (6- USB Audio)", "Line In (USB Audio)")) << "only 0..5";
  EXPECT_FALSE(SameDeviceName("2- b", "b")) << "4 characters or fewer stay as they are";
  EXPECT_FALSE(SameDeviceName("マイク 2", "マイク")) << "counted in characters, not bytes";
}

TEST(DeviceIdByName, FindsNamesNumbersAndNothing) {
  MessageLog log;
  const DeviceCatalogue catalogue = Catalogue({"Line In (USB Audio)", "  Built-in Mic "});
  EXPECT_EQ(catalogue.DeviceIdByName(1, "", 0), 0);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "   ", 0), 0);
  EXPECT_EQ(catalogue.DeviceIdByName(1, " 3 ", 0), 3) << "a number is taken as it is";
  EXPECT_EQ(catalogue.DeviceIdByName(1, "-1", 0), -1);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "2.5", 0), 2);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "1e99", 0), -1) << "too large for an id";
  EXPECT_EQ(catalogue.DeviceIdByName(1, "BUILT-IN MIC", 0), 1);
  EXPECT_EQ(catalogue.DeviceIdByName(1, " line in (usb audio)", 0), 0);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "Line In (2- USB Audio)", 0), -1);
  EXPECT_EQ(catalogue.DeviceIdByName(0, "anything", 0), 0) << "no output devices at all";
  EXPECT_TRUE(log.messages.empty());
}

// A number is read as every number of the settings is: whole, with "." as decimal point
// whatever the locale, ties to even.
TEST(DeviceIdByName, NumbersAreSettingsNumbers) {
  const DeviceCatalogue catalogue = Catalogue({"Line In", "0x1", "2nd Mic"});
  ScopedLocale comma("de_DE");
  if (!comma.active()) GTEST_SKIP() << "the locale de_DE cannot be built here";
  EXPECT_EQ(catalogue.DeviceIdByName(1, "3.5", 0), 4);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "+2", 0), 2);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "1e1", 0), 10);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "0x1", 0), 1) << "a name, not hexadecimal";
  EXPECT_EQ(catalogue.DeviceIdByName(1, "2nd mic", 0), 2);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "3,5", 0), -1);
}

TEST(DeviceIdByName, WarnsAndThenMatchesLoosely) {
  MessageLog log;
  const DeviceCatalogue catalogue = Catalogue({"Speakers", "Line In (USB Audio)"});
  EXPECT_EQ(catalogue.DeviceIdByName(1, "Line In (2- USB Audio)", 1), 1);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "Gone Device", 1), -1);
  ASSERT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(log.messages[1].text, "この名前のデバイスを検出できませんでした\nGone Device");
  EXPECT_EQ(log.messages[1].style, kMbOk | kMbIconError);
  EXPECT_EQ(catalogue.DeviceIdByName(1, "speakers", 1), 0);
  EXPECT_EQ(log.messages.size(), 2u) << "a name found needs no warning";
}

TEST(DeviceName, NamesIdsAndNothingElse) {
  const DeviceCatalogue catalogue = Catalogue({std::string("Mic\0garbage", 11), " Line "});
  EXPECT_EQ(catalogue.DeviceName(1, 0), "Mic");
  EXPECT_EQ(catalogue.DeviceName(1, 1), "Line");
  EXPECT_EQ(catalogue.DeviceName(1, -1), "") << "the default device is saved as an empty name";
  EXPECT_EQ(catalogue.DeviceName(1, 2), "");
  EXPECT_EQ(catalogue.DeviceName(0, 0), "");
}

TEST(ListDevices, FillsTheListAndSelectsTheStoredName) {
  const DeviceCatalogue catalogue =
      Catalogue({"Speakers", "Line In (USB Audio)", "line in (usb audio)"});
  TextChoiceList list;
  list.AddItem("stale");
  catalogue.ListDevices(list, 1, " LINE IN (USB AUDIO) ");
  EXPECT_EQ(list.items,
            (std::vector<std::string>{"Speakers", "Line In (USB Audio)", "line in (usb audio)"}));
  EXPECT_EQ(list.selected, 1) << "the first entry that matches";

  catalogue.ListDevices(list, 1, "Line In (3- USB Audio)");
  EXPECT_EQ(list.selected, 1) << "loose match";
  catalogue.ListDevices(list, 1, "Headphones");
  EXPECT_EQ(list.items.size(), 3u);
  EXPECT_EQ(list.selected, -1);
  catalogue.ListDevices(list, 1, "");
  EXPECT_EQ(list.selected, -1);
  catalogue.ListDevices(list, 0, "Speakers");
  EXPECT_TRUE(list.items.empty());
  EXPECT_EQ(list.selected, -1);
}

TEST(DeviceCatalogue, WaveDevicesComeFromTheDeviceLayer) {
  ManualClock clock;
  AudioDevices devices(DeviceConfig{"", "", "", false}, &clock);
  const DeviceCatalogue catalogue([&](int32_t direction) { return devices.Names(direction); });
  EXPECT_EQ(catalogue.DeviceIdByName(1, "WAV file", 0), kWavFileIn);
  EXPECT_EQ(catalogue.DeviceIdByName(0, "wav recorder", 0), kRecorderOut);
  EXPECT_EQ(catalogue.DeviceName(1, kTestToneIn), "test tone");
}

// MIDI ports as RtMidi lists the ALSA sequencer's: "client:port" names followed by the
// client and port numbers, which change when a program restarts or gear is plugged in
// another order.
TEST(SequencerPorts, NamesMatchWithoutTheirNumbersUnlessTheNumbersMustDecide) {
  const std::vector<std::string> ports = {"Midi Through:Midi Through Port-0 14:0",
                                          "USB MIDI:USB MIDI MIDI 1 20:0", "VMPK Output:out 128:0",
                                          "USB MIDI:USB MIDI MIDI 1 24:0"};
  const DeviceCatalogue catalogue([&](int32_t) { return ports; }, DeviceNumbering::kSequencerPorts);
  const std::vector<std::pair<std::string, int32_t>> lookups = {
      {"VMPK Output:out", 2},
      {"VMPK Output:out 130:0", 2},  // stored with the numbers of an earlier run
      {"vmpk output:out 128:0", 2},
      {"USB MIDI:USB MIDI MIDI 1 24:0", 3},  // two ports of the name: the numbers decide
      {"USB MIDI:USB MIDI MIDI 1 20:0", 1},
      {"USB MIDI:USB MIDI MIDI 1 28:0", 1},  // neither: the first
      {"USB MIDI:USB MIDI MIDI 1", 1},
      {"VMPK Output", -1},
      {"", 0},
  };
  for (const auto& [name, id] : lookups) {
    EXPECT_EQ(catalogue.DeviceIdByName(1, name, 0), id) << name;
  }
  EXPECT_EQ(catalogue.NameToKeep(1, 2), "VMPK Output:out");
  EXPECT_EQ(catalogue.NameToKeep(1, 3), "USB MIDI:USB MIDI MIDI 1 24:0") << "one of two";
  EXPECT_EQ(catalogue.NameToKeep(1, 4), "");

  TextChoiceList list;
  catalogue.ListDevices(list, 1, "VMPK Output:out 131:0");
  EXPECT_EQ(list.selected, 2);
  EXPECT_EQ(list.items[2], "VMPK Output:out 128:0") << "the list shows the numbers";

  const DeviceCatalogue wave = Catalogue({"Card 1:0"});
  EXPECT_EQ(wave.DeviceIdByName(1, "Card", 0), -1) << "other lists keep their numbers";
  EXPECT_EQ(wave.NameToKeep(1, 0), "Card 1:0");
}

TEST(SequencerPorts, OnlyTrailingClientAndPortNumbersGo) {
  EXPECT_EQ(WithoutPortNumbers("VMPK Output:out 128:0"), "VMPK Output:out");
  EXPECT_EQ(WithoutPortNumbers(" keys  14:0  "), "keys");
  EXPECT_EQ(WithoutPortNumbers("128:0"), "128:0") << "no name left";
  EXPECT_EQ(WithoutPortNumbers("keys 14:"), "keys 14:");
  EXPECT_EQ(WithoutPortNumbers("keys :0"), "keys :0");
  EXPECT_EQ(WithoutPortNumbers("keys 1a:0"), "keys 1a:0");
  EXPECT_EQ(WithoutPortNumbers("system:midi_capture_1"), "system:midi_capture_1");
}

}  // namespace
}  // namespace ampora::test
