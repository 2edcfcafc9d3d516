// Tests of the document commands: New, Open, Save, Save As and the window title.
#include <QAction>
#include <QWindow>
#include <filesystem>

#include "app/core/DocumentNames.h"
#include "tests/app/FormFixture.h"

namespace {

const std::string kLyrics = "[00:01:00]\x82\xA0\x82\xA2\r\n[00:02:00]abc\r\n";

using DocumentTest = FormTest;

TEST_F(DocumentTest, TitleFollowsOpenNewAndSaveAs) {
  TForm1& form = Create();
  EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
  const auto file = Dir.WriteFile("track1.lrc", kLyrics);

  Dialogs.Answers.push_back({true, file.string()});
  form.N6->trigger();
  EXPECT_EQ(Title(), "track1.lrc - Verselet 0.3");
  EXPECT_EQ(form.CurrentFileName(), file.string());
  EXPECT_EQ(Text(), "[00:01:00]\x82\xA0\x82\xA2\r\n[00:02:00]abc\r\n");
  EXPECT_EQ(Dialogs.OpenFilters, std::vector<std::string>{OpenFilter});

  form.N7->trigger();
  EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
  EXPECT_EQ(form.CurrentFileName(), "");
  EXPECT_EQ(Text(), "");

  Dialogs.Answers.push_back({true, Path("copy.lrc"), 2});
  form.N4->trigger();
  EXPECT_EQ(Title(), "copy.lrc - Verselet 0.3");
  EXPECT_EQ(Dialogs.SaveFilters, std::vector<std::string>{SaveFilter});
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(DocumentTest, TitleShowsBracketsOfTheFileName) {
  TForm1& form = Create();
  Dialogs.Answers.push_back({true, Path("a[*]b.txt")});
  form.N6->trigger();
  form.winId();
  EXPECT_EQ(form.windowHandle()->title().toStdString(), "a[*]b.txt - Verselet 0.3");
}

TEST_F(DocumentTest, SaveAsTakesTheExtensionOfTheChosenFilter) {
  struct TCase {
    std::string Typed;
    int Filter;
    std::string Written;
  };
  for (const TCase& c : {TCase{"track1.lrc", 4, "track1.txt"}, TCase{"track1.txt", 2, "track1.lrc"},
                         TCase{"track1", 3, "track1.kra"}, TCase{"track1.kra", 1, "track1.txt"}}) {
    TTempDir dir;
    TForm1& form = Create();
    form.RyxEdit1->SetAllText("abc");
    Dialogs.Answers.push_back({true, (dir.Path() / c.Typed).string(), c.Filter});
    form.N4->trigger();
    EXPECT_EQ(form.CurrentFileName(), (dir.Path() / c.Written).string()) << c.Typed << " " << c.Filter;
    EXPECT_EQ(TTempDir::ReadFile(dir.Path() / c.Written), "abc") << c.Typed << " " << c.Filter;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << c.Typed;
  }
}

TEST_F(DocumentTest, SaveOnANewTextAsksOnceThenWritesToTheSameFile) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("one");
  Dialogs.Answers.push_back({true, Path("song.txt"), 1});
  form.N5->trigger();
  EXPECT_EQ(Dialogs.SaveFilters.size(), 1u);
  EXPECT_EQ(Title(), "song.txt - Verselet 0.3");
  EXPECT_EQ(TTempDir::ReadFile(Path("song.txt")), "one");

  form.RyxEdit1->SetAllText("two\r\nlines");
  form.N5->trigger();
  EXPECT_EQ(Dialogs.SaveFilters.size(), 1u);
  EXPECT_EQ(TTempDir::ReadFile(Path("song.txt")), "two\r\nlines");
}

TEST_F(DocumentTest, SaveAfterSaveAsWritesToTheSaveAsTargetAndOverwrites) {
  const auto original = Dir.WriteFile("a.txt", "old a");
  Dir.WriteFile("b.lrc", "old b");
  TForm1& form = Create({original.string()});
  form.RyxEdit1->SetAllText("new");
  Dialogs.Answers.push_back({true, Path("b.lrc"), 2});
  Dialogs.Replies.push_back("上書きする");
  form.N4->trigger();
  EXPECT_EQ(Dialogs.Questions.size(), 1u) << "another existing file is replaced only when the user says so";
  form.RyxEdit1->SetAllText("newer");
  form.N5->trigger();
  EXPECT_EQ(Dialogs.SaveFilters.size(), 1u);
  EXPECT_EQ(TTempDir::ReadFile(Path("b.lrc")), "newer");
  EXPECT_EQ(TTempDir::ReadFile(original), "old a");
}

TEST_F(DocumentTest, CancelledDialogsChangeNothing) {
  const auto file = Dir.WriteFile("keep.txt", "keep");
  TForm1& form = Create({file.string()});
  Dialogs.Answers.push_back(TFakeDialogs::Cancelled());
  form.N6->trigger();
  Dialogs.Answers.push_back(TFakeDialogs::Cancelled());
  form.N4->trigger();
  EXPECT_EQ(form.CurrentFileName(), file.string());
  EXPECT_EQ(Text(), "keep");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()), {}), 1);
}

TEST_F(DocumentTest, OpeningAMissingFileStartsAnEmptyTextUnderItsName) {
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("before");
  Dialogs.Answers.push_back({true, Path("new.lrc")});
  form.N6->trigger();
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(Title(), "new.lrc - Verselet 0.3");
  EXPECT_TRUE(Dialogs.Errors.empty());
  EXPECT_FALSE(std::filesystem::exists(Path("new.lrc")));

  // The file is still missing, so Save asks where to write.
  Dialogs.Answers.push_back({true, Path("new.lrc"), 2});
  form.N5->trigger();
  EXPECT_EQ(Dialogs.SaveFilters.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(Path("new.lrc")));
}

TEST_F(DocumentTest, AFileThatCannotBeReadIsReportedAndNotKept) {
  const auto binary = Dir.WriteFile("cover.lrc", std::string("PNG\0\0\x01\x02", 7));
  std::filesystem::create_directory(Path("folder.txt"));
  for (const std::string& name : {binary.string(), Path("folder.txt")}) {
    TForm1& form = Create();
    form.RyxEdit1->SetAllText("before");
    Dialogs.Errors.clear();
    Dialogs.Answers.push_back({true, name});
    form.N6->trigger();
    EXPECT_EQ(Text(), "before") << name;
    EXPECT_EQ(form.CurrentFileName(), "") << name;
    EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3") << name;
    ASSERT_EQ(Dialogs.Errors.size(), 1u) << name;
    EXPECT_TRUE(Dialogs.Errors[0].startsWith(QString::fromStdString(name) + " を開けませんでした。\n")) << name;
    EXPECT_GT(Dialogs.Errors[0].size(), QString::fromStdString(name).size() + 12) << "no reason given";
    EXPECT_EQ(form.RyxEdit1->Lines().Count(), 1) << name;

    // Save never writes over the file that could not be opened without asking.
    Dialogs.Answers.push_back(TFakeDialogs::Cancelled());
    form.N5->trigger();
    EXPECT_TRUE(Dialogs.Answers.empty()) << name;
  }
  EXPECT_EQ(TTempDir::ReadFile(binary), std::string("PNG\0\0\x01\x02", 7));
}

TEST_F(DocumentTest, AFailedSaveIsReportedAndKeepsTheName) {
  const auto file = Dir.WriteFile("a.txt", "a");
  TForm1& form = Create({file.string()});
  // A folder cannot be made where a file is.
  const std::string target = Path("a.txt/b.txt");
  Dialogs.Answers.push_back({true, target, 1});
  form.N4->trigger();
  EXPECT_EQ(form.CurrentFileName(), file.string());
  EXPECT_EQ(Title(), "a.txt - Verselet 0.3");
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].startsWith(QString::fromStdString(target) + " に保存できませんでした。\n"));
}

}  // namespace
