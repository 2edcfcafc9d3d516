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
std::string ReplaceAll(const std::string& text, const std::u16string& pattern, const std::u16string& replacement) {
  TRegExp re;
  re.SetIgnoreCase(true);
  re.SetGlobal(true);
  re.SetPattern(pattern);
  return UnicodeToAnsiLossless(re.Replace(AnsiToUnicodeLossless(text), replacement));
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

std::string DeleteTimeTags(const std::string& text) { return ReplaceAll(text, kTimeTag, u""); }

std::string DeleteKaraokeTags(const std::string& text) { return ReplaceAll(text, kTagAfterCharacter, u"$1"); }

std::string DeleteUselessLines(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !IsBreak(text[end])) ++end;
    const std::string line = text.substr(start, end - start);
    if (!TrimFullWidth(line).empty()) out.append(line).append("\r\n");
    start = end < text.size() ? end + BreakLength(text, end) : end;
  }
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
