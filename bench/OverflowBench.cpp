// What the overflow marks add to a keystroke in a 100 MB lyrics document: the same keys with and without the cache that follows the edits.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "LyricsText.h"
#include "app/core/OverflowLines.h"
#include "bench/BenchEditor.h"

namespace {

using Clock = std::chrono::steady_clock;

// A focused control holding the document with the caret in its middle. A
// keystroke types a letter, a line break, and takes both back with
// Backspace, so that the rows are the same for every iteration.
class TDocumentEditor : public TBenchEditor {
 public:
  TDocumentEditor(const std::string& text, bool withCache) {
    FEdit.SetAllText(text);
    if (withCache) {
      FCache = std::make_unique<TOverflowLines>(TPlayerDisplay{16, 3});
      const Clock::time_point start = Clock::now();
      FCache->Reset(FEdit.Lines());
      FCache->MeasureRest(FEdit.Lines());
      ResetSeconds = std::chrono::duration<double>(Clock::now() - start).count();
      FEdit.OnLinesChanged = [this](TObject*, int first, int oldLast, int newLast) {
        FCache->Changed(FEdit.Lines(), first, oldLast, newLast);
      };
    }
    FEdit.MoveCaretTo(FEdit.Lines().Count() / 2, 4);
  }

  // Measuring the whole text once, as the walk after switching the preview on does.
  double ResetSeconds = 0;

  double Keystrokes() {
    const Clock::time_point start = Clock::now();
    FEdit.Perform(WM_CHAR, 'x', 0);
    Press(VK_RETURN);
    Press(VK_BACK);
    Press(VK_BACK);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

 private:
  std::unique_ptr<TOverflowLines> FCache;
};

// The reported time is the four keystrokes with the cache; "added_us"
// subtracts the same keystrokes without it, measured in the same
// iterations, and divides by four: the cost the marks add to one keystroke.
// "whole_text_ms" is the one measurement of every line when the preview is
// switched on or a text is loaded.
void BM_OverflowCacheKeystroke(benchmark::State& state) {
  const std::string text = GenerateLyrics(static_cast<std::size_t>(state.range(0)) << 20);
  TDocumentEditor plain(text, false);
  TDocumentEditor cached(text, true);
  double plainSeconds = 0;
  double cachedSeconds = 0;
  for (auto _ : state) {
    plainSeconds += plain.Keystrokes();
    const double seconds = cached.Keystrokes();
    cachedSeconds += seconds;
    state.SetIterationTime(seconds);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["plain_us"] = 1e6 * plainSeconds / n / 4;
  state.counters["cached_us"] = 1e6 * cachedSeconds / n / 4;
  state.counters["added_us"] = 1e6 * (cachedSeconds - plainSeconds) / n / 4;
  state.counters["whole_text_ms"] = 1000 * cached.ResetSeconds;
}

BENCHMARK(BM_OverflowCacheKeystroke)->Arg(10)->Arg(100)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
