#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "render/offline_render.h"
#include "render/render_error.h"
#include "settings/settings_location.h"
#include "settings/settings_store.h"

// ampora-render: renders a sound file through a bank (see RenderUsage()).

namespace {

std::atomic<bool> interrupted{false};

void OnSignal(int) {
  interrupted = true;
}

// A progress line on a terminal, redrawn at most ten times a second.
class ProgressLine {
 public:
  explicit ProgressLine(int32_t sampleRate) : sampleRate_(sampleRate) {}

  bool operator()(int64_t done, int64_t total) {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ >= std::chrono::milliseconds(100) || done == total) {
      lastDrawn_ = now;
      std::fprintf(stderr, "\rrendering %5.1f %%  %.1f / %.1f s", 100.0 * done / total,
                   static_cast<double>(done) / sampleRate_,
                   static_cast<double>(total) / sampleRate_);
      std::fflush(stderr);
      drawn_ = true;
    }
    return !interrupted;
  }
  // Clears the line for what is printed next.
  void Clear() const {
    if (drawn_) std::fprintf(stderr, "\r\033[K");
  }

 private:
  int32_t sampleRate_;
  std::chrono::steady_clock::time_point lastDrawn_{};
  bool drawn_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const ampora::ParsedOptions parsed =
      ampora::ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "ampora-render: %s\nTry 'ampora-render --help'.\n", parsed.error.c_str());
    return 2;
  }
  if (parsed.options.help) {
    std::fputs(ampora::RenderUsage().c_str(), stdout);
    return 0;
  }

  ampora::RenderOptions options = parsed.options;
  // Finding the program's own file may create the per-user settings folder; a render
  // with --ini leaves it alone.
  if (options.iniFile.empty()) {
    ampora::InitSettingsPaths();
    options.iniFile = ampora::SettingsIniPath;
  }

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  ProgressLine line(options.sampleRate);
  ampora::RenderProgress progress = [](int64_t, int64_t) { return !interrupted; };
  if (isatty(STDERR_FILENO) == 1) progress = std::ref(line);

  try {
    const ampora::RenderResult result = ampora::RenderFile(options, progress);
    line.Clear();
    const double audioSeconds = static_cast<double>(result.frames) / options.sampleRate;
    std::fprintf(stderr, "rendered %.2f s of audio in %.2f s: %.0fx real time\n", audioSeconds,
                 result.seconds, result.seconds > 0 ? audioSeconds / result.seconds : 0.0);
    if (result.abandonedBlocks > 0) {
      std::fprintf(stderr,
                   "warning: an arithmetic error in an effect cut %d of the blocks short, as it "
                   "would live\n",
                   result.abandonedBlocks);
    }
    return 0;
  } catch (const ampora::RenderError& error) {
    line.Clear();
    std::fprintf(stderr, "ampora-render: %s\n", error.what());
    return interrupted ? 130 : 1;
  }
}
