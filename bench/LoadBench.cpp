// Loading lyrics-like CP932 files into the line store, against a plain split measured alongside.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/LyricsText.h"
#include "bench/PlainSplit.h"
#include "editor/Ryxstrings.h"

namespace {

using Clock = std::chrono::steady_clock;

// The files live in a temporary folder for the whole run.
class TBenchFiles {
 public:
  TBenchFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "verselet-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    FFolder = pattern;
  }
  ~TBenchFiles() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }

  const std::filesystem::path& Of(int megabytes) {
    auto [it, added] = FFiles.try_emplace(megabytes, FFolder / ("lyrics-" + std::to_string(megabytes) + "mb.txt"));
    if (added) {
      const std::string text = GenerateLyrics(static_cast<std::size_t>(megabytes) << 20);
      std::ofstream(it->second, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    return it->second;
  }

 private:
  std::filesystem::path FFolder;
  std::map<int, std::filesystem::path> FFiles;
};

TBenchFiles& Files() {
  static TBenchFiles files;
  return files;
}

template <class Load>
double Seconds(Load load) {
  const Clock::time_point start = Clock::now();
  load();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double StoreLoad(const std::filesystem::path& name) {
  return Seconds([&name] {
    TRyxStrings store;
    store.LoadFromFile(name);
    benchmark::DoNotOptimize(store.Count());
  });
}

double BaselineLoad(const std::filesystem::path& name) {
  return Seconds([&name] {
    std::vector<std::string> lines = ReadAndSplit(name);
    benchmark::DoNotOptimize(lines.data());
  });
}

// Each iteration times the baseline and the store one after the other, in
// alternating order, so both see the same page cache, heap and machine
// load; the reported time is the store's, including the destruction of
// what was loaded.
void BM_LoadFromFile(benchmark::State& state) {
  const std::filesystem::path& name = Files().Of(static_cast<int>(state.range(0)));
  double baseline = 0;
  double store = 0;
  bool baselineFirst = true;
  for (auto _ : state) {
    if (baselineFirst) baseline += BaselineLoad(name);
    const double seconds = StoreLoad(name);
    if (!baselineFirst) baseline += BaselineLoad(name);
    baselineFirst = !baselineFirst;
    store += seconds;
    state.SetIterationTime(seconds);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["baseline_ms"] = 1000 * baseline / n;
  state.counters["store_ms"] = 1000 * store / n;
  state.counters["ratio"] = store / baseline;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(name)));
}
BENCHMARK(BM_LoadFromFile)->Arg(1)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// Peak resident memory (VmHWM) of the process in megabytes.
double PeakMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  return 0;
}

// Returns freed heap to the system and restarts VmHWM from the resident
// size, so that each peak below belongs to one load and not to the
// generator or an earlier benchmark.
double ResetPeak() {
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return PeakMegabytes();
}

void BM_PeakMemory100MB(benchmark::State& state) {
  const std::filesystem::path& name = Files().Of(100);
  for (auto _ : state) {
    const double before = ResetPeak();
    BaselineLoad(name);
    state.counters["baseline_peak_MB"] = PeakMegabytes() - before;
    const double beforeStore = ResetPeak();
    StoreLoad(name);
    state.counters["store_peak_MB"] = PeakMegabytes() - beforeStore;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(name)) / (1 << 20);
  }
}
BENCHMARK(BM_PeakMemory100MB)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
