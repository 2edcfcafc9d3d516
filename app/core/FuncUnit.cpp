// FuncUnit: trimming of code page 932 lines, integer and colour text.
#include "app/core/FuncUnit.h"

#include <algorithm>
#include <cstdio>

#include "platform/Exceptions.h"
#include "platform/IntegerText.h"
#include "platform/LeadByte.h"

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsBlank(char c) { return Byte(c) <= 0x20; }

}  // namespace

std::string TrimFullWidth(const std::string& s) { return std::string(TrimFullWidthView(s)); }

std::string_view TrimFullWidthView(std::string_view s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && Byte(s[first]) <= 0x20) ++first;
  while (last > first && Byte(s[last - 1]) <= 0x20) --last;

  // Only a forward walk knows where characters begin, so the trailing spaces
  // are found by remembering the end of the last character that is not one.
  std::size_t start = last;
  std::size_t end = first;
  for (std::size_t i = first; i < last;) {
    const bool pair = IsDBCSLeadByte(Byte(s[i])) && i + 1 < last;
    const std::size_t next = i + (pair ? 2 : 1);
    const bool blank = pair ? (Byte(s[i]) == 0x81 && Byte(s[i + 1]) == 0x40) : s[i] == ' ';
    if (!blank) {
      if (start == last) start = i;
      end = next;
    }
    i = next;
  }
  return start < end ? s.substr(start, end - start) : std::string_view();
}

bool TrimsToNothing(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  while (i < s.size()) {
    const unsigned char b = Byte(s[i]);
    if (b == ' ') {
      ++i;
    } else if (b < 0x20) {
      // Blanks of this kind are trimmed only at the ends: nothing visible may follow.
      return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), IsBlank);
    } else if (b == 0x81 && i + 1 < s.size() && Byte(s[i + 1]) == 0x40) {
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

int StrToIntDef(const std::string& text, int def) { return ParseInteger(text).value_or(def); }

int StrToInt(const std::string& text) {
  const std::optional<int> value = ParseInteger(text);
  if (!value) throw EConvertError("'" + text + "' は整数ではありません");
  return *value;
}

int SplitDelimited(const std::string& text, char delimiter, std::vector<std::string>& list) {
  list.clear();
  if (text.empty() || delimiter == '\0') return 0;
  const std::size_t size = text.size();
  auto skipBlanks = [&](std::size_t i) {
    while (i < size && IsBlank(text[i])) ++i;
    return i;
  };
  std::size_t i = skipBlanks(0);
  while (i < size) {
    const std::size_t start = i;
    while (i < size && text[i] != delimiter && !IsBlank(text[i])) ++i;
    list.push_back(text.substr(start, i - start));
    i = skipBlanks(i);
    if (i < size && text[i] == delimiter) {
      i = skipBlanks(i + 1);
      // A delimiter promises an item after it, even an empty one at the end.
      if (i == size) list.emplace_back();
    }
  }
  return static_cast<int>(list.size());
}

TColor StrToColorDef(const std::string& text, char delimiter) {
  std::vector<std::string> items;
  if (SplitDelimited(text, delimiter, items) != 3) return clBlack;
  return RGB(StrToInt(items[0]), StrToInt(items[1]), StrToInt(items[2]));
}

std::string ColorToRGBString(TColor color) {
  const TColor rgb = ColorToRGB(color);
  char text[16];
  std::snprintf(text, sizeof text, "%d %d %d", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
  return text;
}

std::string RepeatString(int count, const std::string& s) {
  std::string out;
  if (count <= 0) return out;
  out.reserve(static_cast<std::size_t>(count) * s.size());
  for (int i = 0; i < count; ++i) out += s;
  return out;
}
