// The lyric clean-up commands: tag removal by regular expression, useless lines, encoding changes.
#include "app/LyricTools.h"

#include <string_view>

#include "app/FuncUnit.h"
#include "platform/CodePage.h"
#include "platform/RegExp.h"

namespace {

constexpr const char16_t* kTimeTag = u"\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]";
constexpr const char16_t* kTagAfterCharacter = u"(.)\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]+";

// The lossless decoding keeps bytes that are not code page 932 as private
// characters, so the pattern sees whole characters and nothing else changes.
// A mark put after each replacement to count them: U+10FFFF is a noncharacter
// that neither decoding produces, so it marks nothing but the replacements.
constexpr char16_t kMark[] = u"\U0010FFFF";

std::string ReplaceAll(const std::string& text, const std::u16string& pattern, const std::u16string& replacement,
                       std::size_t* count) {
  TRegExp re;
  re.SetIgnoreCase(true);
  re.SetGlobal(true);
  re.SetPattern(pattern);
  std::u16string result = re.Replace(AnsiToUnicodeLossless(text), replacement + kMark);
  const std::u16string_view mark(kMark);
  std::size_t marks = 0;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < result.size();) {
    if (result.compare(i, mark.size(), mark) == 0) {
      ++marks;
      i += mark.size();
      continue;
    }
    result[kept++] = result[i++];
  }
  result.resize(kept);
  if (count) *count = marks;
  return UnicodeToAnsiLossless(result);
}

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The length of the line break at i: 2 for CR LF, else 1.
std::size_t BreakLength(std::string_view text, std::size_t i) {
  return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
}

// The 1-based number of the line that holds the byte at offset.
std::size_t LineNumberAt(std::string_view text, std::size_t offset) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    if (!IsBreak(text[i])) continue;
    i += BreakLength(text, i) - 1;
    ++line;
  }
  return line;
}

[[noreturn]] void FailAt(const std::string& text, std::size_t offset, const std::string& what) {
  throw ETextEncodingError(what + " (" + std::to_string(LineNumberAt(text, offset)) + " 行目)。変換しませんでした。");
}

}  // namespace

std::string DeleteTimeTags(const std::string& text, std::size_t* removed) {
  return ReplaceAll(text, kTimeTag, u"", removed);
}

std::string DeleteKaraokeTags(const std::string& text, std::size_t* removed) {
  return ReplaceAll(text, kTagAfterCharacter, u"$1", removed);
}

std::string DeleteUselessLines(const std::string& text, std::size_t* removed) {
  std::size_t dropped = 0;
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsBreak(text[end])) ++end;
    const std::string line = text.substr(start, end - start);
    if (TrimFullWidth(line).empty())
      ++dropped;
    else
      out.append(line).append("\r\n");
    start = end < text.size() ? end + BreakLength(text, end) : end;
  }
  if (removed) *removed = dropped;
  return out;
}

std::string ConvertToUtf8(const std::string& text) {
  const std::size_t bad = FindInvalidAnsi(text);
  if (bad != std::string_view::npos) FailAt(text, bad, "テキストに Shift-JIS でないバイトがあります");
  return UnicodeToUtf8(AnsiToUnicode(text));
}

std::string ConvertToShiftJis(const std::string& text, std::size_t* replaced) {
  const std::size_t bad = FindInvalidUtf8(text);
  if (bad != std::string_view::npos) FailAt(text, bad, "テキストが UTF-8 ではありません");
  std::u16string unicode = Utf8ToUnicode(text);
  // A byte-order mark has no code page 932 form; it would become a "?" in
  // front of the first line.
  if (!unicode.empty() && unicode.front() == u'\uFEFF') unicode.erase(0, 1);
  return UnicodeToAnsi(unicode, replaced);
}
