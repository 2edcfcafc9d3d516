// Tests of the main window's naming rules.
#include "app/core/DocumentNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ChangeFileExtForFilterTest, EachFilterGivesItsExtension) {
  EXPECT_EQ(ChangeFileExtForFilter("/srv/lyrics/track1.lrc", 1), "/srv/lyrics/track1.txt");
  EXPECT_EQ(ChangeFileExtForFilter("/srv/lyrics/track1.txt", 2), "/srv/lyrics/track1.lrc");
  EXPECT_EQ(ChangeFileExtForFilter("/srv/lyrics/track1", 3), "/srv/lyrics/track1.kra");
  EXPECT_EQ(ChangeFileExtForFilter("/srv/lyrics/track1.lrc", 4), "/srv/lyrics/track1.txt");
}

TEST(ChangeFileExtForFilterTest, OnlyTheLastExtensionIsReplaced) {
  EXPECT_EQ(ChangeFileExtForFilter("song.final.lrc", 3), "song.final.kra");
  EXPECT_EQ(ChangeFileExtForFilter("song.", 2), "song.lrc");
  EXPECT_EQ(ChangeFileExtForFilter(".lrc", 1), ".txt");
}

TEST(ChangeFileExtForFilterTest, DotsInFolderNamesAreNoExtension) {
  EXPECT_EQ(ChangeFileExtForFilter("/srv/lyrics/lyrics.v2/track1", 2), "/srv/lyrics/lyrics.v2/track1.lrc");
  EXPECT_EQ(ChangeFileExtForFilter("lyrics.v2\\track1", 3), "lyrics.v2\\track1.kra");
  EXPECT_EQ(ChangeFileExtForFilter("C:track1", 2), "C:track1.lrc");
  EXPECT_EQ(ChangeFileExtForFilter("a.b:c", 1), "a.b:c.txt");
  EXPECT_EQ(ChangeFileExtForFilter("C:\\lyrics\\track1.lrc", 1), "C:\\lyrics\\track1.txt");
}

TEST(ChangeFileExtForFilterTest, UnknownIndexIsAllFiles) {
  EXPECT_EQ(ChangeFileExtForFilter("track1.lrc", 0), "track1.txt");
  EXPECT_EQ(ChangeFileExtForFilter("track1.lrc", 5), "track1.txt");
}

TEST(WindowTitleTest, NewTextIsNamedAsTheSaveQuestionNamesIt) {
  EXPECT_EQ(WindowTitle(""), "新しいテキスト - Verselet 0.3");
}

TEST(WindowTitleTest, FileShowsItsNameWithoutFolder) {
  EXPECT_EQ(WindowTitle("/srv/lyrics/歌詞/track1.lrc"), "track1.lrc - Verselet 0.3");
  EXPECT_EQ(WindowTitle("track1.lrc"), "track1.lrc - Verselet 0.3");
  // Only "/" separates folders here; ":" and "\\" belong to the name.
  EXPECT_EQ(WindowTitle("/srv/live/10:30 live.lrc"), "10:30 live.lrc - Verselet 0.3");
  EXPECT_EQ(WindowTitle("C:\\lyrics\\track1.lrc"), "C:\\lyrics\\track1.lrc - Verselet 0.3");
  EXPECT_EQ(WindowTitle("C:track1.lrc"), "C:track1.lrc - Verselet 0.3");
}

TEST(WindowTitleTest, UnsavedChangesPutAStarInFront) {
  EXPECT_EQ(WindowTitle("", true), "*新しいテキスト - Verselet 0.3");
  EXPECT_EQ(WindowTitle("/srv/a.lrc", true), "*a.lrc - Verselet 0.3");
  EXPECT_EQ(WindowTitle("/srv/a.lrc", false), "a.lrc - Verselet 0.3");
}

TEST(FilterIndexForFileNameTest, TheExtensionPicksItsFilter) {
  const std::vector<std::pair<std::string, int>> cases{
      {"/srv/a.txt", 1}, {"/srv/a.lrc", 2}, {"/srv/a.KRA", 3},  {"/srv/a.final.Lrc", 2},
      {"/srv/a", 0},     {"/srv/a.mp3", 0}, {"/srv/x.lrc/a", 0}, {"", 0}};
  for (const auto& [name, index] : cases) EXPECT_EQ(FilterIndexForFileName(name), index) << name;
}

TEST(NameFiltersFromFilterTest, OpenFilterKeepsItsLookWithDialogPatterns) {
  EXPECT_EQ(NameFiltersFromFilter(OpenFilter),
            (std::vector<std::string>{"歌詞ファイル(*.txt *.lrc *.kra)", "すべてのファイル(*)"}));
}

TEST(NameFiltersFromFilterTest, SaveFilterHasFourEntriesInOrder) {
  EXPECT_EQ(NameFiltersFromFilter(SaveFilter),
            (std::vector<std::string>{"歌詞ファイル(*.txt)", "歌詞ファイル(*.lrc)", "歌詞ファイル(*.kra)",
                                      "すべてのファイル(*)"}));
}

TEST(NameFiltersFromFilterTest, DescriptionWithoutPatternGetsOne) {
  EXPECT_EQ(NameFiltersFromFilter("Lyrics|*.lrc;;*.kra|Text (plain)|*.txt"),
            (std::vector<std::string>{"Lyrics (*.lrc *.kra)", "Text (plain) (*.txt)"}));
  EXPECT_TRUE(NameFiltersFromFilter("").empty());
  EXPECT_TRUE(NameFiltersFromFilter("Lonely description").empty());
}

}  // namespace
