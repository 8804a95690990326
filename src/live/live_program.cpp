#include "live/live_program.h"

#include <utility>

#include "live/process_priority.h"
#include "live/single_instance.h"
#include "settings/settings_batch.h"
#include "settings/settings_location.h"
#include "util/debug_trace.h"

namespace ampora {

LiveProgram::LiveProgram(LiveFrontEnd& frontEnd, std::string lockFolder)
    : frontEnd_(frontEnd), lockFolder_(std::move(lockFolder)) {}

int LiveProgram::Run(const std::string& arguments) {
  SingleInstance instance(lockFolder_);
  if (instance.OtherInstanceRunning()) return 0;
  InitSettingsPaths();
  {
    // The only batch of the start-up: whatever is read or written back meanwhile reaches
    // the settings file in one replacement.
    SettingsBatch batch;
    live_ = &frontEnd_.Build(ReadLiveSetup());
    RaiseProcessPriority();
    frontEnd_.Load();
  }
  started_ = true;
  if (!endAsked_) live_->ObeyCommandLine(arguments);
  // The loop is not running yet: an end asked for meanwhile would be lost there.
  if (endAsked_) {
    End();
    return 0;
  }
  const int result = frontEnd_.RunLoop();
  Trace("counts " + live_->CountsReport());
  return result;
}

void LiveProgram::AskToEnd() {
  endAsked_ = true;
  if (started_) End();
}

void LiveProgram::End() {
  if (ended_) return;
  ended_ = true;
  frontEnd_.Unload();
  frontEnd_.EndLoop();
}

}  // namespace ampora
