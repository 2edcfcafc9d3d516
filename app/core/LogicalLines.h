// TLogicalLines: logical lines (between line breaks) of an editor's rows, for go-to-line and the status bar.
#pragma once

class TRyxStrings;
class TLongRowTabs;

// A place in logical terms: 1-based line, and the 1-based column in
// half-width cells (a double-byte character takes two, a tab runs to the
// next tab stop).
struct TLinePlace {
  int Line = 1;
  int Column = 1;
  bool operator==(const TLinePlace&) const = default;
};

// Rows are display lines: a soft-wrapped line continues on rows without a
// line break of their own. Every call reads the rows as they are now. The
// status bar asks on every keystroke: the lines are found from the store's
// counts per block, never by counting the rows above, and only the caret's
// own line is read.
class TLogicalLines {
 public:
  // tabs, when given, keeps the tabs of a long row between calls, so that
  // the column on a row of megabytes is a binary search while the text does not change.
  TLogicalLines(const TRyxStrings& lines, int tabCount, bool softWrapped, TLongRowTabs* tabs = nullptr);

  int Count() const;
  // The row where logical line (1-based, clamped to the text) starts.
  int RowOfLine(int line) const;
  // The logical line (1-based) that takes in row.
  int LineOf(int row) const;
  TLinePlace PlaceOf(int row, int col) const;

 private:
  const TRyxStrings& FLines;
  int FTabCount;
  bool FSoftWrapped;
  TLongRowTabs* FTabs;
};
