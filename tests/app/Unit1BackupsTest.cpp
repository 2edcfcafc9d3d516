// Tests of the backup a crashed in-place save left behind: offered at start, before an open and before a save.
#include <cstdlib>
#include <fstream>

#include "platform/AtomicFileBackup.h"
#include "tests/app/FormFixture.h"

namespace {

class BackupsTest : public FormTest {
 protected:
  BackupsTest() : FOldState(std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "") {
    ::setenv("XDG_STATE_HOME", (Dir.Path() / "state").c_str(), 1);
  }
  ~BackupsTest() override { ::setenv("XDG_STATE_HOME", FOldState.c_str(), 1); }

  // A file that a killed save left half-written, and the backup of its old text beside it.
  std::string Crashed(const std::string& name) {
    std::ofstream(Path(name), std::ios::binary) << "new text" << kOld.substr(8);
    std::ofstream(Path("." + name + ".verselet-backup"), std::ios::binary) << kOld;
    return Path(name);
  }

  const std::string kOld = "old line 1\r\nold line 2";

 private:
  const std::string FOldState;
};

TEST_F(BackupsTest, TheBackupIsOfferedBeforeTheFileIsOpenedOrSaved) {
  const struct {
    const char* Reply;
    bool Save;           // else open
    const char* File;    // what the file holds afterwards
    bool BackupStays;
    const char* Text;    // the editor's text afterwards
  } cases[] = {
      {"元に戻す", false, "old line 1\r\nold line 2", false, "old line 1\r\nold line 2"},
      {"バックアップを削除", false, "new text 1\r\nold line 2", false, "new text 1\r\nold line 2"},
      {"キャンセル", false, "new text 1\r\nold line 2", true, "typed"},
      {"元に戻す", true, "typed", false, "typed"},
      {"キャンセル", true, "new text 1\r\nold line 2", true, "typed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Reply) + (c.Save ? ", save" : ", open"));
    TForm1& form = Create();
    const std::string file = Crashed("song.lrc");
    form.RyxEdit1->SetAllText("typed");
    if (c.Save) Dialogs.Replies.push_back("上書きする");
    Dialogs.Replies.push_back(c.Reply);
    if (c.Save) {
      Dialogs.Answers.push_back({true, file, 2});
      form.N4->trigger();
    } else {
      Dialogs.Answers.push_back({true, file});
      form.N6->trigger();
    }
    ASSERT_EQ(Dialogs.Questions.size(), c.Save ? 2u : 1u);  // a save first asks to replace the file
    if (c.Save) Dialogs.Questions.erase(Dialogs.Questions.begin());
    EXPECT_TRUE(Dialogs.Questions[0].Text.contains(".song.lrc.verselet-backup"));
    EXPECT_EQ(TTempDir::ReadFile(file), c.File);
    EXPECT_EQ(std::filesystem::exists(Path(".song.lrc.verselet-backup")), c.BackupStays);
    EXPECT_EQ(Text(), c.Text);
    EXPECT_TRUE(Dialogs.Errors.empty());
    Dialogs.Questions.clear();
    std::filesystem::remove(Path(".song.lrc.verselet-backup"));
    Form->RyxEdit1->ClearAll();
  }
}

TEST_F(BackupsTest, ABackupInTheStateFolderIsOfferedAtStart) {
  const std::string file = Crashed("song.lrc");
  std::filesystem::create_directories(StateFolder());
  std::filesystem::rename(Path(".song.lrc.verselet-backup"), StateFolder() / "1-2.backup");
  std::ofstream(StateFolder() / "1-2.path") << file;
  Dialogs.Replies = {"後で"};
  Create();
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_TRUE(Dialogs.Questions[0].Text.contains("song.lrc"));
  EXPECT_TRUE(std::filesystem::exists(StateFolder() / "1-2.backup"));
  Form.reset();
  Dialogs.Replies = {"元に戻す"};
  Create();
  EXPECT_EQ(TTempDir::ReadFile(file), kOld);
  EXPECT_TRUE(LeftBackupsInStateFolder().empty());
}

}  // namespace
