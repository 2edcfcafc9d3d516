// verselet-tool's clean-up and conversion commands against sed and uconv, each run as a process in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;

// Lyrics in valid code page 932: most lines start with a time tag, and one
// in four carries karaoke tags between its words of kana, kanji and ASCII;
// some lines are blank, some hold only spaces, tabs or full-width spaces.
// CR LF breaks, fixed seed.
std::string GenerateLyrics(std::size_t size) {
  std::mt19937 random(1932);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto tag = [&below] {
    char text[16];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d]", below(10), below(60), below(100));
    return std::string(text);
  };
  std::string text;
  text.reserve(size + 256);
  while (text.size() < size) {
    switch (below(10)) {
      case 0:
        text += "\r\n";
        continue;
      case 1:
        text += below(2) == 0 ? " \t\r\n" : "\x81\x40\x81\x40\r\n";
        continue;
      default:
        break;
    }
    text += tag();
    const bool karaoke = below(4) == 0;
    for (int word = 1 + below(6); word > 0; --word) {
      for (int c = 1 + below(4); c > 0; --c) {
        switch (below(4)) {
          case 0:  // hiragana
            text += '\x82';
            text += static_cast<char>(0x9F + below(0xF1 - 0x9F + 1));
            break;
          case 1: {  // level 1 kanji, whose rows 0x89 to 0x97 are full
            text += static_cast<char>(0x89 + below(0x97 - 0x89 + 1));
            const int trail = 0x40 + below(0xFC - 0x40);
            text += static_cast<char>(trail == 0x7F ? 0x80 : trail);
            break;
          }
          case 2:  // half-width katakana
            text += static_cast<char>(0xB1 + below(0xDD - 0xB1 + 1));
            break;
          default:
            text += static_cast<char>('a' + below(26));
            break;
        }
      }
      text += karaoke ? tag() : std::string(" ");
    }
    text += "\r\n";
  }
  return text;
}

// The documents live in a temporary folder for the whole run.
class TDocuments {
 public:
  TDocuments() {
    std::string pattern = (fs::temp_directory_path() / "verselet-tools-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    FFolder = pattern;
  }
  ~TDocuments() {
    std::error_code ignored;
    fs::remove_all(FFolder, ignored);
  }

  const fs::path& Folder() const { return FFolder; }

  fs::path Of(int megabytes) {
    const fs::path path = FFolder / ("lyrics-" + std::to_string(megabytes) + "mb.txt");
    if (!fs::exists(path)) {
      const std::string text = GenerateLyrics(static_cast<std::size_t>(megabytes) << 20);
      if (!IsValidAnsi(text)) std::abort();  // uconv and to-utf8 must both accept it
      std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    return path;
  }

 private:
  fs::path FFolder;
};

TDocuments& Documents() {
  static TDocuments documents;
  return documents;
}

// verselet-tool is built beside this program.
std::string ToolPath() {
  std::error_code ec;
  return (fs::read_symlink("/proc/self/exe", ec).parent_path() / "verselet-tool").string();
}

struct TProcessCost {
  double Seconds = 0;     // wall time
  double CpuSeconds = 0;  // user and system time: steadier on a busy machine
  double PeakMegabytes = 0;
};

// The peak resident size (VmHWM) of a traced process stopped at its exit.
double PeakMegabytesOf(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

[[noreturn]] void Abort(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

// Runs a program with its standard output into output, in the C locale so
// that sed matches bytes; aborts the run when it fails. The program is
// traced only to stop it at its exit and read its own peak memory: the
// resource usage of a child would count the memory of this process, which
// it starts as a copy of. exitCode is the status a successful run ends with.
TProcessCost RunProcess(const std::vector<std::string>& args, const fs::path& output, int exitCode = 0) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ::setenv("LC_ALL", "C", 1);
  const Clock::time_point start = Clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) Abort("fork failed");
  if (pid == 0) {
    const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::dup2(fd, STDOUT_FILENO) < 0) ::_exit(126);
    ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  TProcessCost cost;
  int status = 0;
  struct rusage usage {};
  for (;;) {
    if (::wait4(pid, &status, 0, &usage) != pid) Abort("wait failed");
    if (!WIFSTOPPED(status)) break;
    const int event = status >> 16;
    if (event == PTRACE_EVENT_EXIT) {
      cost.PeakMegabytes = PeakMegabytesOf(pid);
    } else if (WSTOPSIG(status) == SIGTRAP && event == 0) {
      // Stopped after the exec: from now on, stop once more at the exit.
      ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL);
    }
    const int signal = WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
    ::ptrace(PTRACE_CONT, pid, nullptr, signal);
  }
  cost.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != exitCode) Abort(args.front() + " failed");
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  cost.CpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  return cost;
}

// Times the tool and the reference one after the other, in alternating
// order, so both see the same page cache and machine load; the iteration
// time is the tool's, and the counters hold medians of both and their ratio.
// toolExit is the status the tool ends with when it works.
void CompareWith(benchmark::State& state, const std::vector<std::string>& tool,
                 const std::vector<std::string>& reference, int toolExit = 0) {
  const fs::path output = Documents().Folder() / "out.txt";
  std::vector<TProcessCost> mine, theirs;
  bool toolFirst = true;
  for (auto _ : state) {
    if (toolFirst) mine.push_back(RunProcess(tool, output, toolExit));
    theirs.push_back(RunProcess(reference, output));
    if (!toolFirst) mine.push_back(RunProcess(tool, output, toolExit));
    toolFirst = !toolFirst;
    state.SetIterationTime(mine.back().Seconds);
  }
  auto median = [](const std::vector<TProcessCost>& costs, double TProcessCost::*field) {
    std::vector<double> values;
    for (const TProcessCost& cost : costs) values.push_back(cost.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  state.counters["tool_ms"] = 1000 * median(mine, &TProcessCost::Seconds);
  state.counters["ref_ms"] = 1000 * median(theirs, &TProcessCost::Seconds);
  state.counters["ratio"] = median(mine, &TProcessCost::Seconds) / median(theirs, &TProcessCost::Seconds);
  state.counters["tool_cpu_ms"] = 1000 * median(mine, &TProcessCost::CpuSeconds);
  state.counters["ref_cpu_ms"] = 1000 * median(theirs, &TProcessCost::CpuSeconds);
  state.counters["cpu_ratio"] = median(mine, &TProcessCost::CpuSeconds) / median(theirs, &TProcessCost::CpuSeconds);
  state.counters["tool_peak_MB"] = median(mine, &TProcessCost::PeakMegabytes);
  state.counters["ref_peak_MB"] = median(theirs, &TProcessCost::PeakMegabytes);
}

// The reference for all three clean-up commands: sed removing every time
// tag, a plain substitution. (sed's own forms of the karaoke rule, with a
// back-reference, run many times slower and would flatter the tool.)
std::vector<std::string> SedRemovingTags(const std::string& doc) {
  return {"sed", "s/\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]//g", doc};
}

void BM_DeleteTimeTagsVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "delete-time-tags", doc}, SedRemovingTags(doc));
}

void BM_DeleteKaraokeTagsVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "delete-karaoke-tags", doc}, SedRemovingTags(doc));
}

void BM_DeleteBlankLinesVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "delete-blank-lines", doc}, SedRemovingTags(doc));
}

// The time-tag model reads every tag form and rewrites lines; sed still only removes one form.
void BM_ShiftTagsVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "shift-tags", "--by", "1.5", doc}, SedRemovingTags(doc));
}

void BM_DeleteAllTimeTagsVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "delete-all-time-tags", doc}, SedRemovingTags(doc));
}

// The check reads every tag form and writes a line per problem; on this
// document, whose times jump about, that is most lines. It ends with status
// 1 because it found problems.
void BM_CheckTagsVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "check", doc}, SedRemovingTags(doc), 1);
}

// Every character goes through the remembered transliteration of its code.
void BM_ConvertToHalfwidthVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "convert", "--to", "halfwidth", doc}, SedRemovingTags(doc));
}

// Ready for a player of 16 cells and 3 rows: repeated lines written out, word tags removed, every tag rewritten.
void BM_PrepareVsSed(benchmark::State& state) {
  const std::string doc = Documents().Of(100).string();
  CompareWith(state, {ToolPath(), "prepare", "--half", "16", "--lines", "3", doc}, SedRemovingTags(doc));
}

void BM_ShiftJisToUtf8VsUconv(benchmark::State& state) {
  const std::string doc = Documents().Of(10).string();
  CompareWith(state, {ToolPath(), "to-utf8", doc}, {"uconv", "-f", "windows-31j", "-t", "UTF-8", doc});
}

BENCHMARK(BM_DeleteTimeTagsVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteKaraokeTagsVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteBlankLinesVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftTagsVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteAllTimeTagsVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckTagsVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToHalfwidthVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareVsSed)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftJisToUtf8VsUconv)->Iterations(kRounds)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
