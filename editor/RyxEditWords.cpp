// TRyxEdit: the character classes and the scan over one run of same-class characters.
#include <string_view>
#include <utility>

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

TDisplayPos TRyxEdit::ScanWord(bool Forward) const { return ScanWordFrom({FCaretLine, FCaretCol}, Forward); }

std::pair<TDisplayPos, TDisplayPos> TRyxEdit::WordAround(TDisplayPos at) const {
  // The run before at belongs to the word only if it goes on over at.
  const TDisplayPos before = ScanWordFrom(at, false);
  const TDisplayPos start = ScanWordFrom(before, true) > at ? before : at;
  return {start, ScanWordFrom(at, true)};
}

TDisplayPos TRyxEdit::ScanWordFrom(TDisplayPos at, bool Forward) const {
  // The scan follows the logical line: past the end of a soft-wrapped piece
  // it goes on in the next, so that what a word key moves over or deletes
  // does not depend on the width the text is wrapped at.
  TDisplayPos result = at;
  int runClass = -1;
  for (;;) {
    const std::string_view line = FLines.Get(at.Line);
    // Words end at the terminator; a CR before it is content, a sign like any other.
    const int content = ContentLength(line);
    auto byteAt = [&line](int i) { return static_cast<unsigned char>(line[static_cast<std::size_t>(i)]); };
    auto leadValue = [&](int i) { return !FSingleByteMode && IsDBCSLeadByte(byteAt(i)); };
    // Whether byte p starts a double-byte character. The byte before a run of
    // lead-byte values ends a character (a piece starts on one), so the run's
    // length from there decides; the run is found once for all the steps
    // within it, so that a move costs the bytes it passes and not the line
    // before them.
    int runFrom = -1;
    auto leadAt = [&](int p) {
      if (!leadValue(p)) return false;
      if (runFrom < 0 || p < runFrom) {
        runFrom = p;
        while (runFrom > 0 && leadValue(runFrom - 1)) --runFrom;
      }
      return (p - runFrom) % 2 == 0;
    };
    int& i = at.Col;
    for (;;) {
      // The caret rests on a character start, so forward each lead byte takes
      // its trail, unless that trail would be the terminator.
      int start = 0;
      int size = 1;
      if (Forward) {
        if (i >= content) break;
        start = i;
        if (i + 1 < content && leadValue(i))
          size = 2;
        else if (byteAt(i) == '\t')
          return result;
      } else {
        if (i <= 0) break;
        if (i >= 2 && leadAt(i - 2)) {
          start = i - 2;
          size = 2;
        } else if (start = i - 1; byteAt(start) == '\t') {
          return result;
        }
      }
      const unsigned code = size == 2 ? byteAt(start) * 256u + byteAt(start + 1) : byteAt(start);
      const int cls = CharClass(code);
      if (runClass >= 0 && cls != runClass) return result;
      runClass = cls;
      i = Forward ? i + size : i - size;
      result = at;
    }
    // At the edge of the row: only a soft-wrapped piece lets the scan go on.
    if (Forward) {
      if (HasLineEnd(line) || at.Line + 1 >= FLines.Count()) return result;
      at = TDisplayPos{at.Line + 1, 0};
      // A run that ends with the piece leaves the caret on the next piece's start.
      if (runClass >= 0) result = at;
    } else {
      if (at.Line == 0 || HasLineEnd(FLines.Get(at.Line - 1))) return result;
      at = TDisplayPos{at.Line - 1, ContentLength(FLines.Get(at.Line - 1))};
    }
  }
}
