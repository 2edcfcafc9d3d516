// Link and tag colouring: the run scan over soft-wrapped paragraphs and TRyxEdit's drawing of the runs.
#include "editor/RyxEditLinks.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

// Lower-cases the single-byte letters; double-byte characters keep their bytes.
std::string LowerCase(const std::string& s, const TByteTypes& kinds) {
  std::string out = s;
  const int n = static_cast<int>(out.size());
  for (int pos = 1; pos <= n; ++pos) {
    char& c = out[static_cast<std::size_t>(pos - 1)];
    if (c >= 'A' && c <= 'Z' && kinds.At(pos) == kSingleByte) c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string LowerCase(const std::string& s, bool singleByte) { return LowerCase(s, TByteTypes(s, singleByte)); }

// One row as the scan sees it; positions are 1-based bytes.
class TRowScan {
 public:
  // Lower-casing keeps every byte's kind, so the row's kinds serve its lower-cased copy.
  TRowScan(const std::string& row, const std::string* next, bool singleByte)
      : FKinds(row, singleByte),
        FData(LowerCase(row, FKinds)),
        FEnds(HasLineEnd(row)),
        FLength(static_cast<int>(row.size()) - (FEnds ? 2 : 0)) {
    // The next row is appended so that a scheme cut by a soft wrap still matches.
    FJoined = FData + (next ? LowerCase(*next, singleByte) : std::string());
  }

  int Length() const { return FLength; }
  bool Ends() const { return FEnds; }
  int Kind(int pos) const { return FKinds.At(pos); }

  bool Matches(int pos, std::string_view word) const {
    return std::string_view(FJoined).substr(static_cast<std::size_t>(pos - 1)).starts_with(word);
  }

  // Past the last byte of the link that goes on from pos.
  int SkipLink(int pos) const {
    while (pos <= FLength && !IsLinkTerminator(pos)) pos += Kind(pos) == kLeadByte && pos < FLength ? 2 : 1;
    return pos;
  }

  // Past the last byte of the tag that goes on from pos.
  int SkipTag(int pos) const {
    while (pos <= FLength && !IsTagTerminator(pos)) ++pos;
    return pos;
  }

  // Position of the first "." at or after pos in the content, or 0.
  int FindDot(int pos) const {
    const std::size_t i = FData.find('.', static_cast<std::size_t>(pos - 1));
    return i == std::string::npos || static_cast<int>(i) >= FLength ? 0 : static_cast<int>(i) + 1;
  }

 private:
  unsigned char At(int pos) const { return static_cast<unsigned char>(FData[static_cast<std::size_t>(pos - 1)]); }

  bool IsLinkTerminator(int pos) const {
    const int kind = Kind(pos);
    if (kind == kLeadByte) return pos < FLength && At(pos) == 0x81 && At(pos + 1) == 0x40;
    if (kind == kTrailByte) return false;
    const unsigned char c = At(pos);
    return c == ' ' || c == '|' || c == '\t' || c == '"' || c == '>';
  }

  bool IsTagTerminator(int pos) const {
    if (Kind(pos) != kSingleByte) return true;
    const unsigned char c = At(pos);
    return c == '\t' || c == ' ' || c == ',' || c == ':';
  }

  TByteTypes FKinds;
  std::string FData;
  std::string FJoined;
  bool FEnds;
  int FLength;
};

}  // namespace

int LinkParagraphStart(const TRyxStrings& lines, int row) {
  for (int r = row - 1; r >= 0; --r)
    if (HasLineEnd(lines.Get(r))) return r + 1;
  return 0;
}

std::vector<TLinkRun> ScanLinkRuns(const TRyxStrings& lines, int first, int last, bool singleByte) {
  std::vector<TLinkRun> runs;
  bool linkContinues = false;
  bool tagDotPending = false;
  bool tagContinues = false;
  const int count = lines.Count();
  last = std::min(last, count - 1);
  for (int r = std::max(0, first); r <= last; ++r) {
    const std::string& row = lines.Get(r);
    if (row == "\r\n") {
      linkContinues = tagDotPending = tagContinues = false;
      continue;
    }
    const TRowScan scan(row, r + 1 < count ? &lines.Get(r + 1) : nullptr, singleByte);
    const int len = scan.Length();
    // A run that reaches the end of a soft-wrapped row goes on in the next one.
    const auto goesOn = [&](int pos) { return pos > len && !scan.Ends(); };
    const auto add = [&](int start, int end) {
      end = std::min(end, len);
      if (end >= start) runs.push_back(TLinkRun{r, start, end});
    };
    int pos = 1;
    int tagFrom = 1;
    if (linkContinues) {
      pos = scan.SkipLink(1);
      add(1, pos - 1);
      if (goesOn(pos)) continue;
      linkContinues = false;
      tagFrom = pos;
    } else if (tagDotPending) {
      const int dot = scan.FindDot(pos);
      if (dot == 0) {
        if (scan.Ends()) tagDotPending = false;
        add(pos, len);
        continue;
      }
      tagDotPending = false;
      tagContinues = true;
      pos = dot + 1;
    }
    if (tagContinues) {
      pos = scan.SkipTag(pos);
      add(tagFrom, pos - 1);
      if (goesOn(pos)) continue;
      tagContinues = false;
    }
    while (pos <= len) {
      // Schemes never start inside a double-byte character.
      while (pos <= len && scan.Kind(pos) != kSingleByte) ++pos;
      if (pos > len) break;
      if (scan.Matches(pos, "http://") || scan.Matches(pos, "https:/") || scan.Matches(pos, "mailto:") ||
          scan.Matches(pos, "mail:")) {
        const int start = pos;
        pos = scan.SkipLink(pos + 5);
        add(start, pos - 1);
        linkContinues = goesOn(pos);
      }
      if (pos <= len && scan.Matches(pos, "tag:")) {
        const int start = pos;
        const int dot = scan.FindDot(pos + 4);
        if (dot == 0) {
          tagDotPending = !scan.Ends();
          add(start, len);
          break;
        }
        pos = scan.SkipTag(dot + 1);
        add(start, pos - 1);
        tagContinues = goesOn(pos);
      }
      ++pos;
    }
  }
  return runs;
}

void TRyxEdit::ColorLinks(int a, int b, const TRect* clip) {
  if (!FColorPrintF || b < a) return;
  Canvas().SetBkColor(FColor);
  // The scan starts at the paragraph start; rows above the view are scanned, not drawn.
  for (const TLinkRun& run : ScanLinkRuns(FLines, LinkParagraphStart(FLines, a), b, FSingleByteMode))
    if (run.Row >= FTopLine) PaintLinkRun(run.Row, run.Start, run.End, clip);
}

void TRyxEdit::PaintLinkRun(int row, int start, int end, const TRect* clip) {
  const std::string& text = FLines.Get(row);
  const int y = RowTop(row);
  const int origin = FTextLeft - FScrollX;
  TRect rect{std::max(FTextLeft, origin + TextXOfColumn(text, start - 1)), y, origin + TextXOfColumn(text, end),
             y + FLineHeight};
  if (clip) {
    if (y != clip->Top) return;
    rect.Left = std::max(clip->Left, rect.Left);
    rect.Right = std::min(clip->Right, rect.Right);
  }
  if (rect.IsEmpty()) return;
  ICanvas& canvas = Canvas();
  canvas.SetTextUnderline(true);
  canvas.SetTextColor(FURLColor);
  canvas.TextRect(rect, origin, y, ExpandTabs(StripLineEnd(text)));
  canvas.SetTextUnderline(false);
}
