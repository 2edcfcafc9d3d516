// TRowLayout: where the bytes of one row lie once its tabs are expanded, found by walking its tabs.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/RyxEditRowTabs.h"
#include "platform/Canvas.h"

// A tab advances to the next multiple of tabCount columns of the expanded
// text (a double-byte character counts two). A TAB byte that is the trail of
// a lead byte is no tab; with singleByte every byte is a character of its own.
//
// On a canvas of fixed byte cells the x of a column is its expanded column
// times the cell width, so every mapping is arithmetic over the row's tabs:
// nothing is copied and a row without tabs costs one search for a TAB byte.
// On any other canvas the expanded prefixes are measured. Given the row's
// tabs found before (TLongRowTabs), a long row's mapping is a binary search.
class TRowLayout {
 public:
  // Without a measurer x counts columns of the expansion, so that layout
  // works before there is a window to measure with. tabs, when given, are
  // the tabs of row found by WalkRowTabs over at least its bytes.
  TRowLayout(std::string_view row, int tabCount, bool singleByte, const ITextMeasurer* measurer,
             const std::vector<TTabStop>* tabs = nullptr);

  // Length of the expansion of the first col bytes.
  int ExpandedColumn(int col) const;
  // Text x of column col: the width of the expansion of the first col bytes.
  int XOfColumn(int col) const;
  // The character boundary nearest to text x, the left one when x lies on a
  // character's midpoint; textX receives its x. The row is taken whole, so
  // the caller strips a terminator first.
  int ColumnAtX(int x, int& textX) const;
  // Bytes [from, to) with each tab replaced by its fill in the whole row.
  std::string Expanded(int from, int to) const;
  std::string Expanded(std::pair<int, int> span) const { return Expanded(span.first, span.second); }
  // Width of the expansion of bytes [from, to) drawn on its own.
  int Width(int from, int to) const;
  // The part of [from, to) that text drawn from `from` shows between text x
  // left and right (both inclusive): whole characters as the canvas pairs
  // bytes when drawing from `from`, so that drawing the part at its own x
  // gives the same pixels as drawing all of [from, to). Without fixed cells
  // the whole of [from, to).
  std::pair<int, int> DrawnSpan(int from, int to, int left, int right) const;
  // Text x of the first marks.size() - 1 tabs before col, ended by -1.
  void TabMarks(int col, std::span<int> marks) const;

 private:
  // Calls visit(t, expandedColumnOfT, fill) for every tab before end, in
  // order, until it returns false: from the row's start, or from the first
  // tab at or after from when the tabs were found before.
  template <typename Visit>
  void WalkTabs(int end, Visit&& visit, int from = 0) const;
  // The tabs found before that lie before byte end, from the first at or after from.
  std::pair<const TTabStop*, const TTabStop*> KnownTabs(int from, int end) const;
  // The byte whose expansion holds expanded column e (the row's length past its end).
  int ByteAtExpandedColumn(int e) const;
  // The start of the character holding byte p, pairing bytes from base, a character start.
  int CharStart(int p, int base, bool singleByte) const;
  int CharEnd(int start, int end, bool singleByte) const;

  std::string_view FRow;
  int FLength;
  int FTabCount;
  bool FSingleByte;
  const ITextMeasurer* FMeasurer;
  int FCell;
  const std::vector<TTabStop>* FTabs;
};

// The whole string expanded.
std::string ExpandTabsOf(std::string_view s, int tabCount, bool singleByte);
