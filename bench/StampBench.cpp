// A sync-mode stamp in the middle of a large lyrics text, against a typed character and its Backspace there.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "app/core/SyncSession.h"
#include "bench/BenchEditor.h"
#include "bench/LyricsText.h"
#include "platform/headless/FakeAudioPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A focused control holding the text, a song playing on a fake clock, the caret in the middle line.
class TStampEditor : public TBenchEditor {
 public:
  explicit TStampEditor(std::size_t bytes) : FSession(FEdit, FPlayer) {
    FEdit.SetAllText(GenerateLyrics(bytes));
    FPlayer.SetSongLength(3600000ms);
    FPlayer.Open("song");
    FPlayer.Play();
    FSession.ReadFileForm();
    FMiddle = FEdit.Lines().Count() / 2;
  }

  // A stamp on the middle line, the caret put back there untimed; each stamp replaces the tag the one before made.
  double Stamp() {
    FEdit.MoveCaretTo(FMiddle, 0);
    FClock.Advance(10ms);
    const Clock::time_point start = Clock::now();
    FSession.Stamp();
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

  // The reference: a character typed on the same line and taken back.
  double Keystroke() {
    FEdit.MoveCaretTo(FMiddle, 0);
    const Clock::time_point start = Clock::now();
    FEdit.Perform(WM_CHAR, 'x', 0);
    Press(VK_BACK);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

 private:
  TFakeClock FClock;
  TFakeAudioPlayer FPlayer{FClock};
  TSyncSession FSession;
  int FMiddle = 0;
};

// "ratio" is the stamp's time over the keystroke's, measured in the same
// iterations: a stamp is one ranged edit, so the ratio stays flat as the text grows.
void BM_StampInLargeLyrics(benchmark::State& state) {
  TStampEditor editor(static_cast<std::size_t>(state.range(0)));
  double stampSeconds = 0;
  double keySeconds = 0;
  for (auto _ : state) {
    keySeconds += editor.Keystroke();
    const double seconds = editor.Stamp();
    stampSeconds += seconds;
    state.SetIterationTime(seconds);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["stamp_ms"] = 1000 * stampSeconds / n;
  state.counters["keystroke_ms"] = 1000 * keySeconds / n;
  state.counters["ratio"] = stampSeconds / keySeconds;
}

BENCHMARK(BM_StampInLargeLyrics)->Arg(1 << 20)->Arg(10 << 20)->Arg(100 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
