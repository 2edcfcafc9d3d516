// Tests of the overflow cache: kept up to date through the editor's change reports, checked against a fresh count of the text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/core/OverflowLines.h"
#include "app/core/OverflowMarks.h"
#include "app/core/RowFlags.h"
#include "app/core/TimeTags.h"
#include "tests/editor/EditorFixture.h"

namespace {

// The oracle: the whole text split at its line breaks, each line laid out anew.
std::vector<bool> OverflowingLines(const std::string& text, TPlayerDisplay display) {
  std::vector<bool> result;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    result.push_back(!ParseTaggedLine(line).Id &&
                     LayOutForPlayer(line, display.HalfCount).Rows.size() > static_cast<std::size_t>(display.LineCount));
    if (end == std::string::npos) return result;
    start = end + 2;
  }
}

TEST(OverflowLinesTest, RandomEditsKeepTheCacheEqualToAFreshCount) {
  const TPlayerDisplay display{6, 2};
  // Lines around the limit of 12 cells, tags not counting.
  TEditorFixture f("[00:01.00]abcdefghijkl\r\nabcdefghijklm\r\n\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9x\r\n"
                   "<00:02.00>ab<00:03.00>cd\r\n");
  TOverflowLines cache(display);
  cache.Reset(f.edit.Lines());
  int reports = 0;
  f.edit.OnLinesChanged = [&](TObject*, int first, int oldLast, int newLast) {
    ++reports;
    cache.Changed(f.edit.Lines(), first, oldLast, newLast);
  };
  const std::vector<std::string> steps = {
      "type:abc", "type:[00:09.00]", "ime:\x82\xA0\x82\xA2", "Return", "Back", "Delete", "Ctrl+Back", "Ctrl+Z",
      "Ctrl+Shift+Z", "paste:xyz\r\nabcdefghijklmnop\r\n", "Insert", "Up", "Down", "Home", "End", "Left", "Right",
      "Shift+Down", "Shift+Right", "cut", "clear", "Ctrl+A"};
  std::mt19937 random(14);
  for (int i = 0; i < 600; ++i) {
    const std::string step = steps[random() % steps.size()];
    f.Do(step);
    if (i % 97 == 0) f.edit.ReplaceAllText(f.edit.GetAllText() + "\r\nabcdefghijklmnopqrstuvwxyz");
    if (i % 151 == 0) f.edit.SetAllText("012345678901234\r\nab");
    const std::vector<bool> expected = OverflowingLines(f.Text(), display);
    ASSERT_EQ(static_cast<int>(expected.size()), f.edit.Lines().Count()) << step;
    int count = 0;
    for (std::size_t row = 0; row < expected.size(); ++row) {
      EXPECT_EQ(cache.EndsOverflow(static_cast<int>(row)), expected[row]) << "step " << i << " " << step << " row " << row;
      count += expected[row] ? 1 : 0;
      // The badge's count, kept across repaints, is the line's as it is now.
      if (expected[row]) {
        EXPECT_EQ(cache.PlayerRows(f.edit.Lines(), static_cast<int>(row)),
                  LayOutForPlayer(LogicalLineAt(f.edit.Lines(), static_cast<int>(row)), display.HalfCount).Rows.size())
            << "step " << i << " " << step << " row " << row;
      }
    }
    ASSERT_EQ(cache.Count(), count) << "step " << i << " " << step;
  }
  EXPECT_GT(reports, 300);
}

TEST(OverflowLinesTest, LinesSplitOverRowsCountOnceOnTheirLastRow) {
  // Rows without a line break continue their line, as soft-wrapped rows do.
  TRyxStrings lines;
  lines.Add("abcd");
  lines.Add("efgh");
  lines.Add("ij\r\n");
  lines.Add("abc\r\n");
  lines.Add(std::string("abcdefg\0\0", 9));
  int first = 0;
  int last = 0;
  EXPECT_EQ(LogicalLineAt(lines, 1, &first, &last), "abcdefghij");
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 2);
  TOverflowLines cache({3, 3});
  cache.Reset(lines);
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_FALSE(cache.EndsOverflow(0));
  EXPECT_TRUE(cache.EndsOverflow(2));
  // A change in the middle row measures the whole line it belongs to.
  lines.Put(1, "e");
  cache.Changed(lines, 1, 1, 1);
  EXPECT_EQ(cache.Count(), 0);
  lines.Put(4, std::string("abcdefghij\0\0", 12));
  cache.Changed(lines, 4, 4, 4);
  EXPECT_EQ(cache.Count(), 1);
  EXPECT_TRUE(cache.EndsOverflow(4));
  // A report that does not match the text is refused.
  EXPECT_THROW(cache.Changed(lines, 3, 4, 5), std::out_of_range);
}

TEST(RowFlagsTest, RandomSplicesAndSetsMatchAPlainArray) {
  TRowFlags flags;
  std::vector<std::uint8_t> model;
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    const int count = static_cast<int>(model.size());
    const int first = static_cast<int>(random() % static_cast<unsigned>(count + 1));
    const int removed = static_cast<int>(random() % static_cast<unsigned>(std::min(count - first, 3000) + 1));
    const int inserted = static_cast<int>(random() % (i % 10 == 0 ? 9000u : 40u));
    flags.Splice(first, removed, inserted);
    model.erase(model.begin() + first, model.begin() + first + removed);
    model.insert(model.begin() + first, static_cast<std::size_t>(inserted), 0);
    for (int k = 0; k < 20 && !model.empty(); ++k) {
      const int row = static_cast<int>(random() % model.size());
      const bool value = random() % 2 == 0;
      flags.Set(row, value);
      model[static_cast<std::size_t>(row)] = value ? 1 : 0;
    }
    ASSERT_EQ(flags.Count(), static_cast<int>(model.size()));
    if (model.empty()) continue;
    // A run of flags written at once, across block ends too.
    const std::size_t at = random() % model.size();
    std::vector<std::uint8_t> run(std::min<std::size_t>(model.size() - at, random() % 6000));
    for (std::uint8_t& flag : run) flag = static_cast<std::uint8_t>(random() % 3);
    flags.Write(static_cast<int>(at), run);
    for (std::size_t k = 0; k < run.size(); ++k) model[at + k] = run[k] != 0 ? 1 : 0;
    const int a = static_cast<int>(random() % model.size());
    const int b = a + static_cast<int>(random() % (model.size() - static_cast<std::size_t>(a)));
    EXPECT_EQ(flags.CountSet(a, b), std::count(model.begin() + a, model.begin() + b + 1, 1)) << i;
    for (const bool value : {false, true}) {
      const auto found = std::find(model.begin() + a, model.begin() + b + 1, value ? 1 : 0);
      EXPECT_EQ(flags.Find(a, b, value), static_cast<int>(found - model.begin())) << i;
    }
    for (int k = 0; k < 50; ++k) {
      const int row = static_cast<int>(random() % model.size());
      ASSERT_EQ(flags.Get(row), model[static_cast<std::size_t>(row)] != 0) << i << " row " << row;
    }
  }
  EXPECT_EQ(flags.Find(3, 2, true), 3);
  EXPECT_THROW(flags.Find(0, flags.Count(), true), std::out_of_range);
  EXPECT_THROW(flags.Get(flags.Count()), std::out_of_range);
  EXPECT_THROW(flags.Splice(0, flags.Count() + 1, 0), std::out_of_range);
  EXPECT_THROW(flags.Write(flags.Count() + 1, {}), std::out_of_range);
  EXPECT_THROW(flags.Write(flags.Count(), {1}), std::out_of_range);
}

}  // namespace

namespace {

TEST(OverflowMarksTest, BadgesFollowTheEndsOfTheOverflowingLinesInView) {
  // Four cells a row, one row a page; tags take no cells.
  TEditorFixture f(
      "abcde\r\nab\r\n[00:01.00]abcd\r\n\x82\xA0\x82\xA2\x82\xA4\r\n\tx\r\nabcdefghi\r\n[ti:abcdefgh]\r\n@Title=abcdefgh");
  TOverflowLines cache({4, 1});
  cache.Reset(f.edit.Lines());
  THeadlessCanvas& canvas = f.host.HeadlessCanvas();
  canvas.TakeOps();
  DrawOverflowMarks(canvas, f.edit, cache, 0, 7);
  std::vector<std::tuple<int, int, std::string>> badges;
  for (const TCanvasOp& op : canvas.TakeOps()) {
    if (op.Op == "text") badges.emplace_back(op.X - f.edit.TextLeft(), (op.Y - f.edit.TopMargin()) / f.edit.LineHeight(), op.Text);
  }
  // Headless cells are 8 pixels; the badge starts 12 pixels after the line's end.
  const std::vector<std::tuple<int, int, std::string>> expected = {
      {5 * 8 + 12, 0, " 2\x8D\x73 "},
      {6 * 8 + 12, 3, " 2\x8D\x73 "},
      {9 * 8 + 12, 5, " 3\x8D\x73 "},
  };
  EXPECT_EQ(badges, expected);
  // Rows out of view get none.
  f.Do("size:440,40");
  canvas.TakeOps();
  DrawOverflowMarks(canvas, f.edit, cache, 0, 5);
  for (const TCanvasOp& op : canvas.TakeOps()) {
    if (op.Op == "text") {
      EXPECT_LT(op.Y, 40);
    }
  }
}

TEST(OverflowMarksTest, TheBadgeOfALineWrappedAtTheWindowsEdgeStaysInView) {
  TEditorFixture f("");
  f.Do("size:200,200");
  f.edit.SetColumn(1 << 20);
  f.edit.SetAutoWrap(true);
  f.edit.SetWordWrap(true);
  f.edit.SetAllText(std::string(200, 'a'));
  // Rows as wide as the window, the last one a cell short of it.
  const std::size_t cells = f.edit.Lines().Get(0).size();
  ASSERT_LT(cells, 200u);
  f.edit.SetAllText(std::string(3 * cells - 1, 'a') + "\r\nb");
  TOverflowLines cache({10, 2});
  cache.Reset(f.edit.Lines());
  THeadlessCanvas& canvas = f.host.HeadlessCanvas();
  canvas.TakeOps();
  DrawOverflowMarks(canvas, f.edit, cache, 0, f.edit.Lines().Count() - 1);
  int badges = 0;
  for (const TCanvasOp& op : canvas.TakeOps()) {
    if (op.Op != "text") continue;
    ++badges;
    EXPECT_EQ((op.Y - f.edit.TopMargin()) / f.edit.LineHeight(), 2);
    EXPECT_GE(op.X, f.edit.TextLeft());
    EXPECT_LE(op.X + canvas.TextWidth(op.Text), f.edit.TextLeft() + f.edit.TextWidth());
  }
  EXPECT_EQ(badges, 1);
}

}  // namespace

namespace {

TEST(OverflowLinesTest, TheShortLineShortcutAgreesWithTheLayoutForEveryShortLine) {
  // Every line of up to six pieces, each a half-width letter, a double-byte
  // character or a word tag, on small displays: lines near the shortcut's
  // length bound with cells wasted at row ends by double-byte characters.
  const std::vector<std::string> pieces = {"a", "\x82\xA0", "<00:01.00>"};
  std::vector<std::string> lines = {""};
  for (std::size_t start = 0, end = 1, length = 0; length < 6; ++length, start = end, end = lines.size()) {
    for (std::size_t i = start; i < end; ++i) {
      for (const std::string& piece : pieces) lines.push_back(lines[i] + piece);
    }
  }
  for (const std::string& line : lines) {
    for (int half = 1; half <= 5; ++half) {
      for (int rows = 0; rows <= 3; ++rows) {
        const bool expected =
            rows >= 1 && LayOutForPlayer(line, half).Rows.size() > static_cast<std::size_t>(rows);
        ASSERT_EQ(OverflowsDisplay(line, {half, rows}), expected) << line << " on " << half << " x " << rows;
      }
    }
  }
}

}  // namespace
