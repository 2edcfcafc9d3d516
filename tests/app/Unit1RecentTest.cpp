// Tests of the recent files in the file menu: opened and saved files listed, missing ones greyed and removable.
#include <QAction>
#include <QMenu>
#include <fstream>

#include "platform/IniFile.h"
#include "tests/app/FormFixture.h"

namespace {

using RecentTest = FormTest;

// The recent items of the file menu, each as its caption and whether it is enabled.
std::vector<std::pair<std::string, bool>> RecentItems(const TForm1& form) {
  std::vector<std::pair<std::string, bool>> items;
  for (const QAction* action : form.N1->actions()) {
    const std::string text = action->text().toStdString();
    if (!text.empty() && text[0] == '&' && text[1] >= '1' && text[1] <= '8')
      items.emplace_back(text, action->isEnabled());
  }
  return items;
}

TEST_F(RecentTest, OpenedAndSavedFilesAreListedAndReopened) {
  for (const char* name : {"a.lrc", "b&c.txt"}) std::ofstream(Path(name)) << name;
  TForm1& form = Create({Path("a.lrc")});
  form.RyxEdit1->TypeText("x");
  Dialogs.Answers.push_back({true, Path("b&c.txt"), 1});
  Dialogs.Replies.push_back("上書きする");  // the existing file is replaced
  form.N4->trigger();
  form.UpdateRecentMenu();
  using V = std::vector<std::pair<std::string, bool>>;
  EXPECT_EQ(RecentItems(form), (V{{"&1 " + Path("b&&c.txt"), true}, {"&2 " + Path("a.lrc"), true}}));

  // Kept in the settings file, read by the next window.
  Form.reset();
  TForm1& again = Create();
  again.UpdateRecentMenu();
  EXPECT_EQ(RecentItems(again).size(), 2u);
  std::filesystem::remove(Path("b&c.txt"));
  again.UpdateRecentMenu();
  EXPECT_EQ(RecentItems(again), (V{{"&1 " + Path("b&&c.txt"), false}, {"&2 " + Path("a.lrc"), true}}));
  // The second item opens its file.
  for (QAction* action : again.N1->actions())
    if (action->text().startsWith("&2")) action->trigger();
  EXPECT_EQ(again.CurrentFileName(), Path("a.lrc"));
  for (QAction* action : again.N1->actions())
    if (action->text() == "見つからないファイルを一覧から削除(&R)") action->trigger();
  again.UpdateRecentMenu();
  EXPECT_EQ(RecentItems(again), (V{{"&1 " + Path("a.lrc"), true}}));
  Form.reset();
  EXPECT_EQ(TIniFile(IniPath()).ReadString("RecentFiles", "File1", "?"), Path("a.lrc"));
  EXPECT_EQ(TIniFile(IniPath()).ReadString("RecentFiles", "File2", "?"), "");
  EXPECT_TRUE(Exceptions.empty());
}

}  // namespace
