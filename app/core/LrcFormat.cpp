// Reading and writing timed lines as .lrc and .kra text.
#include "app/core/LrcFormat.h"

#include "app/core/TimeTags.h"

namespace {

// The text of line between from and the tag after it (or the line's end).
std::string_view TextBetween(std::string_view line, std::size_t from, std::size_t to) {
  return line.substr(from, to - from);
}

// Adds the timed lines one tagged line holds, one per line tag; the words
// keep their distance from the first line tag.
void AddTaggedLine(std::string_view line, const TTaggedLine& parsed, std::size_t number, TTimedLyrics& lyrics) {
  const std::vector<TTimeTag>& tags = parsed.Tags;
  const TTimeTag& last = tags[parsed.LineTagCount - 1];
  const std::size_t textStart = last.Start + last.Length;
  TTimedLine timed;
  timed.SourceLine = number;
  const std::size_t firstWord = parsed.LineTagCount < tags.size() ? tags[parsed.LineTagCount].Start : line.size();
  timed.Lead = TextBetween(line, textStart, firstWord);
  for (std::size_t i = parsed.LineTagCount; i < tags.size(); ++i) {
    const std::size_t from = tags[i].Start + tags[i].Length;
    const std::size_t to = i + 1 < tags.size() ? tags[i + 1].Start : line.size();
    timed.Words.push_back({tags[i].Millis, std::string(TextBetween(line, from, to))});
  }
  const long long first = tags.front().Millis;
  // A word tag at the line's start that repeats the line's time is the
  // enhanced LRC way of timing the first word.
  if (timed.Lead.empty() && !timed.Words.empty() && timed.Words.front().Start == last.Millis) {
    timed.Lead = std::move(timed.Words.front().Text);
    timed.Words.erase(timed.Words.begin());
  }
  for (std::size_t i = 0; i < parsed.LineTagCount; ++i) {
    TTimedLine copy = timed;
    copy.Start = tags[i].Millis;
    for (TTimedWord& word : copy.Words) word.Start += copy.Start - first;
    lyrics.Lines.push_back(std::move(copy));
  }
}

bool IsEndMark(const TTimedLine& line) {
  return line.Words.empty() && line.Lead.find_first_not_of(" \t") == std::string::npos;
}

// A line of nothing but line tags ends the lines shown before it (all that
// started together); then it goes.
void ApplyEndMarks(TTimedLyrics& lyrics) {
  std::vector<TTimedLine> kept;
  kept.reserve(lyrics.Lines.size());
  for (TTimedLine& line : lyrics.Lines) {
    if (!IsEndMark(line)) {
      kept.push_back(std::move(line));
      continue;
    }
    if (kept.empty()) continue;
    // The lines of a group get their end together, so the walk stops at one that has it.
    const long long shownFrom = kept.back().Start;
    for (auto it = kept.rbegin(); it != kept.rend() && it->Start == shownFrom && !it->End; ++it) it->End = line.Start;
  }
  lyrics.Lines = std::move(kept);
}

bool ClosesGroup(const TTimedLyrics& lyrics, std::size_t i) {
  return i + 1 == lyrics.Lines.size() || lyrics.Lines[i + 1].Start != lyrics.Lines[i].Start;
}

}  // namespace

void AppendFormTag(std::string& out, TTagForm form, bool word, long long millis) {
  TTimeTag tag;
  tag.Angle = word && form == TTagForm::Lrc;
  tag.Separator = form == TTagForm::Lrc ? '.' : ':';
  tag.FractionDigits = millis % 10 == 0 ? 2 : 3;
  AppendTimeTag(out, tag, millis);
}

TTimedLyrics ReadTimedLrc(std::string_view text, TFormatReport& report) {
  TTimedLyrics lyrics;
  TTaggedLine parsed;
  ForEachTextLine(text, [&](std::string_view line, std::size_t number) {
    ParseTaggedLine(line, parsed);
    if (!parsed.Bad.empty()) throw EFormatError(number, parsed.Bad.front().Reason);
    if (parsed.Id) {
      report.Drop("ID タグの行");
    } else if (parsed.LineTagCount > 0) {
      AddTaggedLine(line, parsed, number, lyrics);
    } else if (line.find_first_not_of(" \t") != std::string_view::npos) {
      report.Drop("タイムタグのない行");
    }
    return true;
  });
  SortTimedLines(lyrics);
  ApplyEndMarks(lyrics);
  return lyrics;
}

std::string WriteTimedLrc(const TTimedLyrics& lyrics, TTagForm form, TFormatReport& report, long long lastLineMillis) {
  std::string out;
  const std::vector<std::optional<long long>> nextStarts = NextStarts(lyrics);
  for (std::size_t i = 0; i < lyrics.Lines.size(); ++i) {
    const TTimedLine& line = lyrics.Lines[i];
    AppendFormTag(out, form, false, line.Start);
    std::size_t firstWord = 0;
    if (!line.Words.empty() && form == TTagForm::Lrc) {
      AppendFormTag(out, form, true, line.Start);
    } else if (!line.Words.empty() && line.Lead.empty()) {
      // "[start][word]" would read as two line tags: the first word is sung from the line's start.
      report.Drop("行頭の間 (.kra のタグで書けないもの)");
      out += line.Words.front().Text;
      firstWord = 1;
    }
    out += line.Lead;
    for (std::size_t w = firstWord; w < line.Words.size(); ++w) {
      AppendFormTag(out, form, true, line.Words[w].Start);
      out += line.Words[w].Text;
    }
    out += "\r\n";
    if (!line.End || !ClosesGroup(lyrics, i)) continue;
    const std::optional<long long> next = nextStarts[i];
    if (next && *line.End > *next) {
      report.Drop("次の行と重なる表示の終わり");
    } else if (next ? *line.End != *next : *line.End != line.Start + lastLineMillis) {
      AppendFormTag(out, form, false, *line.End);
      out += "\r\n";
    }
  }
  return out;
}
