// Whole-text replacement as one undoable step (random sequences against a history of texts, the budget) and the redo
// keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/TempDir.h"
#include "tests/editor/EditorFixture.h"

namespace {

// The rows a text gets when it is set afresh: what every edit must leave too.
std::vector<std::string> RowsOf(const std::string& text, int wrapColumn = kUnwrapped) {
  TEditorFixture fresh(text, 265, wrapColumn);
  return fresh.Rows();
}

// Random whole-text transforms of the kinds the tools make: bytes dropped
// here and there, lines dropped, everything re-encoded, text appended.
std::string Transform(const std::string& text, std::mt19937& rng) {
  auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  std::string out;
  switch (pick(4)) {
    case 0:  // drop every "[" run and what follows up to "]"
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '[') {
          out += text[i];
          continue;
        }
        const std::size_t close = text.find(']', i);
        if (close == std::string::npos) {
          out += text[i];
          continue;
        }
        i = close;
      }
      return out;
    case 1: {  // drop one line
      const std::size_t start = text.empty() ? 0 : pick(text.size());
      const std::size_t lineStart = start == 0 ? 0 : text.rfind("\r\n", start - 1);
      const std::size_t from = lineStart == std::string::npos || start == 0 ? 0 : lineStart + 2;
      const std::size_t to = text.find("\r\n", from);
      out = text;
      out.erase(from, to == std::string::npos ? std::string::npos : to - from + 2);
      return out;
    }
    case 2:  // every letter upper case
      out = text;
      for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      return out;
    default:
      return text + (pick(2) ? "\r\n[x]tail" : "z");
  }
}

class RyxEditReplaceRandom : public testing::TestWithParam<int> {};

// The rewrite form of the replacement, as a tool's filter drives it: the
// new text written in pieces of random sizes, each with the old line it
// was made from, so that lines are cut between writes and kept lines share
// their bytes.
void Rewrite(TRyxEdit& edit, const std::string& after, std::mt19937& rng) {
  edit.ReplaceAllText([&](const TStoredText& text, TRyxStringsWriter& out) {
    std::size_t at = 0;
    text.ForEachLine([&](std::string_view line) {
      const std::size_t n = std::min<std::size_t>(after.size() - at, rng() % (line.size() + 3));
      out.Write(std::string_view(after).substr(at, n), line);
      at += n;
    });
    out.Write(std::string_view(after).substr(at));
  });
}

// The byte offset in text of a logical position.
std::size_t OffsetOf(const std::string& text, TLogicalPos pos) {
  std::size_t at = 0;
  for (int line = 0; line < pos.Line; ++line) at = text.find("\r\n", at) + 2;
  return at + static_cast<std::size_t>(pos.Col);
}

// Where the caret and the top row stand, in lines of the text.
std::pair<TLogicalPos, TLogicalPos> PlaceOf(const TEditorFixture& f) {
  return {f.LogicalCaret(), f.edit.ToLogical({f.edit.TopLine(), 0})};
}

// Random whole-text replacements, in the string or the rewrite form, and
// typing, undone and redone through the whole history against the texts it
// went through; now and then a rewrite fails half-way and changes nothing.
// A replacement keeps the caret on its text; undo and redo put the caret and
// the view back where they stood before and after the step.
void CheckRandomHistory(bool rewrite, int wrapColumn) {
  const std::vector<std::string> pieces{"a", "[", "]", "q", "\x82\xA0", "\r\n", " "};
  std::mt19937 rng(rewrite ? 8082 : 8081);
  auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  TEditorFixture f("[00]ab\r\ncd[1]e\r\n\r\nfgh", 265, wrapColumn);
  std::vector<std::string> history{f.edit.GetAllText()};
  // For each entry of the history made by a replacement: the places before and after it.
  std::map<std::size_t, std::pair<std::pair<TLogicalPos, TLogicalPos>, std::pair<TLogicalPos, TLogicalPos>>> places;
  for (int step = 0; step < 200; ++step) {
    SCOPED_TRACE("step " + std::to_string(step));
    if (pick(3) == 0) {
      const int line = static_cast<int>(pick(static_cast<std::size_t>(f.edit.Lines().Count())));
      f.Caret(line, 0);
      f.edit.TypeText(pieces[pick(pieces.size())]);
    } else if (rewrite && pick(8) == 0) {
      const std::size_t records = f.edit.UndoList().size();
      EXPECT_THROW(f.edit.ReplaceAllText([](const TStoredText& text, TRyxStringsWriter& out) {
        text.ForEachLine([&out](std::string_view line) { out.Write("x\r\n", line); });
        throw std::runtime_error("the filter failed");
      }),
                   std::runtime_error);
      ASSERT_EQ(f.edit.GetAllText(), history.back());
      EXPECT_EQ(f.edit.UndoList().size(), records);
    } else {
      const std::string before = f.edit.GetAllText();
      const std::string after = Transform(before, rng);
      const int line = static_cast<int>(pick(static_cast<std::size_t>(f.edit.Lines().Count())));
      f.Caret(line, static_cast<int>(pick(4)));
      const auto placeBefore = PlaceOf(f);
      const std::size_t caret = OffsetOf(before, placeBefore.first);
      if (rewrite)
        Rewrite(f.edit, after, rng);
      else
        f.edit.ReplaceAllText(after);
      ASSERT_EQ(f.edit.GetAllText(), after);
      ASSERT_EQ(f.Broken(), "");
      if (after == before) {
        EXPECT_EQ(PlaceOf(f), placeBefore) << "no change moves nothing";
        continue;
      }
      const auto same = static_cast<std::size_t>(
          std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first - before.begin());
      std::size_t suffix = 0;
      while (suffix < std::min(before.size(), after.size()) - same &&
             before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
      const std::size_t now = OffsetOf(after, f.LogicalCaret());
      // The string form knows the changed bytes exactly: a caret before them
      // stays, one after them moves with its text.
      if (!rewrite && caret < same) {
        EXPECT_EQ(now, caret);
      }
      if (!rewrite && caret > before.size() - suffix) {
        EXPECT_EQ(after.size() - now, before.size() - caret);
      }
      places[history.size()] = {placeBefore, PlaceOf(f)};
    }
    if (f.edit.GetAllText() != history.back()) history.push_back(f.edit.GetAllText());
    ASSERT_EQ(f.Rows(), RowsOf(f.edit.GetAllText(), wrapColumn));
    EXPECT_TRUE(f.edit.Modified());
  }
  ASSERT_GT(history.size(), 100u);
  for (std::size_t i = history.size() - 1; i > 0; --i) {
    f.edit.Undo();
    ASSERT_EQ(f.edit.GetAllText(), history[i - 1]) << "undo back to " << i - 1;
    ASSERT_EQ(f.Rows(), RowsOf(history[i - 1], wrapColumn));
    if (places.contains(i)) {
      EXPECT_EQ(PlaceOf(f), places[i].first) << "undo back to " << i - 1;
    }
  }
  EXPECT_FALSE(f.edit.Modified());
  EXPECT_EQ(f.edit.UndoSize(), 0);
  for (std::size_t i = 1; i < history.size(); ++i) {
    f.edit.Redo();
    ASSERT_EQ(f.edit.GetAllText(), history[i]) << "redo to " << i;
    if (places.contains(i)) {
      EXPECT_EQ(PlaceOf(f), places[i].second) << "redo to " << i;
    }
  }
  EXPECT_TRUE(f.edit.Modified());
}

TEST_P(RyxEditReplaceRandom, RandomReplacementsAndTypingUndoAndRedoThroughTheWholeHistory) {
  CheckRandomHistory(false, GetParam());
}

TEST_P(RyxEditReplaceRandom, RandomRewritesAndTypingUndoAndRedoThroughTheWholeHistory) {
  CheckRandomHistory(true, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Forms, RyxEditReplaceRandom, testing::Values(kUnwrapped, kWrapColumn));

TEST(RyxEditReplace, AStepLargerThanTheBudgetIsStillUndoneUntilTheNextChange) {
  const std::string old = std::string(30, 'a') + "\r\ntwo";
  TEditorFixture f(old);
  f.edit.SetUndoBuf(10);
  f.edit.TypeText("x");
  const std::string big(64, 'b');
  f.edit.ReplaceAllText(big);
  EXPECT_EQ(f.edit.UndoList().size(), 1u) << "older records make way for the step";
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), "x" + old);
  EXPECT_TRUE(f.edit.Modified()) << "the history before the step is gone";
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), big);
  f.edit.Undo();
  f.edit.Redo();
  EXPECT_EQ(f.edit.GetAllText(), big);

  // The next change goes within the budget, and the step no longer fits.
  f.Caret(0, 0);
  f.edit.TypeText("y");
  f.edit.Undo();
  f.edit.Undo();
  EXPECT_EQ(f.edit.GetAllText(), big);
}

TEST(RyxEditReplace, TheModifiedStateAndTheEventsFollowTheStep) {
  TEditorFixture f("[00:01:00]a\r\nb");
  std::vector<bool> modified;
  f.edit.OnChangeModify = [&modified](TObject*, bool value) { modified.push_back(value); };
  f.edit.ReplaceAllText("[00:01:00]a\r\nb");
  EXPECT_TRUE(modified.empty()) << "the same text is no change";
  EXPECT_EQ(f.changes, 0);
  f.edit.ReplaceAllText("a\r\nb");
  f.edit.Undo();
  f.edit.Redo();
  f.edit.Undo();
  EXPECT_EQ(modified, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(f.changes, 4);
  EXPECT_EQ(f.edit.GetAllText(), "[00:01:00]a\r\nb");
  // A NUL ends the text, as it ends pasted text.
  f.edit.ReplaceAllText(std::string("ab\0cd", 5));
  EXPECT_EQ(f.edit.GetAllText(), "ab");
}

TEST(RyxEditReplace, TheSavedTextIsTheUnmodifiedOneWhereverUndoAndRedoGo) {
  // Steps after "ab" is typed and saved; the text after each and whether it counts as modified.
  struct TStep {
    const char* Do;
    std::string Text;
    bool Modified;
  };
  const std::vector<TStep> steps{{"type c", "abc", true}, {"undo", "ab", false},  {"undo", "a", true},
                                 {"redo", "ab", false},   {"redo", "abc", true},  {"undo", "ab", false},
                                 {"undo", "a", true},     {"type x", "ax", true}, {"undo", "a", true},
                                 {"save", "a", false},    {"undo", "", true},     {"redo", "a", false}};
  TEditorFixture f;
  const TTempDir folder;
  const auto file = folder.Path() / "saved.txt";
  f.edit.TypeText("a");
  f.edit.TypeText("b");
  ASSERT_TRUE(f.edit.SaveToFile(file));
  EXPECT_FALSE(f.edit.Modified());
  for (const TStep& step : steps) {
    const std::string what = step.Do;
    if (what == "undo") f.edit.Undo();
    if (what == "redo") f.edit.Redo();
    if (what == "save") {
      ASSERT_TRUE(f.edit.SaveToFile(file));
    }
    if (what.starts_with("type ")) f.edit.TypeText(what.substr(5));
    EXPECT_EQ(f.edit.GetAllText(), step.Text) << what;
    EXPECT_EQ(f.edit.Modified(), step.Modified) << what << " to " << step.Text;
  }
}

TEST(RyxEditReplace, CtrlYAndCtrlShiftZRedoWhereCtrlZUndoes) {
  struct TCase {
    WORD Key;
    bool Shift;
    bool ReadOnly;
    std::string After;
  };
  for (const TCase& c : {TCase{'Z', false, false, "a"}, TCase{'Z', true, false, "abc"}, TCase{'Y', false, false, "abc"},
                         TCase{'Y', false, true, "ab"}, TCase{'Z', true, true, "ab"}}) {
    TEditorFixture f;
    for (const char* typed : {"a", "b", "c"}) f.edit.TypeText(typed);
    f.edit.Undo();
    f.edit.SetReadOnly(c.ReadOnly);
    f.Key(c.Key, c.Shift, true);
    EXPECT_EQ(f.edit.GetAllText(), c.After) << c.Key << c.Shift << c.ReadOnly;
  }
}

}  // namespace
