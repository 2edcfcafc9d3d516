// Tests of the overflow cache: kept up to date through the editor's change reports, checked against a fresh count of the text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/core/OverflowLines.h"
#include "app/core/OverflowMarks.h"
#include "app/core/RowFlags.h"
#include "app/core/TimeTags.h"
#include "editor/RyxEditSub.h"
#include "editor/Ryxstrings.h"
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
  cache.MeasureRest(f.edit.Lines());
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
  cache.MeasureRest(lines);
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

// Rows as the editor stores them, a row without a line break going on in
// the next as a soft-wrapped one does, changed by random splices: every row
// after the replaced ones stays in the logical line it was in, as in the
// editor's reports.
class TRandomRows {
 public:
  explicit TRandomRows(std::mt19937& random) : FRandom(random) {}

  TRyxStrings Lines{64};

  // Replaces rows first..oldLast by newRows random rows; the row before the
  // rows after them ends a line, or goes on, as the one it replaces did.
  void Splice(int first, int oldLast, int newRows) {
    const bool ends = oldLast < 0 || oldLast + 1 >= Lines.Count() || HasLineEnd(Lines.Get(oldLast));
    for (int row = oldLast; row >= first; --row) Lines.Delete(row);
    for (int k = 0; k < newRows; ++k) Lines.Insert(first + k, Row(k + 1 < newRows ? FRandom() % 4 != 0 : ends));
  }

 private:
  std::string Row(bool endsLine) {
    // Lines around the limit of 12 cells of the 6 x 2 display, tags not
    // counting, ID tags, double-byte characters and now and then one
    // longer than the kept layout's limit.
    static const std::vector<std::string> pieces = {"ab", "cdefg", "\x82\xA0", "\x82\xA2\x82\xA4", "[00:01.00]",
                                                     "<00:02.00>", "[ti:abcdefghijklmn]", "hijklmnopq", ""};
    std::string row;
    if (FRandom() % 500 == 0) row.assign(66000 + FRandom() % 3, 'x');
    for (unsigned k = FRandom() % 4; k > 0; --k) row += pieces[FRandom() % pieces.size()];
    return endsLine ? row + "\r\n" : row;
  }

  std::mt19937& FRandom;
};

// The oracle for such rows: each logical line joined and laid out anew, its
// flag on its last row; a line seen before is not laid out again.
std::vector<bool> OverflowingRows(const TRyxStrings& lines, TPlayerDisplay display,
                                  std::unordered_map<std::string, bool>& known) {
  std::vector<bool> result(static_cast<std::size_t>(lines.Count()), false);
  std::string line;
  for (int row = 0; row < lines.Count(); ++row) {
    const std::string_view stored = lines.Get(row);
    line.append(stored.substr(0, static_cast<std::size_t>(ContentLength(stored))));
    if (!HasLineEnd(stored) && row + 1 < lines.Count()) continue;
    const auto [at, added] = known.try_emplace(line, false);
    if (added) {
      at->second = !ParseTaggedLine(line).Id &&
                   LayOutForPlayer(line, display.HalfCount).Rows.size() > static_cast<std::size_t>(display.LineCount);
    }
    result[static_cast<std::size_t>(row)] = at->second;
    line.clear();
  }
  return result;
}

TEST(OverflowLinesTest, AWalkInStepsWithViewsAndEditsBetweenAgreesWithAFreshMeasure) {
  const TPlayerDisplay display{6, 2};
  std::mt19937 random(23);
  TRandomRows rows(random);
  rows.Splice(0, -1, 60);
  TOverflowLines cache(display);
  cache.Reset(rows.Lines);
  std::unordered_map<std::string, bool> known;
  int walks = 0;
  int completions = 0;
  int bigChanges = 0;
  for (int i = 0; i < 700; ++i) {
    const TRyxStrings& lines = rows.Lines;
    const int count = lines.Count();
    const unsigned what = random() % 20;
    std::string step;
    int first = 0;
    int last = -1;
    if (what < 8) {
      // An edit of a few rows; now and then more rows than are measured at
      // once (a text loaded), and a long text is cut back again.
      first = static_cast<int>(random() % static_cast<unsigned>(count + 1));
      const int removed = static_cast<int>(random() % static_cast<unsigned>(std::min(count - first, 4) + 1));
      const int oldLast = first - 1 + removed;
      int newRows = 1 + static_cast<int>(random() % 4);
      if (random() % 40 == 0) newRows = TOverflowLines::kMostRowsMeasuredAtOnce + 1 + static_cast<int>(random() % 900);
      if (count > 1000 && random() % 3 != 0) {
        first = static_cast<int>(random() % 200);
        rows.Splice(first, first + count - 500, 1);
        cache.Changed(lines, first, first + count - 500, first);
        step = "cut";
      } else {
        rows.Splice(first, oldLast, newRows);
        cache.Changed(lines, first, oldLast, first + newRows - 1);
        bigChanges += newRows > TOverflowLines::kMostRowsMeasuredAtOnce ? 1 : 0;
        step = "splice " + std::to_string(first) + ".." + std::to_string(oldLast) + " by " + std::to_string(newRows);
      }
    } else if (what < 14) {
      int before = 0;
      for (int row = 0; row < count; ++row) before += cache.Measured(row) ? 1 : 0;
      const bool wasComplete = cache.Complete();
      cache.MeasureSome(lines, 1 + random() % 300);
      int after = 0;
      for (int row = 0; row < count; ++row) after += cache.Measured(row) ? 1 : 0;
      // A step of the walk measures at least one more row, or ends it.
      EXPECT_TRUE(wasComplete || after > before || cache.Complete()) << "step " << i;
      walks += 1;
      step = "walk";
    } else if (what < 19) {
      // A view's rows, its ends past those of the text now and then.
      first = static_cast<int>(random() % static_cast<unsigned>(count + 4)) - 2;
      last = first + static_cast<int>(random() % 40);
      cache.MeasureRows(lines, first, last);
      step = "view " + std::to_string(first) + ".." + std::to_string(last);
    } else if (random() % 2 == 0) {
      cache.Reset(lines);
      step = "reset";
    } else {
      cache.MeasureRest(lines);
      step = "rest";
    }
    const std::vector<bool> expected = OverflowingRows(lines, display, known);
    ASSERT_EQ(cache.Rows(), lines.Count()) << step;
    int measuredCount = 0;
    int all = 0;
    for (int row = 0; row < lines.Count(); ++row) {
      const bool flag = expected[static_cast<std::size_t>(row)];
      all += flag ? 1 : 0;
      if (!cache.Measured(row)) {
        ASSERT_FALSE(cache.EndsOverflow(row)) << "step " << i << " " << step << " row " << row;
        continue;
      }
      ASSERT_EQ(cache.EndsOverflow(row), flag) << "step " << i << " " << step << " row " << row;
      measuredCount += flag ? 1 : 0;
    }
    // The count is that of the measured rows, the whole text's once the walk is over.
    ASSERT_EQ(cache.Count(), measuredCount) << "step " << i << " " << step;
    if (step.starts_with("view")) {
      for (int row = std::max(first, 0); row <= std::min(last, lines.Count() - 1); ++row) {
        ASSERT_TRUE(cache.Measured(row)) << "step " << i << " " << step << " row " << row;
      }
    }
    ASSERT_TRUE(step != "rest" || cache.Complete());
    if (cache.Complete()) {
      ++completions;
      ASSERT_EQ(cache.Count(), all) << "step " << i << " " << step;
      for (int row = 0; row < lines.Count(); ++row) {
        ASSERT_TRUE(cache.Measured(row)) << "step " << i << " row " << row;
      }
    }
  }
  // The random steps went through each case.
  EXPECT_GT(walks, 100);
  EXPECT_GT(completions, 50);
  EXPECT_GT(bigChanges, 3);
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
