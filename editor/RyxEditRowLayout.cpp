// TRowLayout: tab walks, the column/x mapping and the expansion of a byte range of one row.
#include "editor/RyxEditRowLayout.h"

#include <algorithm>
#include <cstring>

#include "platform/LeadByte.h"

namespace {

bool IsLead(char c) { return IsDBCSLeadByte(static_cast<unsigned char>(c)); }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

TRowLayout::TRowLayout(std::string_view row, int tabCount, bool singleByte, const ITextMeasurer* measurer,
                       const std::vector<TTabStop>* tabs)
    : FRow(row),
      FLength(static_cast<int>(row.size())),
      FTabCount(std::max(1, tabCount)),
      FSingleByte(singleByte),
      FMeasurer(measurer),
      FCell(measurer ? measurer->ByteCellWidth() : 1),
      FTabs(tabs) {}

std::pair<const TTabStop*, const TTabStop*> TRowLayout::KnownTabs(int from, int end) const {
  const auto byteBefore = [](const TTabStop& tab, int byte) { return tab.Byte < byte; };
  const TTabStop* first = std::lower_bound(FTabs->data(), FTabs->data() + FTabs->size(), from, byteBefore);
  const TTabStop* last = std::lower_bound(first, FTabs->data() + FTabs->size(), end, byteBefore);
  return {first, last};
}

template <typename Visit>
void TRowLayout::WalkTabs(int end, Visit&& visit, int from) const {
  if (FTabs) {
    const auto [first, last] = KnownTabs(from, end);
    for (const TTabStop* tab = first; tab != last; ++tab)
      if (!visit(tab->Byte, tab->Column, tab->Fill)) return;
    return;
  }
  int shift = 0;
  WalkRowTabs(FRow, 0, end, shift, FTabCount, FSingleByte, visit);
}

int TRowLayout::ExpandedColumn(int col) const {
  col = std::clamp(col, 0, FLength);
  if (FTabs) {
    const auto [first, last] = KnownTabs(0, col);
    return col + (last == first ? 0 : (last - 1)->ShiftAfter());
  }
  int shift = 0;
  WalkTabs(col, [&](int, int, int fill) {
    shift += fill - 1;
    return true;
  });
  return col + shift;
}

int TRowLayout::XOfColumn(int col) const {
  if (col <= 0) return 0;
  col = std::min(col, FLength);
  if (FCell > 0) return FCell * ExpandedColumn(col);
  return FMeasurer->TextWidth(Expanded(0, col));
}

int TRowLayout::ByteAtExpandedColumn(int e) const {
  if (FTabs) {
    // The first tab whose expansion ends after e.
    const auto [first, last] = KnownTabs(0, FLength);
    const TTabStop* tab =
        std::upper_bound(first, last, e, [](int column, const TTabStop& t) { return column < t.Column + t.Fill; });
    const int shift = tab == first ? 0 : (tab - 1)->ShiftAfter();
    if (tab != last && e >= tab->Column) return tab->Byte;
    return std::min(FLength, e - shift);
  }
  int shift = 0;
  int byte = -1;
  WalkTabs(FLength, [&](int t, int column, int fill) {
    if (e < column) {
      byte = e - shift;
    } else if (e < column + fill) {
      byte = t;
    } else {
      shift += fill - 1;
      return true;
    }
    return false;
  });
  return byte >= 0 ? byte : std::min(FLength, e - shift);
}

int TRowLayout::CharStart(int p, int base, bool singleByte) const {
  if (singleByte || p <= base) return p;
  int j = p;
  while (j > base && IsLead(FRow[static_cast<std::size_t>(j - 1)])) --j;
  return (p - j) % 2 != 0 ? p - 1 : p;
}

int TRowLayout::CharEnd(int start, int end, bool singleByte) const {
  if (start >= end) return end;
  return start + (!singleByte && IsLead(FRow[static_cast<std::size_t>(start)]) && start + 1 < end ? 2 : 1);
}

int TRowLayout::ColumnAtX(int x, int& textX) const {
  textX = 0;
  if (x <= 0) return 0;
  const int width = XOfColumn(FLength);
  if (x >= width) {
    textX = width;
    return FLength;
  }
  // The last byte that starts at or left of x.
  int p = 0;
  if (FCell > 0) {
    p = ByteAtExpandedColumn(x / FCell);
  } else {
    // Widths grow with the prefix: X(p) <= x < X(high) throughout.
    int high = FLength;
    while (high - p > 1) {
      const int mid = p + (high - p) / 2;
      (XOfColumn(mid) <= x ? p : high) = mid;
    }
  }
  const int left = CharStart(p, 0, FSingleByte);
  const int right = CharEnd(left, FLength, FSingleByte);
  const int xLeft = XOfColumn(left);
  const int xRight = XOfColumn(right);
  if (x <= xRight - (xRight - xLeft) / 2) {
    textX = xLeft;
    return left;
  }
  textX = xRight;
  return right;
}

std::string TRowLayout::Expanded(int from, int to) const {
  from = std::clamp(from, 0, FLength);
  to = std::clamp(to, from, FLength);
  std::string out;
  out.reserve(static_cast<std::size_t>(to - from) + 8);
  int pos = from;
  WalkTabs(
      to,
      [&](int t, int, int fill) {
        if (t >= from) {
          out.append(FRow.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(t - pos)));
          out.append(static_cast<std::size_t>(fill), ' ');
          pos = t + 1;
        }
        return true;
      },
      from);
  out.append(FRow.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(to - pos)));
  return out;
}

int TRowLayout::Width(int from, int to) const {
  if (FCell > 0) return FCell * (ExpandedColumn(to) - ExpandedColumn(from));
  return FMeasurer->TextWidth(Expanded(from, to));
}

std::pair<int, int> TRowLayout::DrawnSpan(int from, int to, int left, int right) const {
  from = std::clamp(from, 0, FLength);
  to = std::clamp(to, from, FLength);
  if (FCell == 0 || from == to) return {from, to};
  // The canvas pairs a lead byte with whatever byte follows it in the text
  // it is given, whatever the single-byte mode says about the row.
  const int leftByte = std::max(from, left < 0 ? 0 : ByteAtExpandedColumn(FloorDiv(left, FCell)));
  const int first = CharStart(std::min(leftByte, to), from, false);
  if (right < left) return {first, first};
  const int rightByte = ByteAtExpandedColumn(FloorDiv(std::max(right, 0), FCell));
  if (rightByte >= to) return {first, to};
  if (rightByte < first) return {first, first};
  return {first, CharEnd(CharStart(rightByte, first, false), to, false)};
}

void TRowLayout::TabMarks(int col, std::span<int> marks) const {
  std::size_t filled = 0;
  WalkTabs(std::clamp(col, 0, FLength), [&](int t, int column, int) {
    if (filled + 1 >= marks.size()) return false;
    marks[filled++] = FCell > 0 ? FCell * column : FMeasurer->TextWidth(Expanded(0, t));
    return true;
  });
  if (!marks.empty()) marks[filled] = -1;
}

std::string ExpandTabsOf(std::string_view s, int tabCount, bool singleByte) {
  return TRowLayout(s, tabCount, singleByte, nullptr).Expanded(0, static_cast<int>(s.size()));
}
