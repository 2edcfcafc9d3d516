// Tests of the change reports: a copy of the rows kept only from the reports stays equal to the store.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/editor/EditorFixture.h"
#include "tests/editor/TempFolder.h"

namespace {

class RyxEditLinesChanged : public ::testing::TestWithParam<int> {};

TEST_P(RyxEditLinesChanged, AMirrorKeptFromTheReportsMatchesTheStoreAfterEveryEditAndRewrap) {
  TEditorFixture f("ab\r\n\x82\xA0\x82\xA2\r\ncd\r\nefgh", 265, GetParam());
  std::vector<std::string> mirror = f.Rows();
  f.edit.OnLinesChanged = [&](TObject*, int first, int oldLast, int newLast) {
    ASSERT_LE(0, first);
    ASSERT_LE(first - 1, oldLast);
    ASSERT_LT(oldLast, static_cast<int>(mirror.size()));
    ASSERT_LT(newLast, f.edit.Lines().Count());
    mirror.erase(mirror.begin() + first, mirror.begin() + oldLast + 1);
    for (int row = first; row <= newLast; ++row) mirror.insert(mirror.begin() + row, std::string(f.edit.Lines().Get(row)));
  };
  TTempFolder folder;
  const std::filesystem::path file = folder.Path() / "lf.txt";
  std::ofstream(file, std::ios::binary) << "one\ntwo\nthree";
  const std::vector<std::string> steps = {
      "type:x", "Return", "Back", "Delete", "Ctrl+Back", "Ctrl+Delete", "Ctrl+Z", "Ctrl+Shift+Z", "Insert",
      "paste:p\r\nq", "ime:\x82\xA4", "Up", "Down", "End", "Home", "Shift+Down", "Shift+End", "cut", "clear", "Ctrl+A",
      "Tab"};
  std::mt19937 random(5);
  for (int i = 0; i < 800; ++i) {
    const std::string step = steps[random() % steps.size()];
    f.Do(step);
    if (i % 101 == 0) f.edit.ReplaceAllText(f.edit.GetAllText() + "\r\nz");
    if (i % 211 == 0) f.edit.LoadFromFile(file);
    if (i % 307 == 0) f.edit.ClearAll();
    if (i % 149 == 0) f.edit.SetAllText("s\r\nt");
    if (i % 97 == 0) f.edit.SetWordWrap(!f.edit.WordWrap());
    if (i % 89 == 0)
      f.edit.ReplaceAllText([](const TStoredText& text, TRyxStringsWriter& out) {
        out.Write("w");
        text.ForEachLine([&out](std::string_view line) { out.Write(line, line); });
      });
    ASSERT_EQ(mirror, f.Rows()) << "step " << i << " " << step;
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, RyxEditLinesChanged, ::testing::Values(kUnwrapped, kWrapColumn));

}  // namespace
