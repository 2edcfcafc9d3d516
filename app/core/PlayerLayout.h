// How a player shows one lyrics line: tags removed, broken into rows of half-width cells.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LeadByte.h"

// The display of a player: HalfCount half-width cells a row, LineCount rows a page.
struct TPlayerDisplay {
  int HalfCount = 16;
  int LineCount = 3;
  friend bool operator==(const TPlayerDisplay&, const TPlayerDisplay&) = default;
};

struct TPlayerRow {
  std::size_t Start = 0;  // bytes of TPlayerLayout::Text
  std::size_t Length = 0;
  int Cells = 0;
};

struct TPlayerLayout {
  // The line without its time and word tags, as the player shows it.
  std::string Text;
  // At least one row, also for an empty line.
  std::vector<TPlayerRow> Rows;

  // Pages of lineCount rows that the line fills (1 when lineCount is below 1).
  std::size_t Pages(int lineCount) const;
};

// A double-byte character takes two cells and is never split: with one
// cell left it starts the next row. A character wider than a whole row
// still gets a row of its own, so every row holds at least one character.
// Every other byte takes one cell.
TPlayerLayout LayOutForPlayer(std::string_view line, int halfCount);
// LayOutForPlayer(line, halfCount).Rows.size(), without keeping the rows or
// the text: for the overflow marks of a long line.
std::size_t CountPlayerRows(std::string_view line, int halfCount);
// Whether the line needs more rows than a page of display holds (never on a
// display without rows); a line too short for that is not laid out at all.
bool NeedsMoreThanAPage(std::string_view line, TPlayerDisplay display);

// Breaks a growing tag-free text into player rows, as LayOutForPlayer does:
// Feed takes the text as it is so far and hands each row it closes to onRow;
// a lead byte at the text's end waits for the byte after it unless the text
// is whole. Open() is the row being filled.
class TPlayerRowBreaker {
 public:
  explicit TPlayerRowBreaker(int halfCount, std::size_t at = 0, TPlayerRow open = {})
      : FHalfCount(halfCount), FAt(at), FRow(open) {}

  template <class OnRow>
  void Feed(std::string_view text, bool whole, OnRow&& onRow) {
    while (FAt < text.size()) {
      const bool lead = IsDBCSLeadByte(static_cast<unsigned char>(text[FAt]));
      if (lead && FAt + 1 == text.size() && !whole) return;
      const int cells = lead && FAt + 1 < text.size() ? 2 : 1;
      if (FRow.Length > 0 && FRow.Cells + cells > FHalfCount) {
        onRow(FRow);
        FRow = TPlayerRow{FAt, 0, 0};
      }
      FRow.Length += static_cast<std::size_t>(cells);
      FRow.Cells += cells;
      FAt += static_cast<std::size_t>(cells);
    }
  }
  // The byte of the text the next Feed goes on from.
  std::size_t At() const { return FAt; }
  const TPlayerRow& Open() const { return FRow; }

 private:
  int FHalfCount;
  std::size_t FAt;
  TPlayerRow FRow;
};
