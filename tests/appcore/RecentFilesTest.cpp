// Tests of the recent-files list: order, limit, names it cannot keep, and its own section of the settings file.
#include "app/core/RecentFiles.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/IniFile.h"
#include "tests/TempDir.h"

namespace {

using V = std::vector<std::string>;

TEST(RecentFilesTest, NewestFirstWithoutDuplicatesAndAtMostEight) {
  TRecentFiles recent;
  for (const char* name : {"a", "b", "c", "a"}) recent.Add(name);
  EXPECT_EQ(recent.Names(), (V{"a", "c", "b"}));
  for (int i = 1; i <= 9; ++i) recent.Add("f" + std::to_string(i));
  EXPECT_EQ(recent.Names(), (V{"f9", "f8", "f7", "f6", "f5", "f4", "f3", "f2"}));
  // Names one line of the file cannot hold are not kept.
  for (const std::string& bad : {std::string(), std::string("x\ny"), std::string(TIniFile::MaxValueLength + 1, 'n')})
    recent.Add(bad);
  EXPECT_EQ(recent.Names().front(), "f9");
  EXPECT_EQ(recent.RemoveIf([](const std::string& n) { return n < "f5"; }), 3u);
  EXPECT_EQ(recent.Names(), (V{"f9", "f8", "f7", "f6", "f5"}));
}

TEST(RecentFilesTest, RoundTripsThroughItsOwnSectionOnly) {
  TTempDir dir;
  const auto path = dir.Path() / "verselet.ini";
  std::ofstream(path) << "[Settings]\nClientWidth=500\n[RecentFiles]\nFile1=old1\nFile2=old2\nFile3=old1\n";
  TRecentFiles recent;
  recent.Read(TIniFile(path));
  EXPECT_EQ(recent.Names(), (V{"old1", "old2"}));
  recent.RemoveIf([](const std::string& n) { return n == "old2"; });
  recent.Add("/music/歌.lrc");
  {
    TIniFile ini(path);
    recent.Write(ini);
    ini.UpdateFile();
  }
  const TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("Settings", "ClientWidth", 0), 500);
  EXPECT_EQ(ini.ReadString("RecentFiles", "File2", "?"), "old1");
  EXPECT_EQ(ini.ReadString("RecentFiles", "File3", "?"), "");  // the older third name is gone
  TRecentFiles again;
  again.Read(ini);
  EXPECT_EQ(again.Names(), (V{"/music/歌.lrc", "old1"}));
}

}  // namespace
