// TRyxEdit: tab expansion and the mapping between byte columns, pixels and client points.
#include <algorithm>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"

namespace {

// Expands every TAB to the next multiple of tabCount columns of the expanded
// text; onTab sees the expansion so far just before each tab's fill.
template <typename OnTab>
std::string Expand(const std::string& s, int tabCount, bool singleByte, OnTab&& onTab) {
  std::string out;
  out.reserve(s.size() + 8);
  const std::size_t n = s.size();
  const auto count = static_cast<std::size_t>(tabCount);
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\t') {
      onTab(out);
      out.append(count - out.size() % count, ' ');
    } else if (!singleByte && IsDBCSLeadByte(c) && i + 1 < n) {
      // A lead byte takes its trail byte along, so a trail byte is never taken for a tab.
      out.push_back(s[i]);
      out.push_back(s[++i]);
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

}  // namespace

std::string TRyxEdit::ExpandTabs(const std::string& s) const {
  return Expand(s, FTabCount, FSingleByteMode, [](const std::string&) {});
}

std::string TRyxEdit::ExpandTabsMarked(const std::string& s, TTabMarks& marks) const {
  marks[0] = -1;
  if (!FShowTAB) return ExpandTabs(s);
  std::size_t filled = 0;
  const ICanvas& canvas = Canvas();
  std::string out = Expand(s, FTabCount, FSingleByteMode, [&](const std::string& before) {
    if (filled < marks.size() - 1) marks[filled++] = canvas.TextWidth(before);
  });
  marks[filled] = -1;
  return out;
}

int TRyxEdit::TextXOfColumn(const std::string& line, int col) const {
  if (col <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(col), line.size());
  return Canvas().TextWidth(ExpandTabs(line.substr(0, n)));
}

int TRyxEdit::ColumnAtX(const std::string& line, int x, int& textX) const {
  textX = 0;
  if (x <= 0) return 0;
  const std::string content = StripLineEnd(line);
  const int n = static_cast<int>(content.size());
  const int width = TextXOfColumn(content, n);
  if (x >= width) {
    textX = width;
    return n;
  }
  auto isLead = [&](int pos) { return ByteTypeAt(content, pos, FSingleByteMode) == kLeadByte; };
  int pos = n / 2;
  int step = std::max(1, (n - pos) / 2);
  int direction = 0;
  // Prefix widths grow with the prefix, so a walk of n + 2 steps always ends
  // inside some character; the bound only keeps a canvas whose shaped widths
  // are not monotonic from hanging the editor.
  for (int round = 0; round <= n + 2; ++round) {
    const int left = std::clamp(isLead(pos) ? pos - 1 : pos, 0, n);
    const int right = std::clamp(isLead(pos + 1) ? pos + 2 : pos + 1, 0, n);
    const int w2 = TextXOfColumn(content, left);
    const int w3 = TextXOfColumn(content, right);
    const int d = (w3 - w2) / 2;
    if (w2 <= x && x <= w3 - d) {
      textX = w2;
      return left;
    }
    if (w3 - d < x && x <= w3) {
      textX = w3;
      return right;
    }
    const int next = x > w2 + d ? 1 : -1;
    // The starting step is already the halved one, so only later reversals halve it.
    if (direction != 0 && next != direction) step = std::max(1, step / 2);
    direction = next;
    pos += next * step;
  }
  const int left = std::clamp(isLead(pos) ? pos - 1 : pos, 0, n);
  textX = TextXOfColumn(content, left);
  return left;
}

void TRyxEdit::MoveCaretToPoint(int x, int y) {
  if (!HandleAllocated()) return;
  FSelPaintLine = FCaretLine;
  FSelPaintCol = FCaretCol;
  const int dx = x - FTextLeft;
  const int row = std::max(0, y - FTopMargin) / std::max(1, FLineHeight) + FTopLine;
  FCaretLine = std::max(0, std::min({FTopLine + FVisibleLines - 1, row, FLines.Count() - 1}));
  if (dx < -4) {
    FCaretCol = 0;
    FCaretX = 0;
    FScrollX = 0;
  } else {
    FCaretCol = ColumnAtX(std::string(FLines.Get(FCaretLine)), dx + FScrollX, FCaretX);
  }
  FGoalCol = FCaretCol;
  // A text area under 3 pixels gives no step to move by; the view then stays where it is.
  if (const int step = FTextWidth / 3; step > 0) {
    while (FTextWidth + FScrollX - FCaretX < 0) FScrollX += step;
    while (FCaretX - FScrollX < 0) FScrollX = std::max(0, FScrollX - step);
  }
  FCaretX -= FScrollX;
}
