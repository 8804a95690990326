#include "engine_rig.h"

#include <gtest/gtest.h>

#include "util/message_seam.h"
#include "util/pending_events.h"

namespace ampora::test {

int RecordingChain::ProcessBlock(int32_t start, int32_t) {
  starts.push_back(start);
  if (inside) inside();
  return 1;
}

int32_t ScriptedOutput::Open(int32_t, const WaveFormat&) {
  return openResult;
}

std::string ScriptedOutput::ErrorText(int32_t code) const {
  return "scripted failure " + std::to_string(code);
}

int32_t ScriptedOutput::Write(WaveHeader* header) {
  header->ClearDone();
  written.push_back(header);
  return kDeviceOk;
}

void ScriptedOutput::Close() {
  lost = false;
  for (WaveHeader* header : written) header->MarkDone();
  written.clear();
}

HandledBlocks::HandledBlocks(const StreamEngine& engine)
    : engine_(engine), seen_(engine.NextBlock()) {
  blocks.reserve(200000);
  SetPendingEventsHook([this] {
    if (engine_.NextBlock() != seen_) blocks.push_back(seen_);
    seen_ = engine_.NextBlock();
  });
}

void HandledBlocks::Stop() {
  SetPendingEventsHook({});
}

void HandledBlocks::ExpectEachOnceInOrder(int32_t blockCount) const {
  ASSERT_FALSE(blocks.empty());
  for (size_t i = 0; i < blocks.size(); ++i) {
    ASSERT_EQ(blocks[i], static_cast<int32_t>(i % static_cast<size_t>(blockCount)))
        << "handled block " << i;
  }
}

MessageLog::MessageLog() {
  SetMessageHook([this](const std::string& text, int32_t style, const std::string& caption) {
    messages.push_back({text, style, caption});
    return kIdOk;
  });
}

MessageLog::~MessageLog() {
  SetMessageHook({});
}

namespace {
DeviceConfig BuiltinOnly(DeviceConfig config) {
  config.realDevices = false;
  return config;
}
}  // namespace

EngineRig::EngineRig(WaveOutDevice* output, DeviceConfig config)
    : devices(BuiltinOnly(std::move(config)), &clock),
      engine(devices.WaveIn(), output != nullptr ? *output : devices.WaveOut(), chain) {}

EngineRig::~EngineRig() {
  SetPendingEventsHook({});
  engine.CloseStream();
}

void EngineRig::Start(int32_t input, int32_t output) {
  engine.WaveDeviceId = {input, output};
  engine.InitStream();
  engine.OpenStream();
  ASSERT_EQ(engine.StreamRunning(), 1);
}

}  // namespace ampora::test
