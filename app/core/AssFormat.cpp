// ASS subtitles: the [Events] section's Dialogue lines and their karaoke override tags.
#include "app/core/AssFormat.h"

#include <charconv>
#include <cstdio>

#include "platform/LeadByte.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool StartsWithWord(std::string_view line, std::string_view word) {
  return line.size() >= word.size() && line.substr(0, word.size()) == word;
}

// "H:MM:SS.cc" (any number of hour digits) in milliseconds.
std::optional<long long> ParseAssTime(std::string_view text) {
  text = Trimmed(text);
  const std::size_t colon = text.find(':');
  if (colon == 0 || colon == std::string_view::npos || text.size() != colon + 9) return std::nullopt;
  long long hours = 0;
  for (std::size_t i = 0; i < colon; ++i) {
    if (!IsDigit(text[i]) || i >= 6) return std::nullopt;
    hours = hours * 10 + (text[i] - '0');
  }
  const std::string_view rest = text.substr(colon);  // ":MM:SS.cc"
  const bool formed = rest[0] == ':' && IsDigit(rest[1]) && IsDigit(rest[2]) && rest[3] == ':' && IsDigit(rest[4]) &&
                      IsDigit(rest[5]) && rest[6] == '.' && IsDigit(rest[7]) && IsDigit(rest[8]);
  if (!formed) return std::nullopt;
  const int minutes = (rest[1] - '0') * 10 + (rest[2] - '0');
  const int seconds = (rest[4] - '0') * 10 + (rest[5] - '0');
  if (minutes > 59 || seconds > 59) return std::nullopt;
  return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ((rest[7] - '0') * 10 + (rest[8] - '0')) * 10;
}

// The field names of a "Format:" line, in their order.
std::vector<std::string> FormatFields(std::string_view format) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start <= format.size()) {
    std::size_t comma = format.find(',', start);
    if (comma == std::string_view::npos) comma = format.size();
    fields.emplace_back(Trimmed(format.substr(start, comma - start)));
    start = comma + 1;
  }
  return fields;
}

std::size_t FieldIndex(const std::vector<std::string>& fields, std::string_view name) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i] == name) return i;
  return fields.size();
}

// The text of a Dialogue line, read into a timed line.
class TDialogueText {
 public:
  TDialogueText(TTimedLine& line, TFormatReport& report) : FLine(line), FReport(report), FAt(line.Start) {}

  void Read(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
      const char c = text[i];
      if (IsDBCSLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
        Append(text.substr(i, 2));
        i += 2;
      } else if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '{' || text[i + 1] == '}')) {
        Append(text.substr(i + 1, 1));
        i += 2;
      } else if (c == '{' && text.find('}', i) != std::string_view::npos) {
        const std::size_t close = text.find('}', i);
        ReadOverride(text.substr(i + 1, close - i - 1));
        i = close + 1;
      } else if (c == '\\' && i + 1 < text.size() && (text[i + 1] == 'N' || text[i + 1] == 'n' || text[i + 1] == 'h')) {
        if (text[i + 1] != 'h') FReport.Drop("ASS の改行 (空白にしたもの)");
        Append(" ");
        i += 2;
      } else {
        Append(text.substr(i, 1));
        ++i;
      }
    }
    Finish();
  }

 private:
  void Append(std::string_view bytes) { (FLine.Words.empty() ? FLine.Lead : FLine.Words.back().Text) += bytes; }

  // "\k25\b1": karaoke tags start syllables, the others are left out.
  void ReadOverride(std::string_view block) {
    std::size_t at = block.find('\\');
    while (at != std::string_view::npos) {
      const std::size_t next = block.find('\\', at + 1);
      const std::string_view tag = block.substr(at + 1, (next == std::string_view::npos ? block.size() : next) - at - 1);
      if (!ReadKaraoke(tag)) FReport.Drop("ASS の書式タグ");
      at = next;
    }
  }

  bool ReadKaraoke(std::string_view tag) {
    std::size_t digits = 0;
    if (StartsWithWord(tag, "kf") || StartsWithWord(tag, "ko")) digits = 2;
    else if (StartsWithWord(tag, "k") || StartsWithWord(tag, "K")) digits = 1;
    else return false;
    const std::string_view number = Trimmed(tag.substr(digits));
    long long hundredths = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), hundredths);
    if (error != std::errc() || end != number.data() + number.size() || hundredths < 0) return false;
    FLine.Words.push_back({FAt, {}});
    FAt += hundredths * 10;
    return true;
  }

  // The first syllable sung from the line's start is its lead; the end of
  // the last one is kept when it is not the line's end.
  void Finish() {
    std::vector<TTimedWord>& words = FLine.Words;
    if (words.empty()) return;
    if (FLine.Lead.empty() && words.front().Start == FLine.Start) {
      FLine.Lead = std::move(words.front().Text);
      words.erase(words.begin());
    }
    if (FAt != FLine.End) words.push_back({FAt, {}});
  }

  TTimedLine& FLine;
  TFormatReport& FReport;
  long long FAt;
};

void AppendAssTime(std::string& out, long long millis) {
  const long long hundredths = (millis + 5) / 10;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%02lld", hundredths / 360000, hundredths / 6000 % 60,
                hundredths / 100 % 60, hundredths % 100);
  out += text;
}

// Braces of the lyrics escaped, so that they open no override block.
void AppendAssText(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      out.append(text.substr(i++, 2));
      continue;
    }
    if (text[i] == '{' || text[i] == '}') out += '\\';
    out += text[i];
  }
}

constexpr std::string_view kAssHeader =
    "[Script Info]\r\n"
    "ScriptType: v4.00+\r\n"
    "PlayResX: 1280\r\n"
    "PlayResY: 720\r\n"
    "WrapStyle: 0\r\n"
    "\r\n"
    "[V4+ Styles]\r\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
    "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
    "MarginR, MarginV, Encoding\r\n"
    "Style: Default,sans-serif,48,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,0,2,20,20,"
    "30,1\r\n"
    "\r\n"
    "[Events]\r\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

}  // namespace

TTimedLyrics ReadAss(std::string_view text, TFormatReport& report) {
  TTimedLyrics lyrics;
  std::string section;
  std::vector<std::string> fields;
  ForEachTextLine(text, [&](std::string_view line, std::size_t number) {
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.starts_with('[') && trimmed.ends_with(']')) {
      section = trimmed;
      fields.clear();
    } else if (StartsWithWord(trimmed, "Style:")) {
      report.Drop("ASS のスタイル");
    } else if (StartsWithWord(trimmed, "Comment:")) {
      report.Drop("ASS のコメント行");
    } else if (section == "[Events]" && StartsWithWord(trimmed, "Format:")) {
      fields = FormatFields(trimmed.substr(7));
    } else if (section == "[Events]" && StartsWithWord(trimmed, "Dialogue:")) {
      if (fields.empty()) throw EFormatError(number, "[Events] の Format: 行より前に Dialogue: 行があります");
      const std::size_t startField = FieldIndex(fields, "Start");
      const std::size_t endField = FieldIndex(fields, "End");
      if (FieldIndex(fields, "Text") + 1 != fields.size() || startField == fields.size() || endField == fields.size())
        throw EFormatError(number, "[Events] の Format: 行に Start、End、最後の Text がありません");
      // Commas inside the text belong to it: the text is the last field.
      std::vector<std::string_view> values;
      std::string_view rest = trimmed.substr(9);
      while (values.size() + 1 < fields.size()) {
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) throw EFormatError(number, "Dialogue: 行の欄が足りません");
        values.push_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
      }
      const std::optional<long long> start = ParseAssTime(values[startField]);
      const std::optional<long long> end = ParseAssTime(values[endField]);
      if (!start || !end)
        throw EFormatError(number, "時刻の形 (0:00:12.30) が正しくありません: " +
                                       std::string(values[start ? endField : startField]));
      if (*end < *start) throw EFormatError(number, "表示の終わりが始まりより前です");
      TTimedLine timed;
      timed.Start = *start;
      timed.End = *end;
      timed.SourceLine = number;
      TDialogueText(timed, report).Read(rest);
      lyrics.Lines.push_back(std::move(timed));
    }
    return true;
  });
  SortTimedLines(lyrics);
  return lyrics;
}

std::string WriteAss(const TTimedLyrics& lyrics, TKaraokeFill fill, TFormatReport& report, long long lastLineMillis) {
  std::string out(kAssHeader);
  const std::string karaoke = fill == TKaraokeFill::Sweep ? "{\\kf" : "{\\k";
  // Durations from rounded times, so that the syllables add up to the line.
  const auto hundredths = [&report](long long millis) {
    if (millis % 10 != 0) report.Drop("ミリ秒の端数 (1/100 秒に丸めたもの)");
    return (millis + 5) / 10;
  };
  const std::vector<std::optional<long long>> nextStarts = NextStarts(lyrics);
  for (std::size_t i = 0; i < lyrics.Lines.size(); ++i) {
    const TTimedLine& line = lyrics.Lines[i];
    const long long end = EndOfLine(line, nextStarts[i], lastLineMillis);
    out += "Dialogue: 0,";
    AppendAssTime(out, line.Start);
    out += ",";
    AppendAssTime(out, end);
    out += ",Default,,0,0,0,,";
    if (line.Words.empty()) {
      AppendAssText(out, line.Lead);
      out += "\r\n";
      continue;
    }
    long long at = hundredths(line.Start);
    const auto syllable = [&](long long until, const std::string& text) {
      const long long next = std::max(hundredths(until), at);
      out += karaoke + std::to_string(next - at) + "}";
      AppendAssText(out, text);
      at = next;
    };
    syllable(line.Words.front().Start, line.Lead);
    for (std::size_t w = 0; w < line.Words.size(); ++w) {
      const TTimedWord& word = line.Words[w];
      if (word.Text.empty() && w + 1 == line.Words.size()) break;  // the end of the last syllable
      syllable(w + 1 < line.Words.size() ? line.Words[w + 1].Start : end, word.Text);
    }
    out += "\r\n";
  }
  return out;
}
