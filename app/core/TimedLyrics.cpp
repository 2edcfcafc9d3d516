// The shared model of the format conversions: sorting, line ends and the report of what was left behind.
#include "app/core/TimedLyrics.h"

#include <algorithm>

EFormatError::EFormatError(std::size_t line, const std::string& what)
    : EConvertError(std::to_string(line) + " 行目: " + what + "。変換しませんでした。"), FLine(line) {}

void TFormatReport::Drop(std::string_view what, std::size_t count) {
  if (count == 0) return;
  for (TDropped& dropped : FDropped) {
    if (dropped.What == what) {
      dropped.Count += count;
      return;
    }
  }
  FDropped.push_back({std::string(what), count});
}

std::string TFormatReport::Describe() const {
  std::string text;
  for (const TDropped& dropped : FDropped) {
    text += text.empty() ? "変換先の形式にないので書き出さなかったもの: " : "、";
    text += dropped.What + " " + std::to_string(dropped.Count) + " 個";
  }
  return text;
}

void SortTimedLines(TTimedLyrics& lyrics) {
  std::stable_sort(lyrics.Lines.begin(), lyrics.Lines.end(),
                   [](const TTimedLine& a, const TTimedLine& b) { return a.Start < b.Start; });
}

long long EndOfLine(const TTimedLyrics& lyrics, std::size_t i, long long lastLineMillis) {
  const TTimedLine& line = lyrics.Lines[i];
  if (line.End) return *line.End;
  for (std::size_t next = i + 1; next < lyrics.Lines.size(); ++next) {
    if (lyrics.Lines[next].Start > line.Start) return lyrics.Lines[next].Start;
  }
  return line.Start + lastLineMillis;
}
