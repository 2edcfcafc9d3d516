// Tests of the recovery files in the window: kept while the text is unsaved, gone once saved or discarded, offered at
// start and restored as an unsaved change; the start dialog's choices; the end signals.
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <csignal>
#include <cstdlib>
#include <fstream>

#include "app/core/RecoveryFile.h"
#include "app/core/RecoveryFolder.h"
#include "app/UnitEndSignals.h"
#include "app/UnitRecoveryDialog.h"
#include "app/UnitRecoveryKeeper.h"
#include "tests/app/FormFixture.h"

namespace {

namespace fs = std::filesystem;

class RecoveryTest : public FormTest {
 protected:
  RecoveryTest() : FOldState(std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "") {
    ::setenv("XDG_STATE_HOME", (Dir.Path() / "state").c_str(), 1);
  }
  ~RecoveryTest() override {
    Form.reset();
    ::setenv("XDG_STATE_HOME", FOldState.c_str(), 1);
  }

  fs::path Folder() const { return Dir.Path() / "state" / "verselet" / "recovery"; }

  // A recovery file that a window which ended left behind.
  fs::path Left(const std::string& id, const TRecoveryHeader& header, const std::string& text) {
    fs::create_directories(Folder());
    TRyxStrings store;
    store.SetText(text + std::string(2, '\0'));
    WriteRecoveryFile(Folder() / (id + ".recovery"), header, store.CopyText());
    return Folder() / (id + ".recovery");
  }

  TRecoveryHeader HeaderOf(const std::string& fileName, TLogicalPos caret = {}) const {
    TRecoveryHeader header;
    header.FileName = fileName;
    header.Disk = FileStampOf(fileName);
    header.Caret = caret;
    header.WrittenAt = 1765000000;
    return header;
  }

 private:
  const std::string FOldState;
};

TEST_F(RecoveryTest, TheUnsavedTextIsKeptUntilItIsSavedOrDiscarded) {
  const struct {
    const char* Name;
    std::function<void(TForm1&)> Leave;
  } ways[] = {
      {"上書き保存", [](TForm1& form) { form.N5->trigger(); }},
      {"保存しない, then 新規",
       [this](TForm1& form) {
         Dialogs.Replies.push_back("保存しない");
         form.N7->trigger();
       }},
      {"保存しない, then the window closes",
       [this](TForm1& form) {
         Dialogs.Replies.push_back("保存しない");
         form.close();
       }},
      {"undone back to the saved text", [](TForm1& form) { form.RyxEdit1->Undo(); }},
  };
  for (const auto& way : ways) {
    const std::string song = Dir.WriteFile("song.lrc", "line one\r\nline two").string();
    TForm1& form = Create({song});
    form.RyxEdit1->MoveCaretTo(1, 4);
    form.RyxEdit1->TypeText("X");
    const fs::path file = form.Recovery().File();
    // A keystroke writes nothing itself: the file comes when it is due, from the writer thread.
    EXPECT_FALSE(fs::exists(file)) << way.Name;
    form.Recovery().WriteNow();
    const TRecoveredText kept = ReadRecoveryFile(file);
    EXPECT_EQ(kept.Text, "line one\r\nlineX two") << way.Name;
    EXPECT_EQ(kept.Header.FileName, song);
    EXPECT_EQ(kept.Header.Disk, FileStampOf(song));
    EXPECT_EQ(kept.Header.Caret, (TLogicalPos{1, 5}));
    way.Leave(form);
    form.Recovery().WriteNow();
    EXPECT_FALSE(fs::exists(file)) << way.Name;
    EXPECT_TRUE(Dialogs.Replies.empty());
    Form.reset();
    // The window's lock goes with it: nothing is left in the folder.
    EXPECT_TRUE(fs::is_empty(Folder())) << way.Name;
  }
}

TEST_F(RecoveryTest, AFileNamedFromTheStartFolderIsKeptByItsWholeName) {
  const fs::path song = Dir.WriteFile("song.lrc", "text");
  const fs::path before = fs::current_path();
  fs::current_path(Dir.Path());
  TForm1& form = Create({"song.lrc"});
  form.RyxEdit1->TypeText("X");
  form.Recovery().WriteNow();
  fs::current_path(before);
  EXPECT_EQ(ReadRecoveryFile(form.Recovery().File()).Header.FileName, song.string());
}

TEST_F(RecoveryTest, RestoreOpensTheTextAsAnUnsavedChangeOfItsFile) {
  const struct {
    const char* Name;
    bool Saved;           // the text had a file
    bool ChangedOnDisk;   // another program wrote it since
    const char* Reply;    // to the question about the changed file
    const char* OpenedAs; // the window's file name afterwards, in the folder
  } cases[] = {
      {"unchanged file", true, false, nullptr, "song.lrc"},
      {"changed file, new name", true, true, "新しい名前で開く", "song (復元).lrc"},
      {"changed file, its own name", true, true, "元の名前で開く", "song.lrc"},
      {"never saved", false, false, nullptr, ""},
  };
  for (const auto& c : cases) {
    const fs::path song = Dir.WriteFile("song.lrc", "line one\r\nline two");
    const fs::path left =
        Left("1-dead", HeaderOf(c.Saved ? song.string() : std::string(), {1, 2}), "line one\r\nline two, recovered");
    std::string onDisk = "line one\r\nline two";
    if (c.ChangedOnDisk) {
      onDisk = "written by another program";
      std::ofstream(song, std::ios::binary | std::ios::trunc) << onDisk;
      fs::last_write_time(song, fs::last_write_time(song) + std::chrono::seconds(2));
    }
    if (c.Reply) Dialogs.Replies.push_back(c.Reply);
    Dialogs.RecoveryChoices.push_back({TRecoveryChoice::Restore, 0});
    TForm1& form = Create();
    form.OfferRecoveriesAtStart();
    EXPECT_TRUE(Dialogs.Replies.empty()) << c.Name;
    EXPECT_EQ(Text(), "line one\r\nline two, recovered") << c.Name;
    EXPECT_TRUE(form.RyxEdit1->Modified()) << c.Name;
    EXPECT_EQ(form.CurrentFileName(), *c.OpenedAs ? Path(c.OpenedAs) : "") << c.Name;
    EXPECT_EQ(Title().front(), '*') << c.Name;
    EXPECT_EQ(form.RyxEdit1->CaretLine(), 1);
    EXPECT_EQ(form.RyxEdit1->CaretCol(), 2);
    // The file is not touched, the orphan is gone, and the window keeps the text in its own file.
    EXPECT_EQ(TTempDir::ReadFile(song), onDisk) << c.Name;
    EXPECT_FALSE(fs::exists(left)) << c.Name;
    EXPECT_EQ(ReadRecoveryFile(form.Recovery().File()).Text, Text()) << c.Name;
    // Undo goes back to the file as it was saved, when that is what is on disk.
    form.RyxEdit1->Undo();
    EXPECT_EQ(Text(), c.Saved && !c.ChangedOnDisk ? onDisk : "") << c.Name;
    Dialogs.Replies.push_back("保存しない");
    Form.reset();
    Dialogs.Replies.clear();
    fs::remove_all(Folder());
  }
}

TEST_F(RecoveryTest, DiscardAndLaterActOnTheChosenRowAndABrokenFileStays) {
  const fs::path first = Left("1-dead", HeaderOf(""), "first");
  TRecoveryHeader newer = HeaderOf("");
  newer.WrittenAt += 60;
  const fs::path second = Left("2-dead", newer, "second");
  // Its text changed after it was written: the list cannot tell, the restore can.
  const fs::path broken = Left("3-dead", HeaderOf(""), "broken");
  std::string bytes = TTempDir::ReadFile(broken);
  bytes[bytes.find("broken")] = 'B';
  std::ofstream(broken, std::ios::binary | std::ios::trunc) << bytes;

  Dialogs.RecoveryChoices = {{TRecoveryChoice::Discard, 0}, {TRecoveryChoice::Restore, 1}};
  TForm1& form = Create();
  form.OfferRecoveriesAtStart();
  ASSERT_EQ(Dialogs.RecoveryLists.size(), 3u);
  EXPECT_EQ(Dialogs.RecoveryLists[0].size(), 3u);
  EXPECT_EQ(Dialogs.RecoveryLists[0][0].Name, "新しいテキスト");
  EXPECT_FALSE(fs::exists(second));  // the newest came first and was discarded
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_NE(Dialogs.Errors[0].toStdString().find("チェックサム"), std::string::npos);
  EXPECT_EQ(Dialogs.RecoveryLists[2].size(), 2u);
  EXPECT_NE(Dialogs.RecoveryLists[2][1].Note.find("チェックサム"), std::string::npos);
  EXPECT_EQ(Text(), "");
  EXPECT_FALSE(form.RyxEdit1->Modified());
  // 後で (the fake's answer once the script ends) leaves both where they were.
  EXPECT_TRUE(fs::exists(first));
  EXPECT_TRUE(fs::exists(broken));
  // Nothing is offered while a window holds them.
  Dialogs.RecoveryLists.clear();
  form.OfferRecoveriesAtStart();
  EXPECT_EQ(Dialogs.RecoveryLists.size(), 1u);
}

TEST_F(RecoveryTest, AFolderThatCannotBeMadeIsReportedAtStart) {
  // A file where the state folder should be: not even root can make a folder inside it.
  Dir.WriteFile("state", "a file");
  TForm1& form = Create();
  form.OfferRecoveriesAtStart();
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_NE(Dialogs.Errors[0].toStdString().find("を作れません"), std::string::npos);
  EXPECT_TRUE(form.Recovery().File().empty());
  form.RyxEdit1->TypeText("X");
  form.Recovery().WriteNow();
  EXPECT_EQ(Text(), "X");
}

TEST(RecoveryDialogTest, RestoreIsTheDefaultAndTheButtonsActOnTheSelectedRow) {
  const std::vector<TRecoveryListing> rows = {
      {"song.lrc", "/music/song.lrc", "2026-12-09 13:22:10", ""},
      {"新しいテキスト", "", "2026-12-09 13:20:00", ""},
      {"3-x.recovery", "/state/3-x.recovery", "", "3-x.recovery は Verselet の復元ファイルではありません。"}};
  const std::vector<bool> readable = {true, true, false};
  const auto press = [](QWidget& widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
  };
  {
    TRecoveryDialog dialog(rows, readable);
    EXPECT_EQ(dialog.List->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.List->topLevelItem(2)->text(2).toStdString(), rows[2].Note);
    EXPECT_EQ(dialog.List->topLevelItem(0)->toolTip(0).toStdString(), "/music/song.lrc");
    EXPECT_EQ(dialog.Selected(), 0);
    dialog.show();
    press(dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Choice(), TRecoveryChoice::Restore);
  }
  {
    TRecoveryDialog dialog(rows, readable);
    dialog.List->setCurrentItem(dialog.List->topLevelItem(2));
    EXPECT_FALSE(dialog.RestoreButton->isEnabled());
    dialog.show();
    // Enter on a row that cannot be restored means later, never discard.
    press(dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.Choice(), TRecoveryChoice::Later);
  }
  {
    TRecoveryDialog dialog(rows, readable);
    dialog.List->setCurrentItem(dialog.List->topLevelItem(1));
    dialog.DiscardButton->click();
    EXPECT_EQ(dialog.Choice(), TRecoveryChoice::Discard);
    EXPECT_EQ(dialog.Selected(), 1);
  }
  {
    TRecoveryDialog dialog(rows, readable);
    dialog.show();
    press(dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Choice(), TRecoveryChoice::Later);
  }
}

TEST(EndSignalsTest, TheSignalsReachTheEventLoopAndTheirHandlersComeBack) {
  struct sigaction before {};
  ::sigaction(SIGHUP, nullptr, &before);
  std::vector<int> received;
  {
    const TEndSignals endSignals([&received](int signal) { received.push_back(signal); });
    for (const int signal : TEndSignals::Signals) {
      ::raise(signal);
      for (int i = 0; i < 100 && received.size() < 3 && (received.empty() || received.back() != signal); ++i)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
  }
  EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
  struct sigaction after {};
  ::sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
