// Tests of the ways work could be lost: leaving a modified text, failing saves, failed opens, overwrites, files changed
// on disk.
#include <QAction>
#include <QApplication>
#include <filesystem>
#include <functional>

#include "app/core/FileStamp.h"
#include "tests/app/FormFixture.h"

namespace {

using namespace std::chrono_literals;

using UnsavedTest = FormTest;

// Types at the caret, as the user would.
void Edit(TForm1& form, const std::string& typed) { form.RyxEdit1->TypeText(typed); }

// Another program writes the file: new bytes and a clearly later time.
void WriteBehindTheEditor(const std::filesystem::path& file, const std::string& bytes) {
  const auto before = std::filesystem::last_write_time(file);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  std::filesystem::last_write_time(file, before + 2s);
}

TEST_F(UnsavedTest, EachWayOfLeavingAModifiedTextAsksAndFollowsTheAnswer) {
  struct TWay {
    const char* Name;
    // Leaves the text; true when the way went on to its end.
    std::function<bool(TForm1&)> Leave;
  };
  const std::vector<TWay> ways{
      {"New",
       [](TForm1& form) {
         form.N7->trigger();
         return form.CurrentFileName().empty();
       }},
      {"Open",
       [this](TForm1& form) {
         Dialogs.Answers.push_back({true, Path("other.lrc")});
         form.N6->trigger();
         const bool opened = Text() == "other";
         if (!opened) Dialogs.Answers.clear();
         return opened;
       }},
      {"Drop",
       [this](TForm1& form) {
         Drop(form, {FileUrl(Path("other.lrc"))});
         return Text() == "other";
       }},
      {"Exit",
       [](TForm1& form) {
         form.E1->trigger();
         return !form.isVisible();
       }},
      {"close box",
       [](TForm1& form) {
         form.close();
         return !form.isVisible();
       }},
      {"session end",
       [this](TForm1& form) {
         if (!form.QueryEndSession()) return false;
         // The session then closes the window, which must not ask again.
         const std::size_t asked = Dialogs.Questions.size();
         form.close();
         EXPECT_EQ(Dialogs.Questions.size(), asked);
         return !form.isVisible();
       }},
  };
  struct TAnswer {
    const char* Reply;
    bool GoesOn;
    const char* OnDisk;
  };
  const std::vector<TAnswer> answers{
      {"保存", true, "xmine"}, {"保存しない", true, "mine"}, {"キャンセル", false, "mine"}};
  for (const TWay& way : ways) {
    for (const TAnswer& answer : answers) {
      SCOPED_TRACE(std::string(way.Name) + " / " + answer.Reply);
      const auto file = Dir.WriteFile("mine.lrc", "mine");
      Dir.WriteFile("other.lrc", "other");
      TForm1& form = Create({file.string()});
      form.show();
      Edit(form, "x");
      EXPECT_EQ(Title(), "*mine.lrc - Verselet 0.3");
      Dialogs.Questions.clear();
      Dialogs.Replies = {answer.Reply};
      EXPECT_EQ(way.Leave(form), answer.GoesOn);
      ASSERT_EQ(Dialogs.Questions.size(), 1u);
      EXPECT_EQ(Dialogs.Questions[0].Text.toStdString(), "「mine.lrc」 への変更を保存しますか?");
      EXPECT_EQ(TTempDir::ReadFile(file), answer.OnDisk);
      if (!answer.GoesOn) {
        EXPECT_EQ(Text(), "xmine");
        EXPECT_EQ(form.CurrentFileName(), file.string());
        EXPECT_TRUE(form.isVisible());
      }
      // An unmodified text is left without a question.
      Dialogs.Questions.clear();
      Create({file.string()});
      Form->show();
      EXPECT_TRUE(way.Leave(*Form));
      EXPECT_TRUE(Dialogs.Questions.empty());
    }
  }
}

TEST_F(UnsavedTest, ASaveThatFailsOrIsCancelledKeepsTheText) {
  // Save on a new text asks for a name: a cancelled dialog and a failing target both stop the command.
  for (const bool cancelDialog : {true, false}) {
    SCOPED_TRACE(cancelDialog ? "dialog cancelled" : "save failed");
    TForm1& form = Create();
    form.show();
    Edit(form, "keep me");
    Dialogs.Replies = {"保存"};
    Dialogs.Errors.clear();
    Dialogs.Answers.push_back(cancelDialog ? TFakeDialogs::Cancelled()
                                           : TFakeDialogs::TAnswer{true, Path("no-such-folder/a.txt"), 1});
    form.N7->trigger();
    EXPECT_EQ(Text(), "keep me");
    EXPECT_TRUE(form.RyxEdit1->Modified());
    EXPECT_EQ(Dialogs.Errors.size(), cancelDialog ? 0u : 1u);
    Dialogs.Replies = {"保存"};
    Dialogs.Answers.push_back(TFakeDialogs::Cancelled());
    form.close();
    EXPECT_TRUE(form.isVisible());
  }
}

TEST_F(UnsavedTest, AFailedOpenKeepsTheModifiedTextItsNameCaretAndHistory) {
  const auto file = Dir.WriteFile("mine.lrc", "mine");
  const auto binary = Dir.WriteFile("cover.lrc", std::string("PNG\0\x01", 5));
  TForm1& form = Create({file.string()});
  Edit(form, "a");
  Edit(form, "b");
  Dialogs.Replies = {"保存しない"};
  Dialogs.Answers.push_back({true, binary.string()});
  form.N6->trigger();
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Text(), "abmine");
  EXPECT_EQ(form.CurrentFileName(), file.string());
  EXPECT_EQ(Title(), "*mine.lrc - Verselet 0.3");
  EXPECT_EQ(form.RyxEdit1->CaretCol(), 2);
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Text(), "amine");
}

TEST_F(UnsavedTest, SaveAsAsksBeforeReplacingAnotherFileAndPreselectsTheCurrentType) {
  const auto song = Dir.WriteFile("song.lrc", "song");
  const auto other = Dir.WriteFile("other.lrc", "other");
  TForm1& form = Create({song.string()});
  Edit(form, "x");
  for (const char* reply : {"上書きしない", "上書きする"}) {
    Dialogs.Answers.push_back({true, other.string(), 2});
    // Keeping the other file goes back to the dialog, here cancelled.
    if (std::string(reply) == "上書きしない") Dialogs.Answers.push_back(TFakeDialogs::Cancelled());
    Dialogs.Replies = {reply};
    form.N4->trigger();
  }
  EXPECT_TRUE(Dialogs.Answers.empty());
  EXPECT_EQ(Dialogs.PreselectedFilters, (std::vector<int>{2, 2, 2}));
  ASSERT_EQ(Dialogs.Questions.size(), 2u);
  EXPECT_EQ(Dialogs.Questions[0].DefaultButton, 1) << "Enter must not overwrite";
  EXPECT_EQ(TTempDir::ReadFile(other), "xsong");
  EXPECT_EQ(TTempDir::ReadFile(song), "song");
  EXPECT_EQ(Title(), "other.lrc - Verselet 0.3");

  // Saving under its own name asks nothing.
  Edit(form, "y");
  Dialogs.Answers.push_back({true, other.string(), 2});
  form.N4->trigger();
  EXPECT_EQ(Dialogs.Questions.size(), 2u);
  EXPECT_EQ(TTempDir::ReadFile(other), "xysong");
}

TEST_F(UnsavedTest, KeepingTheOtherFileReturnsToTheSaveDialogForAnotherName) {
  const auto other = Dir.WriteFile("other.lrc", "other");
  TForm1& form = Create();
  Edit(form, "new");
  Dialogs.Answers.push_back({true, other.string(), 2});
  Dialogs.Answers.push_back({true, Path("third.lrc"), 2});
  Dialogs.Replies = {"上書きしない"};
  form.N4->trigger();
  EXPECT_TRUE(Dialogs.Answers.empty()) << "the dialog was not shown again";
  EXPECT_EQ(TTempDir::ReadFile(other), "other");
  EXPECT_EQ(TTempDir::ReadFile(Path("third.lrc")), "new");
  EXPECT_EQ(Title(), "third.lrc - Verselet 0.3");
}

TEST_F(UnsavedTest, ReloadingAFileChangedOnDiskKeepsTheCaretsLine) {
  const auto file = Dir.WriteFile("song.lrc", "one\r\ntwo\r\nthree\r\nfour");
  TForm1& form = Create({file.string()});
  form.RyxEdit1->MoveCaretTo(2, 3);
  WriteBehindTheEditor(file, "ONE\r\nTWO\r\nTHREE\r\nFOUR\r\nFIVE");
  Dialogs.Replies = {"読み込み直す"};
  form.CheckFileOnDisk();
  EXPECT_EQ(Text(), "ONE\r\nTWO\r\nTHREE\r\nFOUR\r\nFIVE");
  EXPECT_EQ(form.RyxEdit1->CaretLine(), 2);
  // A shorter text puts it on its last line.
  form.RyxEdit1->MoveCaretTo(4, 0);
  WriteBehindTheEditor(file, "a\r\nb");
  Dialogs.Replies = {"読み込み直す"};
  form.CheckFileOnDisk();
  EXPECT_EQ(form.RyxEdit1->CaretLine(), 1);
}

TEST_F(UnsavedTest, AReadOnlyFileIsReplacedOnlyWhenTheUserSaysSo) {
  const auto file = Dir.WriteFile("locked.lrc", "locked");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  TForm1& form = Create({file.string()});
  Edit(form, "x");
  Dialogs.Replies = {"上書きしない"};
  form.N5->trigger();
  EXPECT_EQ(TTempDir::ReadFile(file), "locked");
  EXPECT_TRUE(form.RyxEdit1->Modified());
  Dialogs.Replies = {"上書きする"};
  form.N5->trigger();
  EXPECT_EQ(TTempDir::ReadFile(file), "xlocked");
  EXPECT_FALSE(form.RyxEdit1->Modified());
  EXPECT_EQ(Dialogs.Questions.size(), 2u);
  EXPECT_TRUE(Dialogs.Errors.empty());
}

TEST_F(UnsavedTest, AFileChangedOnDiskIsOfferedForReloadAndNotOverwrittenUnasked) {
  const auto file = Dir.WriteFile("song.lrc", "mine");
  TForm1& form = Create({file.string()});
  form.show();
  QApplication::setActiveWindow(&form);
  EXPECT_TRUE(Dialogs.Questions.empty()) << "nothing changed yet";

  WriteBehindTheEditor(file, "theirs 1");
  Dialogs.Replies = {"読み込み直す"};
  form.CheckFileOnDisk();
  EXPECT_EQ(Text(), "theirs 1");
  EXPECT_FALSE(form.RyxEdit1->Modified());

  // Declined once, the same change is not offered again; Save still asks before replacing it.
  Edit(form, "x");
  WriteBehindTheEditor(file, "theirs 2");
  Dialogs.Replies = {"そのままにする"};
  form.CheckFileOnDisk();
  form.CheckFileOnDisk();
  EXPECT_EQ(Text(), "xtheirs 1");
  Dialogs.Replies = {"上書きしない"};
  form.N5->trigger();
  EXPECT_EQ(TTempDir::ReadFile(file), "theirs 2");
  Dialogs.Replies = {"上書きする"};
  form.N5->trigger();
  EXPECT_EQ(TTempDir::ReadFile(file), "xtheirs 1");
  EXPECT_EQ(Dialogs.Questions.size(), 4u);

  // A modified text is reloaded only past the unsaved-changes question.
  Edit(form, "y");
  WriteBehindTheEditor(file, "theirs 3");
  Dialogs.Replies = {"読み込み直す", "キャンセル"};
  form.CheckFileOnDisk();
  EXPECT_EQ(Text(), "xytheirs 1");
  WriteBehindTheEditor(file, "theirs 4");
  Dialogs.Replies = {"読み込み直す", "保存しない"};
  // Activating the window looks at the file.
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(&form);
  EXPECT_EQ(Text(), "theirs 4");
  EXPECT_TRUE(Dialogs.Replies.empty());
}

TEST_F(UnsavedTest, TheTitleNamesTheFileAfterItsLastSlashAndMarksChanges) {
  const auto file = Dir.WriteFile("10:30 live.lrc", "a");
  TForm1& form = Create({file.string()});
  EXPECT_EQ(Title(), "10:30 live.lrc - Verselet 0.3");
  Edit(form, "b");
  EXPECT_EQ(Title(), "*10:30 live.lrc - Verselet 0.3");
  form.N5->trigger();
  EXPECT_EQ(Title(), "10:30 live.lrc - Verselet 0.3");
  form.EditActions->Undo->trigger();
  EXPECT_EQ(Title(), "*10:30 live.lrc - Verselet 0.3");
  form.EditActions->Redo->trigger();
  EXPECT_EQ(Title(), "10:30 live.lrc - Verselet 0.3");
}

}  // namespace
