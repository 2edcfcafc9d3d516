// A keystroke near the end of one long line, in kanji whose trail byte is also a lead-byte value, against ASCII.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"

namespace {

using Clock = std::chrono::steady_clock;

// 字 is 0x8E 0x9A in code page 932: both bytes are lead-byte values, so
// nothing short of the line start tells a lead byte from a trail byte.
std::string KanjiLine(std::size_t bytes) {
  std::string line;
  while (line.size() < bytes) line += "\x8E\x9A";
  return line;
}

// The same length of ASCII, where every byte is a character start.
std::string AsciiLine(std::size_t bytes) { return std::string(bytes, 'a'); }

// A focused control holding the line with the caret ten characters before
// its end; each keystroke types a letter and takes it back with Backspace,
// so the line is the same for every iteration.
class TLongLineEditor {
 public:
  explicit TLongLineEditor(const std::string& line) {
    FHost.Attach(FEdit);
    FHost.SetFocus();
    FEdit.SetAllText(line);
    // A packed position cannot name a column this far out; the keys can.
    Press(VK_END);
    for (int i = 0; i < 10; ++i) Press(VK_LEFT);
  }

  double Keystroke() {
    const Clock::time_point start = Clock::now();
    FEdit.Perform(WM_CHAR, 'x', 0);
    Press(VK_BACK);
    return std::chrono::duration<double>(Clock::now() - start).count();
  }

 private:
  void Press(WPARAM key) {
    FEdit.Perform(WM_KEYDOWN, key, 0);
    FEdit.Perform(WM_KEYUP, key, 0);
  }

  THeadlessHost FHost;
  TRyxEdit FEdit;
};

// The reported time is the kanji line's; "ratio" divides it by the ASCII
// line's of the same length, measured in the same iterations. A per-byte
// rescan of the line shows as a ratio that doubles with each doubling of
// the length; without it the ratio stays flat.
void BM_KeystrokeInLongKanjiLine(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  TLongLineEditor kanji(KanjiLine(bytes));
  TLongLineEditor ascii(AsciiLine(bytes));
  double kanjiSeconds = 0;
  double asciiSeconds = 0;
  for (auto _ : state) {
    asciiSeconds += ascii.Keystroke();
    const double seconds = kanji.Keystroke();
    kanjiSeconds += seconds;
    state.SetIterationTime(seconds);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ascii_ms"] = 1000 * asciiSeconds / n;
  state.counters["kanji_ms"] = 1000 * kanjiSeconds / n;
  state.counters["ratio"] = kanjiSeconds / asciiSeconds;
}
BENCHMARK(BM_KeystrokeInLongKanjiLine)
    ->Arg(9750)
    ->Arg(19500)
    ->Arg(39000)
    ->Arg(78000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
