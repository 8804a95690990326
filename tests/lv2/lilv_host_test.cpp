#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/sample_conversion.h"
#include "effects/effect_catalogue.h"
#include "lv2/plugin_ports.h"
#include "lv2/plugin_uris.h"
#include "plugin_reference.h"
#include "support/allocation_counter.h"
#include "support/temp_folder.h"

// The bundle of the build tree in a host of our own, built on lilv as many hosts are:
// what hosts read of it, what they hear, what they save.

namespace ampora {
namespace {

constexpr uint32_t kLatency = 309;
constexpr uint32_t kLongestHostBlock = 8192;

// URIDs as a host hands them out.
class UridMap {
 public:
  UridMap() {
    map_.handle = this;
    map_.map = [](LV2_URID_Map_Handle handle, const char* uri) {
      auto& ids = static_cast<UridMap*>(handle)->ids_;
      return ids.try_emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
    };
    unmap_.handle = this;
    unmap_.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) -> const char* {
      for (const auto& [uri, id] : static_cast<UridMap*>(handle)->ids_) {
        if (id == urid) return uri.c_str();
      }
      return nullptr;
    };
  }
  LV2_URID_Map* map() { return &map_; }
  LV2_URID_Unmap* unmap() { return &unmap_; }
  LV2_URID Map(const char* uri) { return map_.map(this, uri); }
  const LV2_Feature* const* features() const { return features_; }

 private:
  std::map<std::string, LV2_URID> ids_;
  LV2_URID_Map map_{};
  LV2_URID_Unmap unmap_{};
  const LV2_Feature mapFeature_{LV2_URID__map, &map_};
  const LV2_Feature unmapFeature_{LV2_URID__unmap, &unmap_};
  const LV2_Feature* features_[3] = {&mapFeature_, &unmapFeature_, nullptr};
};

class HostedInstance;

// The world with the bundle of the build tree loaded.
class LilvHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, AMPORA_LV2_BUNDLE "/");
    lilv_world_load_bundle(world_, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world_, kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
    ASSERT_NE(plugin_, nullptr) << "the bundle at " AMPORA_LV2_BUNDLE " lists no plugin";
  }
  void TearDown() override {
    for (LilvNode* node : nodes_) lilv_node_free(node);
    lilv_world_free(world_);
  }

  const LilvNode* Uri(const char* uri) {
    nodes_.push_back(lilv_new_uri(world_, uri));
    return nodes_.back();
  }

  // The instance, its bank port moved to bank, plays as a new one given that bank's values
  // through its controls.
  void ExpectBankPlays(HostedInstance& instance, int bank, const test::TestBank& values);

  LilvWorld* world_ = lilv_world_new();
  const LilvPlugin* plugin_ = nullptr;
  UridMap urids_;
  std::vector<LilvNode*> nodes_;
};

// An instance with every port connected and the controls at their defaults.
class HostedInstance {
 public:
  HostedInstance(const LilvPlugin* plugin, UridMap& urids, double rate = 44100)
      : instance_(lilv_plugin_instantiate(plugin, rate, urids.features())),
        controls_(PluginPorts().size()) {
    if (instance_ == nullptr) return;
    for (uint32_t p = 0; p < controls_.size(); ++p) {
      controls_[p] = static_cast<float>(PluginPorts()[p].defaultValue);
      lilv_instance_connect_port(instance_, p, &controls_[p]);
    }
    lilv_instance_connect_port(instance_, kInPort, in_.data());
    lilv_instance_connect_port(instance_, kOutLeftPort, left_.data());
    lilv_instance_connect_port(instance_, kOutRightPort, right_.data());
    lilv_instance_activate(instance_);
  }
  ~HostedInstance() {
    if (instance_ == nullptr) return;
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
  }
  HostedInstance(const HostedInstance&) = delete;
  HostedInstance& operator=(const HostedInstance&) = delete;

  LilvInstance* get() { return instance_; }
  // Deactivated and activated again: a fresh start with the same setting.
  void Restart() {
    lilv_instance_deactivate(instance_);
    lilv_instance_activate(instance_);
  }
  float& Control(uint32_t port) { return controls_[port]; }
  float Latency() const { return controls_[kLatencyPort]; }

  void SetBank(const test::TestBank& bank) { test::SetControls(bank, controls_); }

  // The input in host blocks of the lengths given, over and over.
  std::vector<Frame> Process(const std::vector<int16_t>& input,
                             const std::vector<uint32_t>& blocks) {
    return test::ProcessInBlocks(input, blocks, in_.data(), left_.data(), right_.data(),
                                 [&](uint32_t count) {
                                   const uint64_t before = test::AllocationCount();
                                   lilv_instance_run(instance_, count);
                                   runAllocations += test::AllocationCount() - before;
                                 });
  }

  uint64_t runAllocations = 0;

 private:
  LilvInstance* instance_;
  std::vector<float> controls_;
  std::vector<float> in_ = std::vector<float>(kLongestHostBlock);
  std::vector<float> left_ = std::vector<float>(kLongestHostBlock);
  std::vector<float> right_ = std::vector<float>(kLongestHostBlock);
};

void LilvHostTest::ExpectBankPlays(HostedInstance& instance, int bank,
                                   const test::TestBank& values) {
  const std::vector<int16_t> input = test::GuitarInput(10 * kLatency);
  instance.Control(kBankPort) = static_cast<float>(bank);
  HostedInstance reference(plugin_, urids_);
  reference.SetBank(values);
  EXPECT_EQ(test::Samples(instance.Process(input, {256})),
            test::Samples(reference.Process(input, {256})));
}

// The symbols hosts keep in their sessions: renaming or reordering one loses what users
// set. The effects come in the order the signal passes them, each with its on/off and
// its parameters.
std::vector<std::string> StableSymbols() {
  std::vector<std::string> symbols = {"in",   "out_l",   "out_r",     "latency",
                                      "Bank", "LevelIn", "LevelOutL", "LevelOutR"};
  const std::vector<std::pair<const char*, int>> rows = {
      {"PitchShift", 5}, {"Limiter", 5},    {"Compressor", 6}, {"Enhancer", 3},
      {"OverDrive", 4},  {"Distortion", 4}, {"Fuzz", 4},       {"GraphicEQ", 17},
      {"Tremolo", 3},    {"Flanger", 4},    {"Phaser", 4},     {"Chorus", 4},
      {"Vibrato", 3},    {"Echo", 3},       {"Delay", 5},      {"Reverb", 7}};
  for (const auto& [effect, count] : rows) {
    for (int row = 1; row <= count; ++row) {
      symbols.push_back(std::string(effect) + (row < 10 ? "_0" : "_") + std::to_string(row));
    }
  }
  return symbols;
}

const char* UnitUri(ParamUnit unit) {
  switch (unit) {
    case kPercent:
      return "http://lv2plug.in/ns/extensions/units#pc";
    case kMilliseconds:
      return "http://lv2plug.in/ns/extensions/units#ms";
    case kDecibels:
      return "http://lv2plug.in/ns/extensions/units#db";
    case kSemitones:
      return "http://lv2plug.in/ns/extensions/units#semitone12TET";
    case kUnitless:
      break;
  }
  return nullptr;
}

// What hosts read of the bundle is the effect catalogue: every row of every effect, with
// the editor's name, range, default and unit, under a symbol that never changes.
TEST_F(LilvHostTest, TheBundleDescribesEveryControlAsTheCatalogueDoes) {
  const std::vector<std::string> symbols = StableSymbols();
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin_), symbols.size());
  EXPECT_TRUE(lilv_plugin_has_latency(plugin_));
  EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin_), kLatencyPort);
  const LilvNode* integer = Uri(LV2_CORE__integer);
  const LilvNode* toggled = Uri(LV2_CORE__toggled);
  const LilvNode* unitOf = Uri("http://lv2plug.in/ns/extensions/units#unit");
  const LilvNode* input = Uri(LV2_CORE__InputPort);
  const LilvNode* control = Uri(LV2_CORE__ControlPort);
  int rows = 0;
  for (uint32_t p = 0; p < symbols.size(); ++p) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, p);
    SCOPED_TRACE(symbols[p]);
    EXPECT_EQ(lilv_node_as_string(lilv_port_get_symbol(plugin_, port)), symbols[p]);
    const PortSpec& declared = PluginPorts()[p];
    if (declared.role != PortRole::kEffectRow) continue;
    ++rows;
    const EffectSpec& effect = kEffectCatalogue[declared.effect];
    const ParamSpec param =
        declared.row == 0 ? ParamSpec{"", 0, 1, 0} : effect.params[declared.row - 1];
    LilvNode* name = lilv_port_get_name(plugin_, port);
    EXPECT_EQ(lilv_node_as_string(name),
              declared.row == 0 ? std::string(effect.name)
                                : std::string(effect.name) + " " + std::string(param.label));
    lilv_node_free(name);
    LilvNode* defaultValue = nullptr;
    LilvNode* min = nullptr;
    LilvNode* max = nullptr;
    lilv_port_get_range(plugin_, port, &defaultValue, &min, &max);
    EXPECT_EQ(lilv_node_as_float(defaultValue), param.defaultValue);
    EXPECT_EQ(lilv_node_as_float(min), param.min);
    EXPECT_EQ(lilv_node_as_float(max), param.max);
    for (LilvNode* node : {defaultValue, min, max}) lilv_node_free(node);
    EXPECT_TRUE(lilv_port_is_a(plugin_, port, input) && lilv_port_is_a(plugin_, port, control));
    EXPECT_TRUE(lilv_port_has_property(plugin_, port, integer));
    EXPECT_EQ(lilv_port_has_property(plugin_, port, toggled), declared.row == 0);
    LilvNodes* units = lilv_port_get_value(plugin_, port, unitOf);
    const char* unit = UnitUri(param.unit);
    EXPECT_EQ(units == nullptr ? 0u : lilv_nodes_size(units), unit == nullptr ? 0u : 1u);
    if (unit != nullptr && units != nullptr) {
      EXPECT_STREQ(lilv_node_as_uri(lilv_nodes_get_first(units)), unit);
    }
    lilv_nodes_free(units);
  }
  EXPECT_EQ(rows, kEffectCount + 65);
}

// A host's blocks of 64, 256 and 1000 frames, and of lengths that change from call to
// call: the output is ampora-render's one block later, and no call allocates.
TEST_F(LilvHostTest, AHostHearsWhatTheRendererWritesOneBlockLater) {
  const test::TestBank bank = test::BusyBank(true);
  const std::vector<int16_t> input = test::GuitarInput(88200);
  const std::vector<Frame> reference =
      test::RenderedReference(test::SectionText("Current", bank), "Current", input);
  const std::vector<std::vector<uint32_t>> patterns = {
      {64}, {256}, {1000}, {17, 512, 1, 2048, 309}};
  for (const std::vector<uint32_t>& blocks : patterns) {
    SCOPED_TRACE(blocks.size() == 1 ? std::to_string(blocks[0]) : "varying");
    HostedInstance instance(plugin_, urids_);
    ASSERT_NE(instance.get(), nullptr);
    instance.SetBank(bank);
    test::ExpectOneBlockLater(instance.Process(input, blocks), reference);
    EXPECT_EQ(instance.Latency(), kLatency);
    EXPECT_EQ(instance.runAllocations, 0u);
  }
}

TEST_F(LilvHostTest, RatesTheChainCannotPlayAreRefused) {
  EXPECT_EQ(HostedInstance(plugin_, urids_, 8000).get(), nullptr);
  EXPECT_NE(HostedInstance(plugin_, urids_, 48000).get(), nullptr);
}

// The host's state of an instance, as a string of a saved session, brings a second
// instance to the same working setting and the same settings file.
TEST_F(LilvHostTest, AStateSavedByTheHostRestoresSettingAndSettingsFile) {
  test::TempFolder folder;
  const std::string ini = folder.path() + "banks.ini";
  test::WriteFileText(ini, test::SectionText("Bank04", test::BusyBank(false)));
  test::TestBank heard = test::BusyBank(true);
  heard.fx[FxIndex(kEcho, 1)] = 4321;  // beyond the editor's range: no control can hold it
  const std::string working = test::SectionText("Current", heard);

  HostedInstance first(plugin_, urids_);
  ASSERT_NE(first.get(), nullptr);
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(first.get(), LV2_STATE__interface));
  ASSERT_NE(state, nullptr);
  // The first instance gets its setting and file as from a state of the host's making.
  struct Given {
    UridMap& urids;
    std::string working;
    std::string file;
  } given{urids_, working, ini};
  const LV2_State_Retrieve_Function retrieve = [](LV2_State_Handle handle, uint32_t key,
                                                  size_t* size, uint32_t* type,
                                                  uint32_t* flags) -> const void* {
    auto& g = *static_cast<Given*>(handle);
    *flags = LV2_STATE_IS_POD;
    const bool isFile = key == g.urids.Map(kSettingsFileUri);
    const std::string& value = isFile ? g.file : g.working;
    if (!isFile && key != g.urids.Map(kWorkingSettingUri)) return nullptr;
    *size = value.size() + 1;
    *type = g.urids.Map(isFile ? LV2_ATOM__Path : LV2_ATOM__String);
    return value.c_str();
  };
  ASSERT_EQ(
      state->restore(lilv_instance_get_handle(first.get()), retrieve, &given, 0, urids_.features()),
      LV2_STATE_SUCCESS);

  LilvState* saved = lilv_state_new_from_instance(
      plugin_, first.get(), urids_.map(), nullptr, nullptr, nullptr, nullptr,
      [](const char*, void*, uint32_t*, uint32_t*) -> const void* { return nullptr; }, nullptr,
      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, urids_.features());
  ASSERT_NE(saved, nullptr);
  char* text = lilv_state_to_string(world_, urids_.map(), urids_.unmap(), saved, "urn:test:session",
                                    nullptr);
  lilv_state_free(saved);
  ASSERT_NE(text, nullptr);
  const std::string session = text;
  lilv_free(text);
  EXPECT_NE(session.find("Echo-02=4321"), std::string::npos) << session;
  EXPECT_NE(session.find("banks.ini"), std::string::npos) << session;

  HostedInstance second(plugin_, urids_);
  LilvState* loaded = lilv_state_new_from_string(world_, urids_.map(), session.c_str());
  ASSERT_NE(loaded, nullptr);
  lilv_state_restore(loaded, second.get(), nullptr, nullptr, 0, urids_.features());
  lilv_state_free(loaded);
  const std::vector<int16_t> input = test::GuitarInput(20 * kLatency);
  first.Restart();
  EXPECT_EQ(test::Samples(second.Process(input, {256})),
            test::Samples(first.Process(input, {256})));

  second.Restart();
  ExpectBankPlays(second, 4, test::BusyBank(false));
}

// A new instance offers the banks of the program installed for this user, made on stage.
TEST_F(LilvHostTest, ANewInstanceOffersTheBanksOfTheInstalledProgram) {
  test::TempFolder config;
  const test::ScopedEnv home("XDG_CONFIG_HOME", config.path());
  ASSERT_EQ(mkdir((config.path() + "ampora").c_str(), 0700), 0);
  test::WriteFileText(config.path() + "ampora/ampora.ini",
                      "[conf]\nBufferMS=3\n" + test::SectionText("Bank12", test::BusyBank(false)));
  HostedInstance instance(plugin_, urids_);
  ExpectBankPlays(instance, 12, test::BusyBank(false));
}

// The preset bundle the README shows for giving a host another settings file: loading
// the preset makes that file's banks selectable and leaves the working setting alone.
TEST_F(LilvHostTest, APresetNamingASettingsFileMakesItsBanksSelectable) {
  test::TempFolder folder;
  const std::string ini = folder.path() + "studio.ini";
  test::WriteFileText(ini, test::SectionText("Bank02", test::BusyBank(false)));
  const std::string bundle = folder.path() + "my-ampora-banks.lv2/";
  ASSERT_EQ(mkdir(bundle.c_str(), 0700), 0);
  test::WriteFileText(bundle + "manifest.ttl",
                      "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
                      "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                      "<banks.ttl> a pset:Preset ;\n"
                      "    lv2:appliesTo <https://ampora.invalid/lv2/chain> ;\n"
                      "    rdfs:seeAlso <banks.ttl> .\n");
  test::WriteFileText(bundle + "banks.ttl",
                      "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                      "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                      "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                      "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                      "<> a pset:Preset ;\n"
                      "    lv2:appliesTo <https://ampora.invalid/lv2/chain> ;\n"
                      "    rdfs:label \"Studio banks\" ;\n"
                      "    state:state [ <https://ampora.invalid/lv2/chain#settingsFile> <file://" +
                          ini + "> ] .\n");
  LilvNode* bundleUri = lilv_new_file_uri(world_, nullptr, bundle.c_str());
  lilv_world_load_bundle(world_, bundleUri);
  lilv_node_free(bundleUri);
  LilvNode* presetUri = lilv_new_file_uri(world_, nullptr, (bundle + "banks.ttl").c_str());
  lilv_world_load_resource(world_, presetUri);  // as hosts load a preset's data
  LilvState* preset = lilv_state_new_from_world(world_, urids_.map(), presetUri);
  lilv_node_free(presetUri);
  ASSERT_NE(preset, nullptr);

  const std::vector<int16_t> input = test::GuitarInput(10 * kLatency);
  HostedInstance instance(plugin_, urids_);
  instance.Control(test::PortOf("Echo_01")) = 1;
  lilv_state_restore(preset, instance.get(), nullptr, nullptr, 0, urids_.features());
  lilv_state_free(preset);
  HostedInstance echo(plugin_, urids_);
  echo.Control(test::PortOf("Echo_01")) = 1;
  EXPECT_EQ(test::Samples(instance.Process(input, {256})),
            test::Samples(echo.Process(input, {256})));

  instance.Restart();
  ExpectBankPlays(instance, 2, test::BusyBank(false));
}

}  // namespace
}  // namespace ampora
