// SRT subtitles: cues of numbered, timed text lines.
#include "app/core/SrtFormat.h"

#include <algorithm>
#include <cstdio>

#include "platform/LeadByte.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

bool IsIndex(std::string_view line) {
  const std::size_t end = line.find_last_not_of(" \t");
  return end != std::string_view::npos && std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(end) + 1, IsDigit);
}

// "HH:MM:SS,mmm" (also with "." before the milliseconds, as some writers
// have it), at least one hour digit; advances text past it.
std::optional<long long> ReadSrtTime(std::string_view& text) {
  std::size_t i = 0;
  long long hours = 0;
  while (i < text.size() && IsDigit(text[i]) && i < 6) hours = hours * 10 + (text[i++] - '0');
  if (i == 0 || i + 9 > text.size()) return std::nullopt;
  const std::string_view rest = text.substr(i, 9);  // ":MM:SS,mmm"
  const bool formed = rest[0] == ':' && IsDigit(rest[1]) && IsDigit(rest[2]) && rest[3] == ':' && IsDigit(rest[4]) &&
                      IsDigit(rest[5]) && (rest[6] == ',' || rest[6] == '.') && IsDigit(rest[7]) && IsDigit(rest[8]);
  if (!formed || i + 10 > text.size() || !IsDigit(text[i + 9])) return std::nullopt;
  const int minutes = (rest[1] - '0') * 10 + (rest[2] - '0');
  const int seconds = (rest[4] - '0') * 10 + (rest[5] - '0');
  if (minutes > 59 || seconds > 59) return std::nullopt;
  const int millis = (rest[7] - '0') * 100 + (rest[8] - '0') * 10 + (text[i + 9] - '0');
  text.remove_prefix(i + 10);
  return ((hours * 60 + minutes) * 60 + seconds) * 1000 + millis;
}

struct TCueTimes {
  long long Start;
  long long End;
};

TCueTimes ReadTimingLine(std::string_view line, std::size_t number, TFormatReport& report) {
  const std::string bad = "SRT の時刻の行 (00:00:12,300 --> 00:00:15,000) の形ではありません: ";
  std::string_view rest = line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
  const std::optional<long long> start = ReadSrtTime(rest);
  const std::size_t arrow = rest.find_first_not_of(" \t");
  if (!start || arrow == std::string_view::npos || rest.substr(arrow, 3) != "-->") throw EFormatError(number, bad + std::string(line));
  rest.remove_prefix(arrow + 3);
  rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
  const std::optional<long long> end = ReadSrtTime(rest);
  if (!end) throw EFormatError(number, bad + std::string(line));
  if (*end < *start) throw EFormatError(number, "表示の終わりが始まりより前です: " + std::string(line));
  if (!IsBlank(rest)) report.Drop("SRT の位置指定");
  return {*start, *end};
}

// The text without its formatting tags: "<...>" with a letter or "/" after
// the "<", and "{\...}". The tags are ASCII, so a byte of them is never
// the trail byte of a character read from the line's start.
std::string WithoutFormatting(std::string_view text, TFormatReport& report) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (IsDBCSLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
      out.append(text.substr(i, 2));
      i += 2;
      continue;
    }
    const bool html = c == '<' && i + 1 < text.size() &&
                      (text[i + 1] == '/' || ((text[i + 1] | 0x20) >= 'a' && (text[i + 1] | 0x20) <= 'z'));
    const bool override = c == '{' && i + 1 < text.size() && text[i + 1] == '\\';
    const std::size_t close = html || override ? text.find(html ? '>' : '}', i) : std::string_view::npos;
    if (close != std::string_view::npos) {
      report.Drop("SRT の書式タグ");
      i = close + 1;
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

void AppendSrtTime(std::string& out, long long millis) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld", millis / 3600000, millis / 60000 % 60,
                millis / 1000 % 60, millis % 1000);
  out += text;
}

}  // namespace

TTimedLyrics ReadSrt(std::string_view text, TFormatReport& report) {
  TTimedLyrics lyrics;
  enum class TExpect { Cue, Timing, Text } expect = TExpect::Cue;
  TCueTimes times{};
  std::size_t indexLine = 0;
  ForEachTextLine(text, [&](std::string_view line, std::size_t number) {
    switch (expect) {
      case TExpect::Cue:
        if (IsBlank(line)) break;
        if (IsIndex(line)) {
          expect = TExpect::Timing;
          indexLine = number;
          break;
        }
        [[fallthrough]];  // a cue without its number
      case TExpect::Timing:
        times = ReadTimingLine(line, number, report);
        expect = TExpect::Text;
        break;
      case TExpect::Text:
        if (IsBlank(line)) {
          expect = TExpect::Cue;
          break;
        }
        lyrics.Lines.push_back({times.Start, times.End, WithoutFormatting(line, report), {}, number});
        break;
    }
    return true;
  });
  if (expect == TExpect::Timing) throw EFormatError(indexLine, "番号の後に時刻の行がありません");
  SortTimedLines(lyrics);
  return lyrics;
}

std::string WriteSrt(const TTimedLyrics& lyrics, TFormatReport& report, long long lastLineMillis) {
  std::string out;
  std::string texts;
  std::size_t cue = 0;
  const std::vector<std::optional<long long>> next = NextStarts(lyrics);
  for (std::size_t i = 0; i < lyrics.Lines.size();) {
    const long long start = lyrics.Lines[i].Start;
    const long long end = EndOfLine(lyrics.Lines[i], next[i], lastLineMillis);
    texts.clear();
    do {
      const TTimedLine& line = lyrics.Lines[i];
      std::string text = line.Lead;
      for (const TTimedWord& word : line.Words) text += word.Text;
      report.Drop("ワードタグ", line.Words.size());
      // A blank line would end the cue.
      if (!IsBlank(text)) texts += text + "\r\n";
      ++i;
    } while (i < lyrics.Lines.size() && lyrics.Lines[i].Start == start &&
             EndOfLine(lyrics.Lines[i], next[i], lastLineMillis) == end);
    if (texts.empty()) continue;
    out += std::to_string(++cue) + "\r\n";
    AppendSrtTime(out, start);
    out += " --> ";
    AppendSrtTime(out, end);
    out += "\r\n" + texts + "\r\n";
  }
  return out;
}
