// TTimedLyrics: the timed lines that the subtitle and karaoke formats share, and what a conversion could not carry.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exceptions.h"

// One part of a line sung from Start on. A part with empty Text after the
// last one marks when the last part ends.
struct TTimedWord {
  long long Start = 0;
  std::string Text;  // code page 932
};

// One line shown from Start on, until End when it is known, else until the
// next line begins. Lead is the text sung from Start on; Words, when the line
// is timed word by word, follow it.
struct TTimedLine {
  long long Start = 0;
  std::optional<long long> End;
  std::string Lead;
  std::vector<TTimedWord> Words;
  std::size_t SourceLine = 0;  // 1-based, for messages
};

// Lines in the order they are shown (by Start; lines that start together
// keep the order they had).
struct TTimedLyrics {
  std::vector<TTimedLine> Lines;
};

// A malformed source; nothing was converted. The message names the line.
class EFormatError : public EConvertError {
 public:
  EFormatError(std::size_t line, const std::string& what);
  std::size_t Line() const { return FLine; }

 private:
  std::size_t FLine;
};

// What a conversion left behind, counted by kind ("SRT の書式タグ 3 個"):
// each kind once, in the order first met, for one message to the user.
class TFormatReport {
 public:
  // Counts count more of what (a phrase such as "書式タグ").
  void Drop(std::string_view what, std::size_t count = 1);
  bool Empty() const { return FDropped.empty(); }
  // "書き出せなかったもの: 書式タグ 3 個、スタイル 1 個", or "".
  std::string Describe() const;

 private:
  struct TDropped {
    std::string What;
    std::size_t Count;
  };
  std::vector<TDropped> FDropped;
};

// How long a line with no end and no line after it is shown: the length an
// export gives the last line, which an import leaves unwritten.
inline constexpr long long kDefaultLastLineMillis = 5000;

// Sorts the lines by Start, keeping the order of lines that start together.
void SortTimedLines(TTimedLyrics& lyrics);
// For each line, the start of the first line after it that starts later, if
// any; read in one pass, however many lines start together.
std::vector<std::optional<long long>> NextStarts(const TTimedLyrics& lyrics);
// The end of a line: its own End, else nextStart, else lastLineMillis after its start.
long long EndOfLine(const TTimedLine& line, std::optional<long long> nextStart, long long lastLineMillis);
// The lines of text, each without its line break (CR LF, LF or CR), with
// its 1-based number; stops early when visit returns false.
template <class Visit>
void ForEachTextLine(std::string_view text, Visit visit) {
  std::size_t number = 1;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (!visit(text.substr(start, end - start), number)) return;
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
    ++number;
  }
}
