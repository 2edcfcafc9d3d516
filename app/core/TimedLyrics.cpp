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

std::vector<std::optional<long long>> NextStarts(const TTimedLyrics& lyrics) {
  const std::vector<TTimedLine>& lines = lyrics.Lines;
  std::vector<std::optional<long long>> next(lines.size());
  for (std::size_t i = lines.size(); i-- > 1;) {
    next[i - 1] = lines[i].Start > lines[i - 1].Start ? std::optional<long long>(lines[i].Start) : next[i];
  }
  return next;
}

long long EndOfLine(const TTimedLine& line, std::optional<long long> nextStart, long long lastLineMillis) {
  if (line.End) return *line.End;
  return nextStart ? *nextStart : line.Start + lastLineMillis;
}
