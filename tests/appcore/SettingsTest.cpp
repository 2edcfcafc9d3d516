// Tests of the settings file: reading, writing and where it lives.
#include "app/core/Settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "tests/TempDir.h"

namespace {

struct TFakeState {
  int ClientWidth = 440;
  int ClientHeight = 284;
  int Top = 0;
  int Left = 0;
  int TabCount = 8;
  int LeftMargin = 30;
  std::string FontName = "Design";
  int FontSize = 9;
  TColor FontColor = clBlue;
  TColor CREOFcolor = clRed;
  bool ShowEOF = false;
  bool ShowCR = true;
  bool ShowDblSpace = true;
  bool ShowTAB = false;
  bool ShowLineNumber = true;
  TDeviceSettings Device{99, 99, 99, false};
  bool TagLineChecked = false;
  bool WordWrap = true;
  bool AutoWrap = true;
  friend bool operator==(const TFakeState&, const TFakeState&) = default;
};

// A main window whose frame adds 16 x 59 pixels to the client area, on a
// 1920 x 1080 screen; the design values differ from every default so that a
// default that is not applied shows.
class TFakeTarget : public TSettingsTarget {
 public:
  static constexpr int kFrameWidth = 16;
  static constexpr int kFrameHeight = 59;
  TFakeState S;
  int Screen[2] = {1920, 1080};

  int ClientWidth() const override { return S.ClientWidth; }
  void SetClientWidth(int value) override { S.ClientWidth = value; }
  int ClientHeight() const override { return S.ClientHeight; }
  void SetClientHeight(int value) override { S.ClientHeight = value; }
  int Width() const override { return S.ClientWidth + kFrameWidth; }
  int Height() const override { return S.ClientHeight + kFrameHeight; }
  int Top() const override { return S.Top; }
  void SetTop(int value) override { S.Top = value; }
  int Left() const override { return S.Left; }
  void SetLeft(int value) override { S.Left = value; }
  int ScreenWidth() const override { return Screen[0]; }
  int ScreenHeight() const override { return Screen[1]; }
  int TabCount() const override { return S.TabCount; }
  void SetTabCount(int value) override { S.TabCount = value; }
  int LeftMargin() const override { return S.LeftMargin; }
  void SetLeftMargin(int value) override { S.LeftMargin = value; }
  std::string FontName() const override { return S.FontName; }
  void SetFontName(const std::string& value) override { S.FontName = value; }
  int FontSize() const override { return S.FontSize; }
  void SetFontSize(int points) override { S.FontSize = points; }
  TColor FontColor() const override { return S.FontColor; }
  void SetFontColor(TColor value) override { S.FontColor = value; }
  TColor CREOFcolor() const override { return S.CREOFcolor; }
  void SetCREOFcolor(TColor value) override { S.CREOFcolor = value; }
  bool ShowEOF() const override { return S.ShowEOF; }
  void SetShowEOF(bool value) override { S.ShowEOF = value; }
  bool ShowCR() const override { return S.ShowCR; }
  void SetShowCR(bool value) override { S.ShowCR = value; }
  bool ShowDblSpace() const override { return S.ShowDblSpace; }
  void SetShowDblSpace(bool value) override { S.ShowDblSpace = value; }
  bool ShowTAB() const override { return S.ShowTAB; }
  void SetShowTAB(bool value) override { S.ShowTAB = value; }
  bool ShowLineNumber() const override { return S.ShowLineNumber; }
  void SetShowLineNumber(bool value) override { S.ShowLineNumber = value; }
  TDeviceSettings& DeviceSettings() override { return S.Device; }
  const TDeviceSettings& DeviceSettings() const override { return S.Device; }
  void SetTagLineChecked(bool value) override { S.TagLineChecked = value; }
  bool WordWrap() const override { return S.WordWrap; }
  void SetWordWrap(bool value) override { S.WordWrap = value; }
  bool AutoWrap() const override { return S.AutoWrap; }
  void SetAutoWrap(bool value) override { S.AutoWrap = value; }
};

class SettingsTest : public ::testing::Test {
 protected:
  std::filesystem::path IniPath() const { return FDir.Path() / "verselet.ini"; }
  void ReadFrom(const std::string& body) {
    FDir.WriteFile("verselet.ini", "[Verselet 0.3]\n" + body);
    FReport = ReadSettings(TIniFile(IniPath()), FTarget);
  }
  TTempDir FDir;
  TFakeTarget FTarget;
  std::string FReport;
};

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndCentresTheWindow) {
  ReadSettings(TIniFile(IniPath()), FTarget);
  const TFakeState& s = FTarget.S;
  EXPECT_EQ(s.ClientWidth, 440);
  EXPECT_EQ(s.ClientHeight, 284);
  EXPECT_EQ(s.Top, (1080 - 343) / 2);
  EXPECT_EQ(s.Left, (1920 - 456) / 2);
  EXPECT_EQ(s.Device.HalfCount, 16);
  EXPECT_EQ(s.Device.LineCount, 3);
  EXPECT_EQ(s.Device.Model, 0);
  EXPECT_FALSE(s.Device.ShowTagLine);
  EXPECT_FALSE(s.WordWrap);
  EXPECT_FALSE(s.AutoWrap);
  EXPECT_EQ(s.TabCount, 4);
  EXPECT_EQ(s.LeftMargin, 2);
  EXPECT_EQ(s.FontName, "FixedSys");
  EXPECT_EQ(s.FontSize, 14);
  EXPECT_EQ(s.FontColor, clBlack);
  EXPECT_EQ(s.CREOFcolor, RGB(0, 128, 128));
  EXPECT_TRUE(s.ShowEOF);
  EXPECT_FALSE(s.ShowCR);
  EXPECT_FALSE(s.ShowDblSpace);
  EXPECT_TRUE(s.ShowTAB);
  EXPECT_FALSE(s.ShowLineNumber);
}

TEST_F(SettingsTest, ReadsIntegersAndBooleansByTheIntegerRule) {
  ReadFrom("HalfCount=0x1A\nLineCount=$10\nModel= 5\nLeftMargin=yes\nShowTagLine=1\n"
           "ShowEOF=yes\nShowCR=5\nShowTAB=0\nShowLineNumber=true\n");
  EXPECT_EQ(FTarget.S.Device.HalfCount, 26);
  EXPECT_EQ(FTarget.S.Device.LineCount, 16);
  EXPECT_EQ(FTarget.S.Device.Model, 5);
  EXPECT_EQ(FTarget.S.LeftMargin, 2);
  EXPECT_TRUE(FTarget.S.Device.ShowTagLine);
  EXPECT_TRUE(FTarget.S.TagLineChecked);
  EXPECT_TRUE(FTarget.S.ShowEOF);
  EXPECT_TRUE(FTarget.S.ShowCR);
  EXPECT_FALSE(FTarget.S.ShowTAB);
  EXPECT_FALSE(FTarget.S.ShowLineNumber);
  ReadFrom("WordWrap=1\nAutoWrap=1\n");
  EXPECT_TRUE(FTarget.S.WordWrap);
  EXPECT_TRUE(FTarget.S.AutoWrap);
}

TEST_F(SettingsTest, ReadsColoursAsRedGreenBlue) {
  ReadFrom("FontColor=255 0 0\nEOFColor=255,0,0\n");
  EXPECT_EQ(FTarget.S.FontColor, clRed);
  EXPECT_EQ(FTarget.S.CREOFcolor, clBlack);
  ReadFrom("FontColor=300 0 0\nEOFColor=1 2\n");
  EXPECT_EQ(FTarget.S.FontColor, RGB(44, 0, 0));
  EXPECT_EQ(FTarget.S.CREOFcolor, clBlack);
}

TEST_F(SettingsTest, BadColourItemIsReportedAndReadingGoesOn) {
  ReadFrom("HalfCount=20\nFontName=Gothic\nFontColor=255 x 0\nEOFColor=0 0 255\nShowEOF=1\nModel=2\n");
  EXPECT_EQ(FReport, "設定ファイル " + IniPath().string() +
                         " の次の値は読めないため、既定値を使います:\nFontColor=255 x 0 ('x' は整数ではありません)");
  EXPECT_EQ(FTarget.S.Device.HalfCount, 20);
  EXPECT_EQ(FTarget.S.FontName, "Gothic");
  EXPECT_EQ(FTarget.S.FontColor, clBlack);
  EXPECT_EQ(FTarget.S.CREOFcolor, clBlue);
  EXPECT_TRUE(FTarget.S.ShowEOF);
  EXPECT_EQ(FTarget.S.Device.Model, 2);
}

// Every bad value is named with its key in one report; its key takes the
// default and every other key is read.
TEST_F(SettingsTest, ReportsEachValueThatCannotBeRead) {
  struct Case {
    std::string body;
    std::string badValues;  // the report's lines after its first
  };
  const Case cases[] = {
      {"ShowLineNumber=1\nHalfCount=20\n", ""},
      {"FontColor=0 red 0\nShowLineNumber=1\n", "\nFontColor=0 red 0 ('red' は整数ではありません)"},
      {"EOFColor=1 2 3x\nShowLineNumber=1\n", "\nEOFColor=1 2 3x ('3x' は整数ではありません)"},
      {"ShowEOF=yes\nLeftMargin=\nShowLineNumber=1\nTop=2147483648\n",
       "\nTop=2147483648 (整数ではありません)\nLeftMargin= (整数ではありません)\nShowEOF=yes (整数ではありません)"},
      {"LeftMargin=" + std::string(100, '7') + "x\nShowLineNumber=1\n",
       "\nLeftMargin=" + std::string(80, '7') + "... (整数ではありません)"},
      // A colour of other than three items is black, as it always was.
      {"FontColor=255,0,0\nShowLineNumber=1\n", ""},
  };
  for (const Case& c : cases) {
    FTarget = TFakeTarget();
    ReadFrom(c.body);
    const std::string head = "設定ファイル " + IniPath().string() + " の次の値は読めないため、既定値を使います:";
    EXPECT_EQ(FReport, c.badValues.empty() ? "" : head + c.badValues) << c.body;
    EXPECT_TRUE(FTarget.S.ShowLineNumber) << c.body;
    EXPECT_EQ(FTarget.S.LeftMargin, 2) << c.body;
    EXPECT_TRUE(FTarget.S.ShowEOF) << c.body;
  }
}

// Every key but the font's name can hold a value that cannot be read: each
// is reported in the order the file is written in, wherever it stands in
// the file, and every key then has its default.
TEST_F(SettingsTest, EveryUnreadableKeyIsReportedInTheWrittenOrderAndTakesItsDefault) {
  const std::vector<std::string> keys = {"ClientWidth", "ClientHeight", "Top", "Left", "HalfCount", "LineCount",
                                         "TabWidth", "LeftMargin", "FontSize", "FontColor", "EOFColor", "ShowEOF",
                                         "ShowCR", "ShowDblSpace", "ShowTAB", "ShowLineNumber", "Model",
                                         "ShowTagLine", "WordWrap", "AutoWrap"};
  std::string body;
  std::string badValues;
  for (const std::string& key : keys) {
    const bool colour = key.ends_with("Color");
    const std::string value = colour ? "0 x 0" : "x";
    body = key + "=" + value + "\n" + body;
    badValues += "\n" + key + "=" + value + (colour ? " ('x' は整数ではありません)" : " (整数ではありません)");
  }
  TFakeTarget defaults;
  ReadSettings(TIniFile(IniPath()), defaults);
  ReadFrom(body);
  EXPECT_EQ(FReport, "設定ファイル " + IniPath().string() + " の次の値は読めないため、既定値を使います:" + badValues);
  EXPECT_EQ(FTarget.S, defaults.S);
}

// A file read only in part is reported, applied as far as it was read, and
// never written: the settings of this run are not worth what it would lose.
TEST_F(SettingsTest, FileThatCannotBeReadWholeIsKeptAsItIs) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    std::string problem;
    int halfCount;
  };
  const Case cases[] = {
      {"[Verselet 0.3]\nHalfCount=20\n[Recent]\nFile1=a\0b.lrc\n[Other]\nK=v\n"s, "NUL バイトを含んでいます", 20},
      {"\xFF\xFE[\0V\0"s, "UTF-16 のファイルです", 16},
      {"[Verselet 0.3]\nHalfCount=21\nthis is not an entry\n", "3 行目を読めません: this is not an entry", 21},
  };
  for (const Case& c : cases) {
    FTarget = TFakeTarget();
    FDir.WriteFile("verselet.ini", c.bytes);
    EXPECT_EQ(ReadSettings(TIniFile(IniPath()), FTarget),
              "設定ファイル " + IniPath().string() + " を読み切れません (" + c.problem +
                  ")。終了時にこのファイルは書き換えません。");
    EXPECT_EQ(FTarget.S.Device.HalfCount, c.halfCount);
    TIniFile atExit(IniPath());
    EXPECT_FALSE(WriteSettings(atExit, FTarget));
    EXPECT_EQ(TTempDir::ReadFile(IniPath()), c.bytes);
  }
}

TEST_F(SettingsTest, DefaultPositionFollowsTheSizeJustRead) {
  ReadFrom("ClientWidth=1000\nClientHeight=900\n");
  EXPECT_EQ(FTarget.S.Top, (1080 - 959) / 2);
  EXPECT_EQ(FTarget.S.Left, (1920 - 1016) / 2);
}

TEST_F(SettingsTest, WindowLargerThanTheScreenIsCentredTowardZero) {
  FTarget.Screen[0] = 800;
  FTarget.Screen[1] = 600;
  ReadFrom("ClientWidth=1001\nClientHeight=600\n");
  EXPECT_EQ(FTarget.S.Left, -108);  // (800 - 1017) / 2
  EXPECT_EQ(FTarget.S.Top, -29);    // (600 - 659) / 2
  FTarget.Screen[1] = INT_MIN;
  ReadFrom("ClientHeight=1000\n");
  EXPECT_EQ(FTarget.S.Top, (static_cast<long long>(INT_MIN) - 1059) / 2);
  ReadFrom("ClientWidth=1001\nClientHeight=600\nTop=-500\nLeft=$10\n");
  EXPECT_EQ(FTarget.S.Top, -500);
  EXPECT_EQ(FTarget.S.Left, 16);
}

TEST_F(SettingsTest, WritesAllKeysInTheirOrder) {
  FTarget.S.Top = -3;
  FTarget.S.FontName = "\x82\x6c\x82\x72 Gothic";
  FTarget.S.CREOFcolor = clHighlight;
  FTarget.S.Device = {20, 4, 5, true};
  TIniFile ini(IniPath());
  WriteSettings(ini, FTarget);
  EXPECT_EQ(TTempDir::ReadFile(IniPath()),
            "[Verselet 0.3]\nClientWidth=440\nClientHeight=284\nTop=-3\nLeft=0\nHalfCount=20\nLineCount=4\n"
            "TabWidth=8\nLeftMargin=30\nFontName=\x82\x6c\x82\x72 Gothic\nFontSize=9\nFontColor=0 0 255\n"
            "EOFColor=0 120 215\nShowEOF=0\nShowCR=1\nShowDblSpace=1\nShowTAB=0\nShowLineNumber=1\n"
            "Model=5\nShowTagLine=1\nWordWrap=1\nAutoWrap=1\n");
}

TEST_F(SettingsTest, WhatIsWrittenReadsBack) {
  FTarget.S = {700, 500, -20, 35, 2, 0, "Gothic", 11, RGB(1, 2, 3), RGB(4, 5, 6),
               true, false, true, false, true, {24, 2, 3, true}, true, true};
  TIniFile ini(IniPath());
  WriteSettings(ini, FTarget);
  TFakeTarget again;
  ReadSettings(TIniFile(IniPath()), again);
  EXPECT_EQ(again.S, FTarget.S);
}

TEST_F(SettingsTest, WritingKeepsTheRestOfTheFileAndReplacesABadEntry) {
  FDir.WriteFile("verselet.ini",
                 "; written by hand\n[Recent]\nFile1=a.lrc\n\n[Verselet 0.3]\nFontColor=255 x 0\nMine=keep\n; end\n");
  TIniFile ini(IniPath());
  WriteSettings(ini, FTarget);
  const TIniFile reread(IniPath());
  EXPECT_EQ(reread.ReadString("Recent", "File1", ""), "a.lrc");
  EXPECT_EQ(reread.ReadString(kSettingsSection, "Mine", ""), "keep");
  EXPECT_EQ(reread.ReadString(kSettingsSection, "FontColor", ""), "0 0 255");
  const std::string text = TTempDir::ReadFile(IniPath());
  EXPECT_NE(text.find("; written by hand"), std::string::npos);
  EXPECT_NE(text.find("; end"), std::string::npos);
}

// Holds the file size limit of the process low, so that writing the file
// fails even for a user whom folder permissions do not stop.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &FSaved);
    FSavedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit low = FSaved;
    low.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &low);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FSaved);
    std::signal(SIGXFSZ, FSavedHandler);
  }

 private:
  rlimit FSaved{};
  void (*FSavedHandler)(int);
};

TEST_F(SettingsTest, FailedWriteNamesTheFileAndKeepsTheOldOne) {
  const std::string old = "[Verselet 0.3]\nHalfCount=20\n";
  FDir.WriteFile("verselet.ini", old);
  TIniFile ini(IniPath());
  try {
    const TFileSizeLimit limit(old.size() + 1);
    WriteSettings(ini, FTarget);
    FAIL() << "no error raised";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), IniPath().string() + " に書き込めません");
  }
  EXPECT_EQ(TTempDir::ReadFile(IniPath()), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(FDir.Path()), {}), 1);
}

TEST_F(SettingsTest, FolderThatCannotBeMadeNamesTheFile) {
  const auto path = FDir.WriteFile("plain", "") / "verselet" / "verselet.ini";
  TIniFile ini(path);
  try {
    WriteSettings(ini, FTarget);
    FAIL() << "no error raised";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.what(), path.string() + " に書き込めません");
  }
}

class SettingsPathTest : public ::testing::Test {
 protected:
  TConfigEnvironment Environment(bool writable) {
    return {"/xdg", "/var/users/kei", [writable](const std::filesystem::path&) { return writable; }};
  }
};

TEST_F(SettingsPathTest, BesideAWritableExecutable) {
  EXPECT_EQ(SettingsPath("/opt/verselet/verselet", Environment(true)), "/opt/verselet/verselet.ini");
  EXPECT_EQ(SettingsPath("/opt/verselet/verselet.bin", Environment(true)), "/opt/verselet/verselet.ini");
}

TEST_F(SettingsPathTest, BesideTheExecutableWhenTheFileIsAlreadyThere) {
  TTempDir dir;
  dir.WriteFile("verselet.ini", "");
  EXPECT_EQ(SettingsPath(dir.Path() / "verselet", Environment(false)), dir.Path() / "verselet.ini");
}

TEST_F(SettingsPathTest, ElseInTheUsersConfigurationFolder) {
  TConfigEnvironment env = Environment(false);
  EXPECT_EQ(SettingsPath("/usr/bin/verselet", env), "/xdg/verselet/verselet.ini");
  env.XdgConfigHome = "relative/ignored";
  EXPECT_EQ(SettingsPath("/usr/bin/verselet", env), "/var/users/kei/.config/verselet/verselet.ini");
  env.XdgConfigHome.clear();
  EXPECT_EQ(SettingsPath("/usr/bin/verselet", env), "/var/users/kei/.config/verselet/verselet.ini");
}

// A settings file beside the executable that another user could have put
// there or changed is not used.
TEST_F(SettingsPathTest, ThePortableFileIsUsedOnlyWhenNoOtherUserCouldHaveWrittenIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  constexpr uid_t kOther = 4321;
  const struct {
    const char* Name;
    std::function<void(const std::filesystem::path& folder)> Make;
    bool Used;
  } cases[] = {
      {"the user's own file", [](const auto& folder) { std::ofstream(folder / "verselet.ini"); }, true},
      {"a link", [](const auto& folder) {
         std::ofstream(folder / "real.ini");
         std::filesystem::create_symlink("real.ini", folder / "verselet.ini");
       }, false},
      {"another user's file", [](const auto& folder) {
         std::ofstream(folder / "verselet.ini");
         (void)::chown((folder / "verselet.ini").c_str(), kOther, kOther);
       }, false},
      {"a folder others may write", [](const auto& folder) {
         std::ofstream(folder / "verselet.ini");
         ::chmod(folder.c_str(), 0777);
       }, false},
      {"another user's folder", [](const auto& folder) {
         std::ofstream(folder / "verselet.ini");
         (void)::chown(folder.c_str(), kOther, kOther);
       }, false},
      {"no file, a sticky folder for everyone", [](const auto& folder) { ::chmod(folder.c_str(), 01777); }, false},
      {"no file, the user's folder", [](const auto&) {}, true},
  };
  for (const auto& c : cases) {
    TTempDir dir;
    const std::filesystem::path folder = dir.Path() / "bin";
    std::filesystem::create_directory(folder);
    ::chmod(folder.c_str(), 0755);
    c.Make(folder);
    const TConfigEnvironment env{"/xdg", ""};
    EXPECT_EQ(SettingsPath(folder / "verselet", env) == folder / "verselet.ini", c.Used) << c.Name;
  }
}

TEST_F(SettingsPathTest, ChecksTheRealFolder) {
  TTempDir dir;
  const TConfigEnvironment env{"/xdg", ""};
  EXPECT_EQ(SettingsPath(dir.Path() / "verselet", env), dir.Path() / "verselet.ini");
  EXPECT_EQ(SettingsPath(dir.Path() / "missing" / "verselet", env), "/xdg/verselet/verselet.ini");
}

}  // namespace
