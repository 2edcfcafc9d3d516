// TRyxEdit: the character classes and the scan over one run of same-class characters.
#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

int TRyxEdit::CharClass(unsigned Code) {
  if (Code < 0xE0) {
    if (Code < 0x30) return 7;
    if (Code <= 0x39) return 6;
    if (Code <= 0x3F) return 7;
    if (Code <= 0x7F) return 6;
    if (Code >= 0xA6 && Code <= 0xDF) return 5;
    return 2;
  }
  if (Code <= 0x829E) {
    if (Code < 0x100) return 7;
    if (Code >= 0x8140 && Code <= 0x824E) return 4;
    if (Code >= 0x824F) return 3;
    return 2;
  }
  if (Code <= 0x82FF) return 0;
  if (Code >= 0x8340 && Code <= 0x8396) return 1;
  if (Code >= 0x8397 && Code <= 0x889E) return 4;
  return 2;
}

int TRyxEdit::ScanWord(bool Forward, std::string& PassedText) const {
  const std::string line(FLines.Get(FCaretLine));
  // Words end at the terminator; a CR before it is content, a sign like any other.
  const int content = ContentLength(line);
  auto byteAt = [&line](int i) { return static_cast<unsigned char>(line[static_cast<std::size_t>(i)]); };
  // A lead byte takes its trail byte along, unless that trail would be the terminator.
  const TByteTypes kinds(line, FSingleByteMode);
  auto pairAt = [&](int i) { return i + 1 < content && kinds.At(i + 1) == kLeadByte; };
  int i = FCaretCol;
  int result = i;
  int runClass = -1;
  std::string passed;
  for (;;) {
    result = i;
    PassedText = passed;
    int start = 0;
    int size = 1;
    if (Forward) {
      if (i >= content) break;
      start = i;
      if (pairAt(i)) {
        size = 2;
      } else if (byteAt(i) == '\t') {
        break;
      }
    } else {
      if (i <= 0) break;
      if (i >= 2 && pairAt(i - 2)) {
        start = i - 2;
        size = 2;
      } else if (start = i - 1; byteAt(start) == '\t') {
        break;
      }
    }
    const unsigned code = size == 2 ? byteAt(start) * 256u + byteAt(start + 1) : byteAt(start);
    const std::string character = line.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(size));
    if (Forward) {
      passed += character;
      i += size;
    } else {
      passed.insert(0, character);
      i -= size;
    }
    const int cls = CharClass(code);
    if (runClass < 0)
      runClass = cls;
    else if (cls != runClass)
      break;
  }
  return result;
}
