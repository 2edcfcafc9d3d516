// Link and tag colouring: the run scan over soft-wrapped paragraphs and TRyxEdit's drawing of the runs.
#include "editor/RyxEditLinks.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <string_view>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

bool IsLead(char c) { return IsDBCSLeadByte(static_cast<unsigned char>(c)); }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes a scheme or "tag:" can start with, in either case.
constexpr std::array<bool, 256> kWordStarts = [] {
  std::array<bool, 256> starts{};
  for (const char c : {'h', 'm', 't', 'H', 'M', 'T'}) starts[static_cast<unsigned char>(c)] = true;
  return starts;
}();

// One row as the scan sees it; positions are 1-based bytes. The row is read
// in place: a row may be megabytes long, and the scan visits it once.
class TRowScan {
 public:
  TRowScan(std::string_view row, std::string_view next, bool singleByte)
      : FData(row),
        FNext(next),
        FSingleByte(singleByte),
        FEnds(HasLineEnd(row)),
        FLength(static_cast<int>(row.size()) - (FEnds ? 2 : 0)) {}

  int Length() const { return FLength; }
  bool Ends() const { return FEnds; }
  // A position known to start a character, for a scan that goes on from a resume point.
  int KnownStart() const { return FKnownStart; }
  void SetKnownStart(int pos) { FKnownStart = pos; }

  // The kind of the byte at pos, as ByteTypeAt gives it. Positions asked for
  // mostly grow, so the lead-byte run before pos is looked at back to the
  // last character start found only.
  int Kind(int pos) {
    if (FSingleByte || pos < 1 || pos > static_cast<int>(FData.size())) return kSingleByte;
    const int base = pos >= FKnownStart ? FKnownStart : 1;
    int i = pos;
    while (i > base && IsLead(FData[static_cast<std::size_t>(i - 2)])) --i;
    if ((pos - i) % 2 != 0) {
      FKnownStart = pos + 1;
      return kTrailByte;
    }
    FKnownStart = pos;
    return IsLead(At(pos)) ? kLeadByte : kSingleByte;
  }

  // Whether word, all lower case, starts at pos, single-byte letters compared
  // without case; the next row follows this one so that a scheme cut by a
  // soft wrap still matches. Every byte that can equal a word byte after a
  // character start is itself a character start, so no kind is needed.
  bool Matches(int pos, std::string_view word) const {
    auto index = static_cast<std::size_t>(pos - 1);
    for (const char w : word) {
      char c = 0;
      if (index < FData.size()) {
        c = FData[index];
      } else if (index - FData.size() < FNext.size()) {
        c = FNext[index - FData.size()];
      } else {
        return false;
      }
      if (LowerAscii(c) != w) return false;
      ++index;
    }
    return true;
  }

  // The first position from pos on whose byte may start a scheme or a tag.
  int SkipToWordStart(int pos, int limit) const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(FData.data());
    while (pos <= limit && !kWordStarts[bytes[pos - 1]]) ++pos;
    return pos;
  }

  // Past the last byte of the link that goes on from pos.
  int SkipLink(int pos) {
    while (pos <= FLength && !IsLinkTerminator(pos)) pos += Kind(pos) == kLeadByte && pos < FLength ? 2 : 1;
    return pos;
  }

  // Past the last byte of the tag that goes on from pos.
  int SkipTag(int pos) {
    while (pos <= FLength && !IsTagTerminator(pos)) ++pos;
    return pos;
  }

  // Position of the first "." at or after pos in the content, or 0.
  int FindDot(int pos) const {
    const std::size_t i = FData.find('.', static_cast<std::size_t>(pos - 1));
    return i == std::string_view::npos || static_cast<int>(i) >= FLength ? 0 : static_cast<int>(i) + 1;
  }

 private:
  char At(int pos) const { return FData[static_cast<std::size_t>(pos - 1)]; }

  bool IsLinkTerminator(int pos) {
    const int kind = Kind(pos);
    if (kind == kLeadByte) return pos < FLength && At(pos) == '\x81' && At(pos + 1) == '\x40';
    if (kind == kTrailByte) return false;
    const char c = At(pos);
    return c == ' ' || c == '|' || c == '\t' || c == '"' || c == '>';
  }

  bool IsTagTerminator(int pos) {
    if (Kind(pos) != kSingleByte) return true;
    const char c = At(pos);
    return c == '\t' || c == ' ' || c == ',' || c == ':';
  }

  std::string_view FData;
  std::string_view FNext;
  bool FSingleByte;
  bool FEnds;
  int FLength;
  // A position known to start a character (1-based).
  int FKnownStart = 1;
};

}  // namespace

int LinkParagraphStart(const TRyxStrings& lines, int row) {
  for (int r = row - 1; r >= 0; --r)
    if (HasLineEnd(lines.Get(r))) return r + 1;
  return 0;
}

namespace {

// What a row hands on to the next when a run reaches its end without a line break.
struct TScanCarry {
  bool LinkContinues = false;
  bool TagDotPending = false;
  bool TagContinues = false;
};

// The runs of row r that start at or after pos, a position where no run is
// open, up to limit; the carry for the next row. atTop(pos) is called at
// every such position the scan passes; the scan reads no byte past pos + 7
// before it gets there.
template <class AtTop>
void ScanWords(TRowScan& scan, int r, int pos, int limit, std::vector<TLinkRun>& runs, TScanCarry& carry,
               AtTop&& atTop) {
  const int len = scan.Length();
  const auto goesOn = [&](int at) { return at > len && !scan.Ends(); };
  const auto add = [&](int start, int end) {
    end = std::min(end, len);
    if (end >= start) runs.push_back(TLinkRun{r, start, end});
  };
  while (pos <= limit) {
    atTop(pos);
    pos = scan.SkipToWordStart(pos, limit);
    if (pos > limit) break;
    // Schemes never start inside a double-byte character.
    if (scan.Kind(pos) != kSingleByte) {
      ++pos;
      continue;
    }
    if (scan.Matches(pos, "http://") || scan.Matches(pos, "https:/") || scan.Matches(pos, "mailto:") ||
        scan.Matches(pos, "mail:")) {
      const int start = pos;
      pos = scan.SkipLink(pos + 5);
      add(start, pos - 1);
      carry.LinkContinues = goesOn(pos);
    }
    if (pos <= len && scan.Matches(pos, "tag:")) {
      const int start = pos;
      const int dot = scan.FindDot(pos + 4);
      if (dot == 0) {
        carry.TagDotPending = !scan.Ends();
        add(start, len);
        break;
      }
      pos = scan.SkipTag(dot + 1);
      add(start, pos - 1);
      carry.TagContinues = goesOn(pos);
    }
    ++pos;
  }
}

// Rows shorter than this are scanned each time.
constexpr std::size_t kLongLinkRow = 16 * 1024;
// A resume point serves a change this far behind it at least (the scan looks 7 bytes ahead).
constexpr int kLinkLookAhead = 16;

}  // namespace

const std::vector<TLinkRun>& TLongRowLinks::For(const TRyxStrings& lines, int index, bool singleByte) {
  const std::string_view row = lines.Get(index);
  std::size_t changed = 0;
  if (index == FIndex && singleByte == FSingleByte) {
    if (lines.Revision() == FRevision) return FRuns;
    changed = FirstDifference(FRow, row);
  } else {
    FResumePoints.clear();
  }
  FIndex = index;
  FSingleByte = singleByte;
  FRevision = lines.Revision();
  if (changed == FRow.size() && changed == row.size() && !FResumePoints.empty()) return FRuns;
  FRow.replace(changed, std::string::npos, row.substr(changed));
  while (!FResumePoints.empty() && FResumePoints.back().Pos + kLinkLookAhead > static_cast<int>(changed) + 1)
    FResumePoints.pop_back();
  if (FResumePoints.empty()) FResumePoints.push_back(TResumePoint{1, 1, 0});
  const TResumePoint from = FResumePoints.back();
  FRuns.resize(from.Runs);
  TRowScan scan(FRow, std::string_view(), singleByte);
  scan.SetKnownStart(from.Known);
  TScanCarry carry;
  ScanWords(scan, index, from.Pos, scan.Length(), FRuns, carry, [&](int pos) {
    if (pos - FResumePoints.back().Pos >= FResumeSpacing)
      FResumePoints.push_back(TResumePoint{pos, scan.KnownStart() <= pos ? scan.KnownStart() : 1, FRuns.size()});
  });
  return FRuns;
}

bool TLongRowLinks::Keeps(const TRyxStrings& lines, int index) {
  // A row that a paragraph starts and ends, long enough to be worth it: no run comes in or goes on.
  const std::string_view row = lines.Get(index);
  return row.size() >= kLongLinkRow && (index == 0 || HasLineEnd(lines.Get(index - 1))) &&
         (HasLineEnd(row) || index == lines.Count() - 1);
}

std::vector<TLinkRun> ScanLinkRuns(const TRyxStrings& lines, int first, int last, bool singleByte, int lastLimit,
                                   TLongRowLinks* kept) {
  std::vector<TLinkRun> runs;
  TScanCarry carry;
  const int count = lines.Count();
  last = std::min(last, count - 1);
  for (int r = std::max(0, first); r <= last; ++r) {
    const std::string_view row = lines.Get(r);
    if (row == "\r\n") {
      carry = TScanCarry{};
      continue;
    }
    // Nothing that starts past the limit of the last row is wanted.
    const int rowLimit = r == last ? lastLimit : INT_MAX;
    if (kept && TLongRowLinks::Keeps(lines, r)) {
      for (const TLinkRun& run : kept->For(lines, r, singleByte))
        if (run.Start <= rowLimit) runs.push_back(run);
      carry = TScanCarry{};
      continue;
    }
    TRowScan scan(row, r + 1 < count ? std::string_view(lines.Get(r + 1)) : std::string_view(), singleByte);
    const int len = scan.Length();
    // A run that reaches the end of a soft-wrapped row goes on in the next one.
    const auto goesOn = [&](int pos) { return pos > len && !scan.Ends(); };
    const auto add = [&](int start, int end) {
      end = std::min(end, len);
      if (end >= start) runs.push_back(TLinkRun{r, start, end});
    };
    int pos = 1;
    int tagFrom = 1;
    if (carry.LinkContinues) {
      pos = scan.SkipLink(1);
      add(1, pos - 1);
      if (goesOn(pos)) continue;
      carry.LinkContinues = false;
      tagFrom = pos;
    } else if (carry.TagDotPending) {
      const int dot = scan.FindDot(pos);
      if (dot == 0) {
        if (scan.Ends()) carry.TagDotPending = false;
        add(pos, len);
        continue;
      }
      carry.TagDotPending = false;
      carry.TagContinues = true;
      pos = dot + 1;
    }
    if (carry.TagContinues) {
      pos = scan.SkipTag(pos);
      add(tagFrom, pos - 1);
      if (goesOn(pos)) continue;
      carry.TagContinues = false;
    }
    ScanWords(scan, r, pos, std::min(len, rowLimit), runs, carry, [](int) {});
  }
  return runs;
}

void TRyxEdit::ColorLinks(int a, int b, const TRect* clip) {
  if (!FColorPrintF || b < a) return;
  Canvas().SetBkColor(FColor);
  // The scan starts at the paragraph start; rows above the view are scanned,
  // not drawn, and the last row only up to its last byte in view.
  const std::string_view lastRow = FLines.Get(b);
  const int limit = ShownSpan(RowLayout(lastRow), 0, static_cast<int>(lastRow.size())).second;
  for (const TLinkRun& run :
       ScanLinkRuns(FLines, LinkParagraphStart(FLines, a), b, FSingleByteMode, limit, &FLongRowLinks))
    if (run.Row >= FTopLine) PaintLinkRun(run.Row, run.Start, run.End, clip);
}

void TRyxEdit::PaintLinkRun(int row, int start, int end, const TRect* clip) {
  const std::string_view text = FLines.Get(row);
  const int y = RowTop(row);
  const int origin = FTextLeft - FScrollX;
  const TRowLayout layout = RowLayout(text);
  TRect rect{std::max(FTextLeft, origin + layout.XOfColumn(start - 1)), y, origin + layout.XOfColumn(end),
             y + FLineHeight};
  // A run right of the client area has nothing to show.
  rect.Right = std::min(rect.Right, Width());
  if (clip) {
    if (y != clip->Top) return;
    rect.Left = std::max(clip->Left, rect.Left);
    rect.Right = std::min(clip->Right, rect.Right);
  }
  if (rect.IsEmpty()) return;
  ICanvas& canvas = Canvas();
  canvas.SetTextUnderline(true);
  canvas.SetTextColor(FURLColor);
  const auto span = ShownSpan(layout, 0, static_cast<int>(text.size()) - (HasLineEnd(text) ? 2 : 0));
  canvas.TextRect(rect, origin + layout.XOfColumn(span.first), y, layout.Expanded(span));
  canvas.SetTextUnderline(false);
}
