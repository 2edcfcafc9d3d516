// A keystroke and a word move in one long line of kanji whose trail byte is also a lead-byte value, against ASCII.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "bench/BenchEditor.h"

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
class TLongLineEditor : public TBenchEditor {
 public:
  explicit TLongLineEditor(const std::string& line) {
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

  // Ctrl+Right from the line start: the whole line is one word of kanji (or
  // of letters) to walk over. Home takes the caret back untimed.
  double WordMove() {
    Press(VK_HOME);
    FHost.SetKeyDown(VK_CONTROL, true);
    const Clock::time_point start = Clock::now();
    Press(VK_RIGHT);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    FHost.SetKeyDown(VK_CONTROL, false);
    return seconds;
  }

};

// The reported time is the kanji line's; "ratio" divides it by the ASCII
// line's of the same length, measured in the same iterations. A per-byte
// rescan of the line shows as a ratio that doubles with each doubling of
// the length; without it the ratio stays flat.
template <double (TLongLineEditor::*Action)()>
void CompareWithAscii(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0));
  TLongLineEditor kanji(KanjiLine(bytes));
  TLongLineEditor ascii(AsciiLine(bytes));
  double kanjiSeconds = 0;
  double asciiSeconds = 0;
  for (auto _ : state) {
    asciiSeconds += (ascii.*Action)();
    const double seconds = (kanji.*Action)();
    kanjiSeconds += seconds;
    state.SetIterationTime(seconds);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ascii_ms"] = 1000 * asciiSeconds / n;
  state.counters["kanji_ms"] = 1000 * kanjiSeconds / n;
  state.counters["ratio"] = kanjiSeconds / asciiSeconds;
}

void BM_KeystrokeInLongKanjiLine(benchmark::State& state) { CompareWithAscii<&TLongLineEditor::Keystroke>(state); }
void BM_WordMoveOverLongKanjiLine(benchmark::State& state) { CompareWithAscii<&TLongLineEditor::WordMove>(state); }

BENCHMARK(BM_KeystrokeInLongKanjiLine)
    ->Arg(9750)
    ->Arg(19500)
    ->Arg(39000)
    ->Arg(78000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordMoveOverLongKanjiLine)
    ->Arg(9750)
    ->Arg(19500)
    ->Arg(39000)
    ->Arg(78000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
