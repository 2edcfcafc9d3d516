// Text positions of the editor: display positions (rows of the store) and logical positions (lines of the text).
#pragma once

#include <compare>

// A row of the line store and a byte column in it. While word wrap is on a
// row is one piece of a logical line.
struct TDisplayPos {
  int Line = 0;
  int Col = 0;
  friend auto operator<=>(const TDisplayPos&, const TDisplayPos&) = default;
};

// A line of the text as loaded or typed and a byte offset into it, the same
// whatever width the text is wrapped at. Undo records hold these.
struct TLogicalPos {
  int Line = 0;
  int Col = 0;
  friend auto operator<=>(const TLogicalPos&, const TLogicalPos&) = default;
};

// Where the caret and the top of the view stand, in lines of the text: a
// whole new text puts them back there, since the rows they stood on are gone.
struct TViewPlace {
  TLogicalPos Caret;
  TLogicalPos Top;
};

// What one change of the text did to the rows: rows First..OldLast became
// rows First..NewLast. XFrom is the view x from which row First differs.
struct TRowChange {
  int First = 0;
  int OldLast = 0;
  int NewLast = 0;
  int XFrom = 0;
  bool OneRow() const { return First == OldLast && First == NewLast; }
};
