// TMatchHighlights: finding the matches of the lines in view and framing their parts row by row.
#include "app/core/MatchHighlights.h"

#include <algorithm>

#include "app/core/LineSearch.h"
#include "editor/RyxEdit.h"
#include "platform/Canvas.h"
#include "platform/Exceptions.h"

namespace {

constexpr TColor kFrameColor = 0x0080FF;  // orange (0x00BBGGRR)
// A line in view may take this long to search before it goes without frames.
constexpr int kPaintTimeLimit = 20;
// Lines kept; a long scroll starts afresh.
constexpr std::size_t kKeptLines = 4096;

}  // namespace

void TMatchHighlights::SetSearch(std::unique_ptr<TTextSearch> search) {
  FSearch = std::move(search);
  if (FSearch) FSearch->SetTimeLimit(kPaintTimeLimit);
  FGaveUp = false;
  FLines.clear();
}

const TMatchHighlights::TSpans& TMatchHighlights::MatchesOf(const TRyxEdit& edit, int line) {
  const auto kept = FLines.find(line);
  if (kept != FLines.end()) return kept->second;
  if (FLines.size() >= kKeptLines) FLines.clear();
  TSpans& spans = FLines[line];
  try {
    TLineReader reader(edit.Lines());
    const bool last = line == reader.Count() - 1 && line > 0;
    for (const TRegExpMatch& m : LineMatches(*FSearch, reader.Read(line), last))
      spans.emplace_back(static_cast<int>(m.Start), static_cast<int>(m.End));
  } catch (const Exception&) {
    // Too slow or not a pattern: no frames for it at all, rather than a slow paint for every line.
    spans.clear();
    FGaveUp = true;
  }
  return spans;
}

void TMatchHighlights::Draw(ICanvas& canvas, const TRyxEdit& edit, int L1, int L2) {
  if (!FSearch || FGaveUp || FSearch->SpansLines()) return;
  const TRyxStrings& rows = edit.Lines();
  const int first = std::max(L1, edit.TopLine());
  const int last = std::min({L2, edit.TopLine() + edit.VisibleLines() - 1, rows.Count() - 1});
  const TColor pen = canvas.PenColor();
  canvas.SetPen(kFrameColor, 1);
  for (int row = first; row <= last; ++row) {
    const TLogicalPos start = edit.ToLogical({row, 0});
    const std::string_view text = rows.Get(row);
    const int length = ContentLength(text);
    const int top = edit.TopMargin() + (row - edit.TopLine()) * edit.LineHeight();
    const int bottom = top + edit.LineHeight() - 1;
    for (const auto& [from, to] : MatchesOf(edit, start.Line)) {
      const int a = from - start.Col;
      const int b = to - start.Col;
      if (b < 0 || a > length || (a == length && b > a)) continue;
      const int x1 = std::max(edit.TextLeft(), edit.TextLeft() - edit.ScrollX() + edit.TextXOfColumn(text, std::max(a, 0)));
      const int x2 = edit.TextLeft() - edit.ScrollX() + edit.TextXOfColumn(text, std::min(b, length));
      if (x2 < x1) continue;
      // The frame's right edge is its last pixel: LineTo leaves the end out.
      canvas.MoveTo(x1, top);
      canvas.LineTo(x2, top);
      canvas.LineTo(x2, bottom);
      canvas.LineTo(x1, bottom);
      canvas.LineTo(x1, top);
    }
  }
  canvas.SetPen(pen, 1);
}
