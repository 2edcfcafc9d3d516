// FuncUnit: trimming of code page 932 lines.
#include "app/FuncUnit.h"

namespace {

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

std::string TrimFullWidth(const std::string& s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && Byte(s[first]) <= 0x20) ++first;
  while (last > first && Byte(s[last - 1]) <= 0x20) --last;

  // Only a forward walk knows where characters begin, so the trailing spaces
  // are found by remembering the end of the last character that is not one.
  std::size_t start = last;
  std::size_t end = first;
  for (std::size_t i = first; i < last;) {
    const bool pair = IsLeadByte(Byte(s[i])) && i + 1 < last;
    const std::size_t next = i + (pair ? 2 : 1);
    const bool blank = pair ? (Byte(s[i]) == 0x81 && Byte(s[i + 1]) == 0x40) : s[i] == ' ';
    if (!blank) {
      if (start == last) start = i;
      end = next;
    }
    i = next;
  }
  return start < end ? s.substr(start, end - start) : std::string();
}
