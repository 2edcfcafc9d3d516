// Tab expansion, column/pixel mapping and mouse-point mapping on the headless metrics (8 px half-width, 16 px double-byte).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/LeadByte.h"
#include "platform/headless/HeadlessHost.h"

namespace {

using namespace std::string_literals;

// Default control: LeftMargin 10, TopMargin 4, row pitch 18, 14 whole rows in 265 px.
struct Fixture {
  // Unwrapped: these rules are about one row however long.
  explicit Fixture(int width = 440, int height = 265) : host(width, height) {
    host.Attach(edit);
    edit.SetWordWrap(false);
  }
  THeadlessHost host;
  TRyxEdit edit;
};

// The column ColumnAtX must give, found by measuring every character
// boundary: the boundary on the nearer side of the character holding x, the
// left one on the midpoint.
int NearestBoundary(const TRyxEdit& edit, const std::string& content, int x) {
  std::vector<int> bounds{0};
  for (std::size_t i = 0; i < content.size();) {
    const auto c = static_cast<unsigned char>(content[i]);
    const bool lead = !edit.SingleByteMode() && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
    i += lead && i + 1 < content.size() ? 2 : 1;
    bounds.push_back(static_cast<int>(i));
  }
  if (x <= 0) return 0;
  for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
    const int w2 = edit.TextXOfColumn(content, bounds[k]);
    const int w3 = edit.TextXOfColumn(content, bounds[k + 1]);
    if (x >= w2 && x <= w3) return x <= w3 - (w3 - w2) / 2 ? bounds[k] : bounds[k + 1];
  }
  return bounds.back();
}

// The first mapping the editor had, kept as the reference: every x is the
// measured width of a copied, tab-expanded prefix, and ColumnAtX bisects.
struct TMeasuredLayout {
  const TRyxEdit& edit;
  const ICanvas& canvas;

  // Expands by walking the bytes; marks get the width before each of the first 100 fills.
  std::string Expand(const std::string& s, std::vector<int>* marks = nullptr) const {
    std::string out;
    const auto count = static_cast<std::size_t>(edit.TabCount());
    for (std::size_t i = 0; i < s.size(); ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c == '\t') {
        if (marks && marks->size() < 100) marks->push_back(canvas.TextWidth(out));
        out.append(count - out.size() % count, ' ');
      } else if (!edit.SingleByteMode() && IsDBCSLeadByte(c) && i + 1 < s.size()) {
        out.push_back(s[i]);
        out.push_back(s[++i]);
      } else {
        out.push_back(s[i]);
      }
    }
    return out;
  }
  int X(const std::string& s, int col) const {
    return col <= 0 ? 0 : canvas.TextWidth(Expand(s.substr(0, static_cast<std::size_t>(col))));
  }
  int ColumnAtX(const std::string& content, int x, int& textX) const {
    textX = 0;
    if (x <= 0) return 0;
    const int n = static_cast<int>(content.size());
    if (x >= X(content, n)) {
      textX = X(content, n);
      return n;
    }
    auto isLead = [&](int pos) { return ByteTypeAt(content, pos, edit.SingleByteMode()) == kLeadByte; };
    int pos = n / 2;
    int step = std::max(1, (n - pos) / 2);
    int direction = 0;
    for (;;) {
      const int left = std::clamp(isLead(pos) ? pos - 1 : pos, 0, n);
      const int right = std::clamp(isLead(pos + 1) ? pos + 2 : pos + 1, 0, n);
      const int w2 = X(content, left);
      const int w3 = X(content, right);
      const int d = (w3 - w2) / 2;
      if (w2 <= x && x <= w3 - d) return textX = w2, left;
      if (w3 - d < x && x <= w3) return textX = w3, right;
      const int next = x > w2 + d ? 1 : -1;
      if (direction != 0 && next != direction) step = std::max(1, step / 2);
      direction = next;
      pos += next * step;
    }
  }
};

// Rows built from the pieces where the mapping can go wrong: tabs, double-byte
// characters whose trail byte is also a lead-byte value, a lead byte before a
// TAB, full-width spaces, and a lead byte cut off by the row's end.
std::string RandomRow(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {"a", "Z", "\t", "\t\t", "\x82\xA0", "\x88\x9F", "\x9F\x9F",
                                                  "\xE0\xE0", "\x81\x40", "\x81\t", "\xB1", " "};
  std::string row;
  const std::size_t count = rng() % 10;
  for (std::size_t i = 0; i < count; ++i) row += pieces[rng() % pieces.size()];
  if (rng() % 4 == 0) row += "\x88";
  return row;
}

TEST(RyxEditLayout, ExpandTabsToStopsOfTheExpandedText) {
  Fixture f;
  f.edit.SetTabCount(4);
  EXPECT_EQ(f.edit.ExpandTabs("a\tb"), "a   b");
  EXPECT_EQ(f.edit.ExpandTabs("\t"), "    ");
  EXPECT_EQ(f.edit.ExpandTabs("abcd\t"), "abcd    ");
  // A double-byte character counts two columns before the stop.
  EXPECT_EQ(f.edit.ExpandTabs("\x82\xA0\tx"), "\x82\xA0  x");
  EXPECT_EQ(f.edit.ExpandTabs("ab\r\n"), "ab\r\n");
  f.edit.SetTabCount(1);
  EXPECT_EQ(f.edit.ExpandTabs("a\t\tb\t"), "a  b ");
}

TEST(RyxEditLayout, TabMarksOnlyWhileShown) {
  Fixture f;
  f.edit.SetTabCount(4);
  TTabMarks marks;
  marks.fill(7);
  EXPECT_EQ(f.edit.ExpandTabsMarked("a\tb\t", marks), "a   b   ");
  EXPECT_EQ(marks[0], -1);

  f.edit.SetShowTAB(true);
  EXPECT_EQ(f.edit.ExpandTabsMarked("a\tb\t", marks), "a   b   ");
  EXPECT_EQ(marks[0], 8);   // after "a"
  EXPECT_EQ(marks[1], 40);  // after "a   b"
  EXPECT_EQ(marks[2], -1);
}

TEST(RyxEditLayout, TabMarksStopAtAHundred) {
  Fixture f;
  f.edit.SetTabCount(4);
  f.edit.SetShowTAB(true);
  TTabMarks marks;
  EXPECT_EQ(f.edit.ExpandTabsMarked(std::string(120, '\t'), marks), std::string(480, ' '));
  EXPECT_EQ(marks[0], 0);
  EXPECT_EQ(marks[99], 99 * 32);
  EXPECT_EQ(marks[100], -1);
}

TEST(RyxEditLayout, ColumnAtXNeverSplitsADoubleByteCharacter) {
  Fixture f;
  // "ab", a double-byte character at columns 2..3 (x 16..32), "cd".
  const std::string line = "ab\x82\xA0" "cd\r\n";
  int x = -1;
  EXPECT_EQ(f.edit.ColumnAtX(line, 17, x), 2);
  EXPECT_EQ(x, 16);
  EXPECT_EQ(f.edit.ColumnAtX(line, 24, x), 2);  // the midpoint goes left
  EXPECT_EQ(f.edit.ColumnAtX(line, 25, x), 4);
  EXPECT_EQ(x, 32);
  EXPECT_EQ(f.edit.ColumnAtX(line, -3, x), 0);
  EXPECT_EQ(x, 0);
  // Beyond the end: the content length, the terminator excluded.
  EXPECT_EQ(f.edit.ColumnAtX(line, 500, x), 6);
  EXPECT_EQ(x, 48);
  EXPECT_EQ(f.edit.ColumnAtX("ab\0\0"s, 500, x), 2);
  EXPECT_EQ(f.edit.ColumnAtX("abc", 500, x), 3);  // a piece without terminator
  for (int px = 0; px <= 60; ++px) EXPECT_NE(f.edit.ColumnAtX(line, px, x), 3) << "x " << px;
}

TEST(RyxEditLayout, ColumnAtXAgreesWithEveryBoundaryMeasured) {
  Fixture f;
  f.edit.SetTabCount(4);
  const std::vector<std::string> lines = {
      "a\tb\r\n",
      "\x82\xA0\x82\xA1x\t\x83\x40yz\x81\x40w\r\n",
      "0123456789abcdefghij\x88\x9F\x88\xA0\t\t.\0\0"s,
      "\t\x82\xA0",
      "x",
  };
  for (const bool singleByte : {false, true}) {
    f.edit.SetSingleByteMode(singleByte);
    for (const std::string& line : lines) {
      std::string content = line;
      if (content.size() >= 2 && (content[content.size() - 2] == '\r' || content[content.size() - 2] == '\0'))
        content.resize(content.size() - 2);
      const int width = f.edit.TextXOfColumn(content, static_cast<int>(content.size()));
      for (int px = -2; px <= width + 10; ++px) {
        int textX = -1;
        const int col = f.edit.ColumnAtX(line, px, textX);
        ASSERT_EQ(col, NearestBoundary(f.edit, content, px)) << "x " << px << " single " << singleByte;
        ASSERT_EQ(textX, f.edit.TextXOfColumn(content, col));
      }
    }
  }
}

TEST(RyxEditLayout, MappingAgreesWithMeasuringEveryPrefixOnCellAndMeasuredCanvases) {
  // 16 px double-byte characters are two cells, mapped by arithmetic; 17 px ones are measured.
  for (const int fullWidth : {16, 17}) {
    THeadlessHost host(440, 265, 8, fullWidth, 16);
    TRyxEdit edit;
    host.Attach(edit);
    edit.SetShowTAB(true);
    const TMeasuredLayout old{edit, host.HeadlessCanvas()};
    std::mt19937 rng(3300 + fullWidth);
    for (int round = 0; round < 100; ++round) {
      edit.SetTabCount(1 + static_cast<int>(rng() % 8));
      edit.SetSingleByteMode(rng() % 3 == 0);
      const std::string row = RandomRow(rng);
      const std::string context = "row \"" + row + "\" tabs " + std::to_string(edit.TabCount()) + " single " +
                                  std::to_string(edit.SingleByteMode()) + " full " + std::to_string(fullWidth);
      std::vector<int> oldMarks;
      ASSERT_EQ(edit.ExpandTabs(row), old.Expand(row, &oldMarks)) << context;
      TTabMarks marks;
      edit.ExpandTabsMarked(row, marks);
      oldMarks.push_back(-1);
      ASSERT_EQ(std::vector<int>(marks.begin(), marks.begin() + static_cast<long>(oldMarks.size())), oldMarks)
          << context;
      const int n = static_cast<int>(row.size());
      for (int col = -1; col <= n + 1; ++col)
        ASSERT_EQ(edit.TextXOfColumn(row, col), old.X(row, std::min(col, n))) << context << " col " << col;
      const int width = old.X(row, n);
      for (const std::string& stored : {row + "\r\n", row}) {
        for (int x = -2; x <= width + 3; ++x) {
          int textX = -1;
          int oldTextX = -2;
          ASSERT_EQ(edit.ColumnAtX(stored, x, textX), old.ColumnAtX(row, x, oldTextX)) << context << " x " << x;
          ASSERT_EQ(textX, oldTextX) << context << " x " << x;
        }
      }
    }
  }
}

TEST(RyxEditLayout, SingleByteModeStopsBetweenLeadBytes) {
  Fixture f;
  const std::string line = "\x82\xA0\x82\xA0\r\n";
  int x = 0;
  EXPECT_EQ(f.edit.ColumnAtX(line, 10, x), 2);
  f.edit.SetSingleByteMode(true);
  // Every byte is a character of its own now; the canvas still measures the pair as 16 px.
  EXPECT_EQ(f.edit.ColumnAtX(line, 10, x), 1);
  EXPECT_EQ(x, 8);
}

TEST(RyxEditLayout, PointToLineClampsToWholeVisibleRowsAndTheLastLine) {
  Fixture f;
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line\r\n";
  f.edit.SetAllText(text);
  ASSERT_EQ(f.edit.VisibleLines(), 14);
  f.edit.MoveCaretToPoint(30, 4 + 18 * 3 + 5);
  EXPECT_EQ(f.edit.CaretLine(), 3);
  EXPECT_EQ(f.edit.CaretCol(), 2);  // text x 20 is the midpoint of 'n', which goes left
  f.edit.MoveCaretToPoint(30, 1);   // in the top margin
  EXPECT_EQ(f.edit.CaretLine(), 0);
  f.edit.MoveCaretToPoint(30, 4 + 18 * 14 + 3);  // the partly visible row at the bottom
  EXPECT_EQ(f.edit.CaretLine(), 13);

  f.edit.SetAllText("a\r\nb\r\nc");
  f.edit.MoveCaretToPoint(30, 200);  // below the text
  EXPECT_EQ(f.edit.CaretLine(), 2);
  EXPECT_EQ(f.edit.CaretCol(), 1);
}

TEST(RyxEditLayout, PointLeftOfTheTextFollowsTheFourPixelRule) {
  Fixture f;
  f.edit.SetAllText(std::string(100, 'x'));
  // Scroll far right: the caret at column 100 (x 800) is kept in view.
  f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(100, 0));
  const int scrolled = f.edit.ScrollX();
  ASSERT_EQ(scrolled, 800 + 86 - 430);

  // 4 px left of the text: mapped as if inside, x 452 is the midpoint of column 56.
  f.edit.MoveCaretToPoint(10 - 4, 10);
  EXPECT_EQ(f.edit.CaretCol(), 56);
  // Left of the view: the view moves left by a third of the text width.
  EXPECT_EQ(f.edit.ScrollX(), scrolled - 430 / 3);
  EXPECT_EQ(f.edit.CaretX(), 448 - f.edit.ScrollX());

  // 5 px left: column 0 and no horizontal scroll.
  f.edit.MoveCaretToPoint(10 - 5, 10);
  EXPECT_EQ(f.edit.CaretCol(), 0);
  EXPECT_EQ(f.edit.ScrollX(), 0);
  EXPECT_EQ(f.edit.CaretX(), 0);
}

TEST(RyxEditLayout, TooNarrowATextAreaLeavesTheScrollAlone) {
  Fixture f;
  f.edit.SetAllText(std::string(100, 'x'));
  f.host.Resize(12, 265);  // a text area 2 px wide: a third of it is 0
  ASSERT_EQ(f.edit.TextWidth(), 2);
  f.edit.Perform(f.edit.MsgSetCaretPos(), 0, MakeLong(50, 0));
  const int scrolled = f.edit.ScrollX();
  ASSERT_GT(scrolled, 0);
  f.edit.MoveCaretToPoint(10 - 4, 10);
  EXPECT_EQ(f.edit.ScrollX(), scrolled);
  EXPECT_EQ(f.edit.CaretCol(), 49);  // text x 399 - 4 lies in the left half of column 49
  EXPECT_LT(f.edit.CaretX(), 0);
}

}  // namespace
