// Tests of the change reports: each kind of edit is reported once, with the rows in their final form.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/editor/EditorFixture.h"
#include "tests/TempDir.h"

namespace {

class RyxEditLinesChanged : public ::testing::TestWithParam<int> {};

// Every kind of edit goes through one door: it is reported once, when the
// rows are already in their final form (wrapped, the pieces a fresh wrap
// gives), and OnChange follows that report once.
TEST_P(RyxEditLinesChanged, EachKindOfEditIsReportedOnceWithTheRowsInTheirFinalForm) {
  TTempDir folder;
  const std::filesystem::path file = folder.Path() / "loaded.txt";
  std::ofstream(file, std::ios::binary) << "loaded line that wraps\nsecond";
  const std::string text = "abcdefghijklmnopq\r\n\x82\xA0\x82\xA2\x82\xA4 rstuvwxyz\r\nshort";
  using TStep = std::function<void(TEditorFixture&)>;
  auto steps = [](std::vector<std::string> names) {
    return TStep([names](TEditorFixture& f) {
      for (const std::string& name : names) f.Do(name);
    });
  };
  const TStep none = [](TEditorFixture&) {};
  const TStep typed = steps({"caret:0,5", "type:x"});
  struct TCase {
    const char* Name;
    TStep Before;
    TStep Edit;
    // Whether the text is modified after the edit: a load, a clear or a set text starts unmodified.
    bool Modified = true;
  };
  const std::vector<TCase> cases{
      {"typing", steps({"caret:0,5"}), steps({"type:x"})},
      {"typing over", steps({"caret:0,5", "Insert"}), steps({"type:x"})},
      {"input method", steps({"caret:1,2"}), steps({"ime:\x82\xA6\x82\xA8"})},
      {"Enter", steps({"caret:0,12"}), steps({"Return"})},
      {"Backspace joining lines", steps({"caret:1,0"}), steps({"Back"})},
      {"Delete", steps({"caret:0,3"}), steps({"Delete"})},
      {"Ctrl+Backspace", steps({"caret:0,17"}), steps({"Ctrl+Back"})},
      {"Tab", steps({"caret:0,2"}), steps({"Tab"})},
      {"paste", steps({"caret:0,9"}), steps({"paste:p\r\nqq"})},
      {"cut", steps({"sel:0,3,1,4"}), steps({"cut"})},
      {"clear", none, steps({"clear"})},
      {"undo", typed, [](TEditorFixture& f) { f.edit.Undo(); }, false},
      {"redo", [typed](TEditorFixture& f) { typed(f), f.edit.Undo(); }, [](TEditorFixture& f) { f.edit.Redo(); }},
      {"drop moving", steps({"sel:0,1,0,4", "press:0,2"}), steps({"drop:2,3"})},
      {"drop copying", steps({"sel:0,1,0,4", "press:0,2"}), steps({"drop:2,3,1"})},
      {"whole text", none, [](TEditorFixture& f) { f.edit.ReplaceAllText("new\r\n" + f.Text() + "\r\nend"); }},
      {"whole text rewritten", none,
       [](TEditorFixture& f) {
         f.edit.ReplaceAllText([](const TStoredText& stored, TRyxStringsWriter& out) {
           stored.ForEachLine([&out](std::string_view line) { out.Write(std::string(line.substr(1)), line); });
         });
       }},
      {"undo of a whole text", [](TEditorFixture& f) { f.edit.ReplaceAllText("other text that wraps"); },
       [](TEditorFixture& f) { f.edit.Undo(); }, false},
      {"load", typed, [file](TEditorFixture& f) { ASSERT_TRUE(f.edit.LoadFromFile(file)); }, false},
      {"clear all", typed, [](TEditorFixture& f) { f.edit.ClearAll(); }, false},
      {"set all", typed, [](TEditorFixture& f) { f.edit.SetAllText("set text that wraps too"); }, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TEditorFixture f(text, 265, GetParam());
    c.Before(f);
    int reports = 0;
    std::vector<int> reportsAtChange;
    f.edit.OnLinesChanged = [&](TObject*, int, int, int) {
      ++reports;
      if (!f.edit.WordWrap()) return;
      TRyxStrings fresh;
      f.edit.BuildWrappedLines(fresh);
      std::vector<std::string> rows;
      for (int i = 0; i < fresh.Count(); ++i) rows.emplace_back(fresh.Get(i));
      EXPECT_EQ(f.Rows(), rows) << "reported before the rows were rewrapped";
    };
    std::vector<bool> modifiedAtChange;
    f.edit.OnChange = [&](TObject*) {
      reportsAtChange.push_back(reports);
      modifiedAtChange.push_back(f.edit.Modified());
    };
    c.Edit(f);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(reportsAtChange, std::vector<int>{1}) << "OnChange once, after the report";
    EXPECT_EQ(modifiedAtChange, std::vector<bool>{c.Modified}) << "the modified state is settled before OnChange";
    EXPECT_EQ(f.Broken(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, RyxEditLinesChanged, ::testing::Values(kUnwrapped, kWrapColumn));

}  // namespace
