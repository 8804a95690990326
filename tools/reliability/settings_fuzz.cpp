// ampora-settings-fuzz: generated settings files through the program's start-up and
// shut-down (reliability/startup_shutdown_cycle.h), counting crashes, hangs and written
// files that are no valid settings file.
//
//   ampora-settings-fuzz [--files N] [--first-seed S] [--hang-limit SECONDS]
//   ampora-settings-fuzz --seed S      one file, its texts kept to look at
//
// The files run in a child process, which a crash (a signal, a sanitizer's report) or a
// hang (one file taking longer than the limit: the child is killed) ends; the parent
// counts it with its seed and goes on in a new child from the next seed. Exit status 0
// when every file passed, 1 otherwise.

#include <malloc.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "reliability/settings_file_generator.h"
#include "reliability/startup_shutdown_cycle.h"
#include "settings/profile_file.h"
#include "util/files.h"

namespace ampora::reliability {
namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  uint64_t files = 1000000;
  uint64_t firstSeed = 0;
  double hangLimitSeconds = 300;
  bool single = false;  // --seed: one file, kept
};

// What the child tells the parent, in memory both share.
struct Progress {
  std::atomic<uint64_t> seed;      // the file being run
  std::atomic<uint64_t> finished;  // files done, over every child
  std::atomic<uint64_t> invalid;
  std::atomic<uint64_t> reported;  // ended by the error report (ErrorCatch on)
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--files") {
      options.files = std::strtoull(value, nullptr, 10);
    } else if (arg == "--first-seed") {
      options.firstSeed = std::strtoull(value, nullptr, 10);
    } else if (arg == "--seed") {
      options.firstSeed = std::strtoull(value, nullptr, 10);
      options.files = 1;
      options.single = true;
    } else if (arg == "--hang-limit") {
      options.hangLimitSeconds = std::strtod(value, nullptr);
    } else {
      return false;
    }
  }
  return options.hangLimitSeconds > 0;
}

std::string MakeWorkFolder() {
  const char* shm = "/dev/shm";
  const char* tmp = getenv("TMPDIR");
  const char* base = access(shm, W_OK) == 0 ? shm : (tmp != nullptr ? tmp : "/tmp");
  std::string pattern = std::string(base) + "/ampora-settings-fuzz-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern + "/";
}

void ReportFailure(const char* program, uint64_t seed, const std::string& what) {
  std::fprintf(stderr, "settings fuzz: seed %llu: %s\n  replay: %s --seed %llu\n",
               static_cast<unsigned long long>(seed), what.c_str(), program,
               static_cast<unsigned long long>(seed));
}

// The child's work: the files from seed on, through one rig.
void RunFiles(const char* program, const std::string& folder, uint64_t seed, uint64_t end,
              Progress& progress) {
  StartUpShutDownRig rig(folder);
  for (; seed < end; ++seed) {
    progress.seed.store(seed);
    const std::string generated = GenerateSettingsFile(seed);
    const CycleOutcome first = rig.Run(generated);
    // A file the store refuses, or a run the error report ended, has no next run to judge.
    const bool judgedOnce = first.endedByErrorReport || generated.size() > kMaxProfileFileBytes;
    const CycleOutcome second = judgedOnce ? CycleOutcome{} : rig.Run(first.written);
    const std::string fault = CycleFault(generated, first, second);
    if (!fault.empty()) {
      progress.invalid.fetch_add(1);
      ReportFailure(program, seed, fault);
    }
    if (first.endedByErrorReport) progress.reported.fetch_add(1);
    progress.finished.fetch_add(1);
  }
}

// One file, with its three texts left in the work folder.
int RunOne(const char* program, const std::string& folder, uint64_t seed) {
  StartUpShutDownRig rig(folder);
  const std::string generated = GenerateSettingsFile(seed);
  const CycleOutcome first = rig.Run(generated);
  const CycleOutcome second = rig.Run(first.written);
  ReplaceFileAtomically(folder + "generated.ini", generated);
  ReplaceFileAtomically(folder + "first.ini", first.written);
  ReplaceFileAtomically(folder + "second.ini", second.written);
  if (first.endedByErrorReport)
    std::printf("ended by the error report: %s\n", first.errorText.c_str());
  const std::string fault = CycleFault(generated, first, second);
  if (!fault.empty()) ReportFailure(program, seed, fault);
  std::printf("seed %llu: %s; generated.ini, first.ini, second.ini in %s\n",
              static_cast<unsigned long long>(seed), fault.empty() ? "passed" : "FAILED",
              folder.c_str());
  return fault.empty() ? 0 : 1;
}

struct Tally {
  std::vector<uint64_t> crashes;
  std::vector<uint64_t> hangs;
  bool interrupted = false;
};

// Ctrl-C or a termination request ends the run early, with the summary of the files done.
volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) {
  stopRequested = 1;
}

// Runs the child until it finishes, crashes or hangs; returns the seed to go on from.
uint64_t Supervise(const char* program, const std::string& folder, uint64_t from, uint64_t end,
                   const Options& options, Progress& progress, Tally& tally) {
  progress.seed.store(from);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    RunFiles(program, folder, from, end, progress);
    std::fflush(nullptr);
    _exit(0);
  }
  if (child < 0) {
    std::perror("settings fuzz: fork");
    std::exit(2);
  }
  uint64_t watched = progress.seed.load();
  Clock::time_point since = Clock::now();
  Clock::time_point lastReport = since;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(child, &status, WNOHANG);
    const uint64_t seed = progress.seed.load();
    if (done == child) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return end;
      tally.crashes.push_back(seed);
      ReportFailure(program, seed,
                    WIFSIGNALED(status)
                        ? "crashed, signal " + std::to_string(WTERMSIG(status))
                        : "crashed, exit status " + std::to_string(WEXITSTATUS(status)));
      progress.finished.fetch_add(1);
      return seed + 1;
    }
    if (stopRequested != 0) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      tally.interrupted = true;
      return end;
    }
    const Clock::time_point now = Clock::now();
    if (seed != watched) {
      watched = seed;
      since = now;
    } else if (std::chrono::duration<double>(now - since).count() > options.hangLimitSeconds) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      tally.hangs.push_back(seed);
      char what[64];
      std::snprintf(what, sizeof what, "hung (killed after %.0f s)", options.hangLimitSeconds);
      ReportFailure(program, seed, what);
      progress.finished.fetch_add(1);
      return seed + 1;
    }
    if (now - lastReport > std::chrono::seconds(60)) {
      lastReport = now;
      std::fprintf(stderr, "settings fuzz: %llu of %llu files\n",
                   static_cast<unsigned long long>(progress.finished.load()),
                   static_cast<unsigned long long>(options.files));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int Main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--files N] [--first-seed S] [--hang-limit SECONDS]\n"
                 "       %s --seed S\n",
                 argv[0], argv[0]);
    return 2;
  }
  const std::string folder = MakeWorkFolder();
  if (folder.empty()) {
    std::perror("settings fuzz: work folder");
    return 2;
  }
  if (options.single) return RunOne(argv[0], folder, options.firstSeed);

  void* shared =
      mmap(nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) {
    std::perror("settings fuzz: shared memory");
    return 2;
  }
  auto* progress = new (shared) Progress{};
  // Every start-up allocates its rings afresh (some 10 MB): kept in the heap rather than
  // mapped and unmapped each time, they cost no page faults. Without effect under the
  // sanitizers, whose allocator is their own.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  Tally tally;
  const Clock::time_point start = Clock::now();
  const uint64_t end = options.firstSeed + options.files;
  signal(SIGINT, RequestStop);
  signal(SIGTERM, RequestStop);
  for (uint64_t seed = options.firstSeed; seed < end;) {
    seed = Supervise(argv[0], folder, seed, end, options, *progress, tally);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::filesystem::remove_all(folder);

  const uint64_t invalid = progress->invalid.load();
  std::printf(
      "settings fuzz: %llu files (seeds %llu..%llu) in %.0f s, %.0f files/s\n"
      "  crashes: %zu, hangs: %zu, invalid written files: %llu\n"
      "  ended by the error report (ErrorCatch on in the file): %llu%s\n",
      static_cast<unsigned long long>(progress->finished.load()),
      static_cast<unsigned long long>(options.firstSeed), static_cast<unsigned long long>(end - 1),
      seconds, static_cast<double>(progress->finished.load()) / seconds, tally.crashes.size(),
      tally.hangs.size(), static_cast<unsigned long long>(invalid),
      static_cast<unsigned long long>(progress->reported.load()),
      tally.interrupted ? "\n  stopped before the last file" : "");
  const bool passed = tally.crashes.empty() && tally.hangs.empty() && invalid == 0;
  return passed && !tally.interrupted ? 0 : 1;
}

}  // namespace
}  // namespace ampora::reliability

int main(int argc, char** argv) {
  return ampora::reliability::Main(argc, argv);
}
