// Writing a document's recovery file, against saving it, measured alongside; and what the copy for the writer costs the editor's thread.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/core/RecoveryFile.h"
#include "bench/LyricsText.h"
#include "editor/Ryxstrings.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class Work>
double Seconds(Work work) {
  const Clock::time_point start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The save is the reference: both write the whole text and flush it to
// disk. The copy is what the editor's thread spends before the writer
// thread takes over; one line in a thousand is edited, so that the copy
// holds both lines of the loaded text's buffer and lines of their own.
void BM_RecoveryWrite(benchmark::State& state) {
  std::string pattern = (std::filesystem::temp_directory_path() / "verselet-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  const std::filesystem::path folder = pattern;
  TRyxStrings store;
  store.SetText(GenerateLyrics(static_cast<std::size_t>(state.range(0)) << 20) + std::string(2, '\0'));
  for (int i = 0; i + 1 < store.Count(); i += 1000) store.Put(i, "edited line\r\n");
  double save = 0;
  double copy = 0;
  double write = 0;
  for (auto _ : state) {
    save += Seconds([&] { store.SaveToFile(folder / "saved.txt"); });
    TStoredText text;
    copy += Seconds([&] { text = store.CopyText(); });
    const double seconds = Seconds([&] { WriteRecoveryFile(folder / "r.recovery", {}, text); });
    write += seconds;
    state.SetIterationTime(seconds);
  }
  std::filesystem::remove_all(folder);
  const double n = static_cast<double>(state.iterations());
  state.counters["save_ms"] = 1000 * save / n;
  state.counters["copy_ms"] = 1000 * copy / n;
  state.counters["write_ms"] = 1000 * write / n;
  state.counters["ratio"] = (copy + write) / save;
}
BENCHMARK(BM_RecoveryWrite)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
