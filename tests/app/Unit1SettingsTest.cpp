// Tests of the main window's settings file at its edges: positions at the ends of the int range, files read in part.
#include <QScreen>
#include <climits>

#include "tests/app/FormFixture.h"

namespace {

using SettingsFileTest = FormTest;

TEST_F(SettingsFileTest, PositionsAndSizesAtTheEndsOfTheIntRangeComeBackOnTheScreen) {
  const char* bodies[] = {
      "Left=2147483647\n",
      "Top=2147483647\n",
      "Left=-2147483648\nTop=-2147483648\n",
      "ClientWidth=2147483647\nClientHeight=2147483647\nTop=2147483647\nLeft=2147483647\n",
      "ClientWidth=-2147483648\nClientHeight=-2147483648\nTop=-2147483648\nLeft=2147483647\n",
  };
  for (const char* body : bodies) {
    Dir.WriteFile("verselet.ini", std::string("[Verselet 0.3]\n") + body);
    TForm1& form = Create();
    const QRect available = form.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(form.frameGeometry())) << body << "window at " << form.x() << "," << form.y();
    EXPECT_TRUE(Exceptions.empty()) << body;
    Form.reset();
  }
}

TEST_F(SettingsFileTest, AFileReadInPartIsReportedAndKeptAtExit) {
  const std::string bytes = std::string("[Verselet 0.3]\nShowLineNumber=1\n[Recent]\nFile1=a\0b\n[Other]\nK=v\n", 63);
  Dir.WriteFile("verselet.ini", bytes);
  TForm1& form = Create();
  EXPECT_EQ(Exceptions, std::vector<std::string>{"設定ファイル " + IniPath().string() +
                                                 " を読み切れません (NUL バイトを含んでいます)。"
                                                 "終了時にこのファイルは書き換えません。"});
  EXPECT_TRUE(form.RyxEdit1->ShowLineNumber());
  EXPECT_EQ(Title(), "新しいテキスト - Verselet 0.3");
  Form.reset();
  EXPECT_EQ(TTempDir::ReadFile(IniPath()), bytes);
}

}  // namespace
