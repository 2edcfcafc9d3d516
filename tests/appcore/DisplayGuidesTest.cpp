// Tests of the device display guides drawn over the editor.
#include "app/core/DisplayGuides.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "app/core/TagCounting.h"
#include "platform/headless/HeadlessCanvas.h"
#include "tests/editor/EditorFixture.h"

namespace {

constexpr int kTop = 4;
constexpr int kTextHeight = 261;

struct TLine {
  int X;
  TColor Color;
  friend bool operator==(const TLine&, const TLine&) = default;
};

// Draws with an 8-pixel space and returns the lines, checking that every
// one is vertical and spans exactly the text area.
std::vector<TLine> Draw(const TDeviceSettings& settings, int x1 = 2, int scrollX = 0) {
  THeadlessCanvas canvas(8, 16, 16);
  DrawDisplayGuides(canvas, x1, kTop, kTextHeight, settings, scrollX);
  std::vector<TLine> lines;
  for (const TCanvasOp& op : canvas.Ops()) {
    EXPECT_EQ(op.Op, "line");
    EXPECT_EQ(op.X, op.X2);
    EXPECT_EQ(op.Y, kTop);
    EXPECT_EQ(op.Y2, kTop + kTextHeight);
    lines.push_back({op.X, op.Color});
  }
  return lines;
}

TDeviceSettings Settings(int halfCount, int lineCount, bool showTag) {
  TDeviceSettings s;
  s.HalfCount = halfCount;
  s.LineCount = lineCount;
  s.ShowTagLine = showTag;
  return s;
}

TEST(DisplayGuidesTest, DefaultsDrawOneGreyLineAfterEachDisplayLine) {
  const std::vector<TLine> expected{{129, kGuideLineColor}, {257, kGuideLineColor}, {385, kGuideLineColor}};
  EXPECT_EQ(Draw(TDeviceSettings{}), expected);
}

TEST(DisplayGuidesTest, TagColumnAddsPinkLineAndShiftsTheGuides) {
  const std::vector<TLine> expected{
      {81, kTagLineColor}, {209, kGuideLineColor}, {337, kGuideLineColor}, {465, kGuideLineColor}};
  EXPECT_EQ(Draw(Settings(16, 3, true)), expected);
}

TEST(DisplayGuidesTest, GuidesScrollWithTheTextAndNotIntoTheGutter) {
  // Scrolled by 50 cells: the tag line and the first guide lie left of the text area.
  const std::vector<TLine> expected{{49 + 8 * 74 - 1 - 400, kGuideLineColor}, {49 + 8 * 106 - 1 - 400, kGuideLineColor}};
  EXPECT_EQ(Draw(Settings(32, 3, true), 49, 400), expected);
}

TEST(DisplayGuidesTest, GuidesFollowTextColumnZero) {
  const std::vector<TLine> expected{{49 + 8 * 20 - 1, kGuideLineColor}};
  EXPECT_EQ(Draw(Settings(20, 1, false), 49), expected);
}

TEST(DisplayGuidesTest, NoDisplayLinesLeavesOnlyTheTagLine) {
  EXPECT_TRUE(Draw(Settings(16, 0, false)).empty());
  EXPECT_TRUE(Draw(Settings(16, -4, false)).empty());
  const std::vector<TLine> tagOnly{{81, kTagLineColor}};
  EXPECT_EQ(Draw(Settings(16, 0, true)), tagOnly);
}

TEST(DisplayGuidesTest, ZeroWidthDisplayPutsTheGuidesAtTheTagEnd) {
  for (const int halfCount : {0, -3}) {
    const std::vector<TLine> plain = Draw(Settings(halfCount, 3, false));
    ASSERT_FALSE(plain.empty());
    for (const TLine& line : plain) EXPECT_EQ(line, (TLine{1, kGuideLineColor}));
    const std::vector<TLine> tagged = Draw(Settings(halfCount, 3, true));
    ASSERT_GE(tagged.size(), 2u);
    EXPECT_EQ(tagged.front(), (TLine{81, kTagLineColor}));
    for (std::size_t i = 1; i < tagged.size(); ++i) EXPECT_EQ(tagged[i], (TLine{81, kGuideLineColor}));
  }
}

TEST(DisplayGuidesTest, PenIsLeftGrey) {
  THeadlessCanvas canvas;
  DrawDisplayGuides(canvas, 2, kTop, kTextHeight, Settings(16, 0, true));
  EXPECT_EQ(canvas.PenColor(), kGuideLineColor);
}

TEST(DisplayGuidesTest, WidthsAreMeasuredInTheCanvasFont) {
  THeadlessCanvas canvas(6, 12, 12);
  DrawDisplayGuides(canvas, 0, 0, 100, Settings(10, 2, true));
  ASSERT_EQ(canvas.Ops().size(), 3u);
  EXPECT_EQ(canvas.Ops()[0].X, 59);
  EXPECT_EQ(canvas.Ops()[1].X, 119);
  EXPECT_EQ(canvas.Ops()[2].X, 179);
}

TEST(DisplayGuidesTest, HugeSettingsStopAtTheCoordinateLimit) {
  const std::vector<TLine> lines = Draw(Settings(INT_MAX, INT_MAX, false));
  EXPECT_TRUE(lines.empty());
  const std::vector<TLine> many = Draw(Settings(1, INT_MAX, false));
  ASSERT_FALSE(many.empty());
  EXPECT_LE(many.back().X, kMaxGuideX);
  EXPECT_GT(many.back().X + 8, kMaxGuideX);
}

}  // namespace

// The guides of each row in view when tags are passed over: at the x where a
// player row after the first starts, and past the text on in cells; none on
// an ID line. Headless cells are 8 pixels.
TEST(DisplayGuidesTest, CountedGuidesStandWhereThePlayerBreaksEachLine) {
  TEditorFixture f("[00:01.00]abcdefghij<00:02.00>klm\r\n[ti:abcdefghijklmn]\r\nab\r\n"
                   "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0z");
  const TTagCounting counting;
  TDeviceSettings settings;
  settings.HalfCount = 10;
  settings.LineCount = 2;
  THeadlessCanvas& canvas = f.host.HeadlessCanvas();
  canvas.TakeOps();
  DrawCountedGuides(canvas, f.edit, settings, counting, 0, 3);
  std::vector<std::pair<int, int>> guides;  // row, x from the text's left
  for (const TCanvasOp& op : canvas.TakeOps()) {
    ASSERT_EQ(op.Op, "line");
    EXPECT_EQ(op.X, op.X2);
    EXPECT_EQ(op.Color, kGuideLineColor);
    const int row = (op.Y - f.edit.TopMargin()) / f.edit.LineHeight();
    EXPECT_EQ(op.Y2 - op.Y, f.edit.LineHeight());
    guides.emplace_back(row, op.X - f.edit.TextLeft() + 1);
  }
  const std::vector<std::pair<int, int>> expected = {
      // The second player row starts at the tag before "k"; its 3 cells end at byte 33.
      {0, 8 * 20}, {0, 8 * (33 + 7)},
      // Two cells, then 8 and 10 more.
      {2, 8 * 10}, {2, 8 * 20},
      // Five double-byte characters fill a row; "z" starts the next.
      {3, 8 * 10}, {3, 8 * 20},
  };
  EXPECT_EQ(guides, expected);
}
