// Tests of the player rows of a lyrics line and of the check that lines fit the display.
#include <gtest/gtest.h>

#include <random>

#include "app/core/PlayerLayout.h"
#include "app/core/TagCheck.h"
#include "platform/CodePage.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

TEST(PlayerLayoutTest, RowsNeverSplitADoubleByteCharacter) {
  struct TCase {
    std::string line;
    int halfCount;
    std::vector<std::string> rows;
  };
  const std::vector<TCase> cases = {
      {"[00:01.00]あいう", 4, {"あい", "う"}},
      {"aあいう", 4, {"aあ", "いう"}},
      {"aあいう", 5, {"aあい", "う"}},
      {"<00:01.00>ab<00:02.00>cd[00:03:00]e", 2, {"ab", "cd", "e"}},
      {"", 4, {""}},
      {"あい", 1, {"あ", "い"}},
      // "ー" ends in the byte of "[": it is a character, not a tag's start.
      {"ーー[00:01.00]", 3, {"ー", "ー"}},
      {"abcdef", 0, {"a", "b", "c", "d", "e", "f"}},
  };
  for (const TCase& c : cases) {
    const TPlayerLayout layout = LayOutForPlayer(Sjis(c.line), c.halfCount);
    std::vector<std::string> rows;
    for (const TPlayerRow& row : layout.Rows) rows.push_back(layout.Text.substr(row.Start, row.Length));
    std::vector<std::string> expected;
    for (const std::string& row : c.rows) expected.push_back(Sjis(row));
    EXPECT_EQ(rows, expected) << c.line << " / " << c.halfCount;
  }
  // A lead byte alone at the end takes one cell.
  const TPlayerLayout lone = LayOutForPlayer("a\x81", 2);
  ASSERT_EQ(lone.Rows.size(), 1u);
  EXPECT_EQ(lone.Rows[0].Cells, 2);
}

TEST(PlayerLayoutTest, PagesAndOverflowFollowTheLineCount) {
  const TPlayerLayout layout = LayOutForPlayer("abcdefgh", 2);
  const std::vector<std::pair<int, std::size_t>> pages = {{1, 4}, {3, 2}, {4, 1}, {0, 1}};
  for (const auto& [lineCount, expected] : pages) EXPECT_EQ(layout.Pages(lineCount), expected) << lineCount;

  TTagCheckFilter filter(TPlayerDisplay{4, 1});
  filter.Apply(Sjis("[ti:あいうえおか]\r\n[00:01.00]あい[00:02.00]\r\n[00:03.00]あいう\r\n"));
  const std::vector<TTagProblem> problems = filter.Problems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].Line, 3u);
  EXPECT_EQ(problems[0].Kind, TTagProblemKind::Overflow);
}

// The counted rows, and whether they overflow a page, against the layout itself.
TEST(PlayerLayoutTest, CountedRowsMatchTheLayoutOfRandomLines) {
  // Pieces that move row breaks: wide characters, a lone lead byte, good and
  // bad tags, an ID tag, brackets that open no tag.
  const std::vector<std::string> pieces = {"a", " ", Sjis("あ"), Sjis("ー"), "\x81", "[00:01.00]", "<00:02.50>",
                                           "[0x:1]", "[", "<", "]", "[ti:x]", "@", "[00:03:00]"};
  std::mt19937 random(22);
  for (int round = 0; round < 2000; ++round) {
    std::string line;
    const int length = std::uniform_int_distribution<int>(0, 24)(random);
    for (int i = 0; i < length; ++i)
      line += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    const int halfCount = std::uniform_int_distribution<int>(0, 7)(random);
    const TPlayerLayout layout = LayOutForPlayer(line, halfCount);
    EXPECT_EQ(CountPlayerRows(line, halfCount), layout.Rows.size()) << line << " / " << halfCount;
    const int lineCount = std::uniform_int_distribution<int>(0, 4)(random);
    EXPECT_EQ(NeedsMoreThanAPage(line, {halfCount, lineCount}), layout.Pages(lineCount) > 1)
        << line << " / " << halfCount << " x " << lineCount;
  }
}

}  // namespace
