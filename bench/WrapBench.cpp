// Word wrap of a 100 MB lyrics-like document against reading its file, and a keystroke in the wrapped document.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/core/TagCounting.h"
#include "bench/BenchEditor.h"
#include "bench/LyricsText.h"
#include "bench/PlainSplit.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

constexpr std::size_t kDocumentBytes = std::size_t{100} << 20;

// The document as a file in a temporary folder, written once for the run.
class TDocumentFile {
 public:
  TDocumentFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "verselet-wrap-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    FFolder = pattern;
    FFile = FFolder / "lyrics-100mb.txt";
    std::ofstream(FFile, std::ios::binary) << GenerateLyrics(kDocumentBytes);
  }
  ~TDocumentFile() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }
  const std::filesystem::path& Path() const { return FFile; }

 private:
  std::filesystem::path FFolder;
  std::filesystem::path FFile;
};

const TDocumentFile& Document() {
  static const TDocumentFile document;
  return document;
}

// An unwrapped editor holding the document, in a focused headless window.
class TDocumentEditor : public TBenchEditor {
 public:
  explicit TDocumentEditor(int column) {
    FEdit.SetWordWrap(false);
    FEdit.SetColumn(column);
    if (!FEdit.LoadFromFile(Document().Path())) std::abort();
  }
  TRyxEdit& Edit() { return FEdit; }
};

// Switching wrap on for the whole document (at the player width of 16
// columns, the most pieces), against one read and split of its file.
void BM_WrapWholeDocument(benchmark::State& state) {
  TDocumentEditor editor(static_cast<int>(state.range(0)));
  double wrapSeconds = 0;
  double readSeconds = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    benchmark::DoNotOptimize(ReadAndSplit(Document().Path()));
    readSeconds += Seconds(start);
    start = Clock::now();
    editor.Edit().SetWordWrap(true);
    const double seconds = Seconds(start);
    wrapSeconds += seconds;
    state.SetIterationTime(seconds);
    state.PauseTiming();
    editor.Edit().SetWordWrap(false);
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["wrap_ms"] = 1000 * wrapSeconds / n;
  state.counters["read_ms"] = 1000 * readSeconds / n;
  state.counters["ratio"] = wrapSeconds / readSeconds;
}

// Wrapping with the tags passed over as the player passes them over,
// against wrapping the same document counting every column, interleaved.
void BM_WrapWholeDocumentSkippingTags(benchmark::State& state) {
  TDocumentEditor editor(static_cast<int>(state.range(0)));
  const TTagCounting counting;
  double plainSeconds = 0;
  double skippingSeconds = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    editor.Edit().SetWordWrap(true);
    plainSeconds += Seconds(start);
    editor.Edit().SetWordWrap(false);
    editor.Edit().SetColumnCounting(&counting);
    start = Clock::now();
    editor.Edit().SetWordWrap(true);
    const double seconds = Seconds(start);
    skippingSeconds += seconds;
    state.SetIterationTime(seconds);
    state.PauseTiming();
    editor.Edit().SetWordWrap(false);
    editor.Edit().SetColumnCounting(nullptr);
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_ms"] = 1000 * plainSeconds / n;
  state.counters["skipping_ms"] = 1000 * skippingSeconds / n;
  state.counters["ratio"] = skippingSeconds / plainSeconds;
}

// A letter typed and taken back with Backspace in the middle of the wrapped
// document: the editing part of a keystroke, median and worst.
void BM_KeystrokeInWrappedDocument(benchmark::State& state) {
  TDocumentEditor editor(static_cast<int>(state.range(0)));
  editor.Edit().SetWordWrap(true);
  const int middle = editor.Edit().Lines().Count() / 2;
  std::vector<double> times;
  int step = 0;
  for (auto _ : state) {
    // A few places around the middle, each at a piece's third byte.
    editor.Edit().MoveCaretTo(middle + (step++ % 7) * 1000, 2);
    const Clock::time_point start = Clock::now();
    editor.Edit().Perform(WM_CHAR, 'x', 0);
    editor.Press(VK_BACK);
    const double seconds = Seconds(start);
    times.push_back(seconds);
    state.SetIterationTime(seconds);
  }
  std::sort(times.begin(), times.end());
  state.counters["median_us"] = 1e6 * times[times.size() / 2];
  state.counters["p99_ms"] = 1000 * times[times.size() * 99 / 100];
  state.counters["worst_ms"] = 1000 * times.back();
  state.counters["rows"] = editor.Edit().Lines().Count();
}

// A keystroke near the start of one 5 MB line wrapped at 72 columns: every
// piece after the caret takes one byte from the next, to the line's end.
void BM_KeystrokeInAWrapped5MBLine(benchmark::State& state) {
  THeadlessHost host;
  TRyxEdit edit;
  host.Attach(edit);
  host.SetFocus();
  std::string line;
  while (line.size() < (std::size_t{5} << 20)) line += "abcdefgh\x82\xA0";
  edit.SetAllText(line);
  edit.MoveCaretTo(0, 4);
  std::vector<double> times;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    edit.Perform(WM_CHAR, 'x', 0);
    edit.Perform(WM_KEYDOWN, VK_BACK, 0);
    edit.Perform(WM_KEYUP, VK_BACK, 0);
    const double seconds = Seconds(start);
    times.push_back(seconds);
    state.SetIterationTime(seconds);
  }
  std::sort(times.begin(), times.end());
  state.counters["median_ms"] = 1000 * times[times.size() / 2];
  state.counters["worst_ms"] = 1000 * times.back();
}

BENCHMARK(BM_KeystrokeInAWrapped5MBLine)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_WrapWholeDocument)->Arg(16)->Arg(72)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WrapWholeDocumentSkippingTags)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_KeystrokeInWrappedDocument)
    ->Arg(16)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(500);

}  // namespace
