// Tests of logical lines over stored rows: counting, go-to-line rows and status-bar places.
#include "app/core/LogicalLines.h"

#include <gtest/gtest.h>

#include "editor/Ryxstrings.h"
#include "platform/CodePage.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// Rows as the editor stores them: "一行目" soft-wrapped after its first
// character, an empty line, then "a\tb" and the end marker.
void FillWrappedRows(TRyxStrings& lines) {
  lines.Insert(0, Sjis("一"));
  lines.Insert(1, Sjis("行目\r\n"));
  lines.Insert(2, "\r\n");
  lines.Insert(3, std::string("a\tb") + '\0' + '\0');
}

TEST(LogicalLinesTest, CountsAndFindsLinesAcrossWrappedRows) {
  TRyxStrings lines;
  FillWrappedRows(lines);
  const TLogicalLines logical(lines, 4, true);
  EXPECT_EQ(logical.Count(), 3);
  const struct {
    int Line;
    int Row;
  } rows[] = {{-5, 0}, {1, 0}, {2, 2}, {3, 3}, {99, 3}};
  for (const auto& c : rows) EXPECT_EQ(logical.RowOfLine(c.Line), c.Row) << c.Line;
}

TEST(LogicalLinesTest, PlacesCountHalfWidthCellsFromTheLineStart) {
  TRyxStrings lines;
  FillWrappedRows(lines);
  const TLogicalLines logical(lines, 4, true);
  const struct {
    int Row, Col;
    TLinePlace Place;
  } cases[] = {
      {0, 0, {1, 1}}, {0, 2, {1, 3}}, {1, 2, {1, 5}},  // the wrapped piece goes on counting
      {1, 4, {1, 7}}, {2, 0, {2, 1}}, {3, 1, {3, 2}},  // a tab runs to the next stop
      {3, 2, {3, 5}}, {3, 3, {3, 6}}, {3, 9, {3, 6}},  // past the end stays at the end
  };
  for (const auto& c : cases) EXPECT_EQ(logical.PlaceOf(c.Row, c.Col), c.Place) << c.Row << "," << c.Col;
}

TEST(LogicalLinesTest, OneEmptyTextIsOneLine) {
  TRyxStrings lines;
  lines.SetText("");
  for (const bool softWrapped : {false, true}) {
    const TLogicalLines logical(lines, 4, softWrapped);
    EXPECT_EQ(logical.Count(), 1);
    EXPECT_EQ(logical.RowOfLine(1), 0);
    EXPECT_EQ(logical.PlaceOf(0, 0), (TLinePlace{1, 1}));
  }
}

// Without soft-wrapped rows the shortcut that takes a row for its line must
// agree with counting the line breaks.
TEST(LogicalLinesTest, UnwrappedRowsGiveTheSameLinesAsCounting) {
  TRyxStrings lines;
  lines.SetText(Sjis("一行目\r\n\r\na\tb\r\nxyz") + std::string(2, '\0'));
  const TLogicalLines counted(lines, 4, true);
  const TLogicalLines direct(lines, 4, false);
  EXPECT_EQ(direct.Count(), counted.Count());
  for (int line = -1; line <= 6; ++line) EXPECT_EQ(direct.RowOfLine(line), counted.RowOfLine(line)) << line;
  for (int row = 0; row < lines.Count(); ++row)
    for (int col = 0; col <= 8; ++col) EXPECT_EQ(direct.PlaceOf(row, col), counted.PlaceOf(row, col)) << row << "," << col;
}

}  // namespace
