// Tests of TIniFile: value encodings, and writing that keeps the rest of the file.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "tests/TempDir.h"
#include "tests/platform/LockedFolder.h"

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& bytes) { return FDir.WriteFile("test.ini", bytes); }
  TTempDir FDir;
};

TEST_F(IniFileTest, MissingFileGivesDefaults) {
  const TIniFile ini(FDir.Path() / "none.ini");
  EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("S", "K", 7), 7);
  EXPECT_TRUE(ini.ReadBool("S", "K", true));
}

TEST_F(IniFileTest, ReadsValuesByTheIntegerRule) {
  const TIniFile ini(Write("[S]\nHex=0x10\nDollar=$1f\nNeg=-12\nWord=yes\nEmpty=\nFive=5\nZero=0\nBig=2147483648\n"));
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 16);
  EXPECT_EQ(ini.ReadInteger("S", "Dollar", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "Neg", 0), -12);
  EXPECT_EQ(ini.ReadInteger("S", "Word", 3), 3);
  EXPECT_EQ(ini.ReadInteger("S", "Empty", 3), 3);
  EXPECT_EQ(ini.ReadInteger("S", "Big", 3), 3);
  EXPECT_TRUE(ini.ReadBool("S", "Five", false));
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Word", true));
  EXPECT_FALSE(ini.ReadBool("S", "Word", false));
}

TEST_F(IniFileTest, NamesIgnoreCaseAndValuesAreRawBytes) {
  const std::string sjis = "\x82\xa0\x81\x40\x83\x5c";
  const TIniFile ini(Write("[Verselet 0.3]\nFontName= " + sjis + " \n"));
  EXPECT_EQ(ini.ReadString("verselet 0.3", "FONTNAME", ""), sjis);
}

TEST_F(IniFileTest, SeesAtMost2047BytesOfAValue) {
  const TIniFile ini(Write("[S]\nLong=" + std::string(3000, 'a') + "\n"));
  EXPECT_EQ(ini.ReadString("S", "Long", ""), std::string(2047, 'a'));
}

TEST_F(IniFileTest, WritesKeyEqualsValueAndReadsItBack) {
  const auto path = FDir.Path() / "new.ini";
  TIniFile ini(path);
  ini.WriteString("S", "Name", "FixedSys");
  ini.WriteInteger("S", "Top", -5);
  ini.WriteBool("S", "On", true);
  ini.WriteBool("S", "Off", false);
  ini.WriteInteger("S", "Top", 12);
  ini.UpdateFile();
  EXPECT_EQ(TTempDir::ReadFile(path), "[S]\nName=FixedSys\nTop=12\nOn=1\nOff=0\n");
  const TIniFile reread(path);
  EXPECT_EQ(reread.ReadInteger("S", "Top", 0), 12);
}

TEST_F(IniFileTest, ValueEndsAtALineBreakSoItCannotAddKeys) {
  const auto path = FDir.Path() / "new.ini";
  TIniFile ini(path);
  ini.WriteString("S", "A", "one\nB=injected");
  ini.UpdateFile();
  const TIniFile reread(path);
  EXPECT_EQ(reread.ReadString("S", "A", ""), "one");
  EXPECT_EQ(reread.ReadString("S", "B", "none"), "none");
}

TEST_F(IniFileTest, WritingKeepsOtherSectionsKeysCommentsAndOrder) {
  const auto path = Write(
      "; about this file\n\n[Other]\n# why\nA=1\n\n[S]\n; first\nK1=old\nK2=keep\n"
      "; after the last key\n\n; and more\n");
  TIniFile ini(path);
  ini.WriteString("S", "K1", "new");
  ini.WriteString("S", "K3", "added");
  ini.WriteString("T", "K", "v");
  ini.UpdateFile();
  const std::string text = TTempDir::ReadFile(path);
  const char* inOrder[] = {"; about this file", "[Other]", "# why", "A=1", "[S]", "; first", "K1=new",
                           "K2=keep",           "K3=added", "[T]", "K=v", "; after the last key", "; and more"};
  std::size_t pos = 0;
  for (const char* piece : inOrder) {
    const std::size_t found = text.find(piece, pos);
    ASSERT_NE(found, std::string::npos) << piece << " missing or out of order in:\n" << text;
    pos = found;
  }
}

TEST_F(IniFileTest, FileOfCommentsOnlyKeepsThemAhead) {
  const auto path = Write("; one\n\n; two");
  TIniFile ini(path);
  ini.WriteString("S", "K", "v");
  ini.UpdateFile();
  EXPECT_EQ(TTempDir::ReadFile(path), "; one\n\n; two\n[S]\nK=v\n");
}

TEST_F(IniFileTest, KeepsAUtf8Signature) {
  const auto path = Write("\xEF\xBB\xBF[S]\nK=1\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("S", "K", 0), 1);
  ini.WriteInteger("S", "K", 2);
  ini.UpdateFile();
  EXPECT_EQ(TTempDir::ReadFile(path), "\xEF\xBB\xBF[S]\nK=2\n");
}

TEST_F(IniFileTest, UpdateFileCreatesTheFolder) {
  const auto path = FDir.Path() / "config" / "verselet" / "verselet.ini";
  TIniFile ini(path);
  ini.WriteInteger("S", "K", 1);
  ini.UpdateFile();
  EXPECT_EQ(TTempDir::ReadFile(path), "[S]\nK=1\n");
}

TEST_F(IniFileTest, UpdateFileRaisesWhenTheFolderCannotBeMade) {
  const auto blocker = Write("a file, not a folder");
  TIniFile ini(blocker / "sub" / "verselet.ini");
  ini.WriteInteger("S", "K", 1);
  EXPECT_THROW(ini.UpdateFile(), EInOutError);
  EXPECT_EQ(TTempDir::ReadFile(blocker), "a file, not a folder");
}


// The settings of a portable install whose folder the user may not write,
// or kept elsewhere behind a link, are still saved at exit.
TEST_F(IniFileTest, UpdateFileWritesInALockedFolderAndThroughALink) {
  namespace fs = std::filesystem;
  fs::create_directory(FDir.Path() / "locked");
  const fs::path locked = FDir.WriteFile("locked/verselet.ini", "[S]\nK=1\n");
  const fs::path real = FDir.WriteFile("real.ini", "[S]\nK=1\n");
  fs::create_symlink(real, FDir.Path() / "link.ini");
  std::shared_ptr<TUndo> lock = LockFolder(FDir.Path() / "locked");
  const struct {
    fs::path Name;
    fs::path File;
  } cases[] = {{locked, locked}, {FDir.Path() / "link.ini", real}};
  for (const auto& c : cases) {
    if (c.Name == locked && !lock) continue;  // the folder cannot be locked here
    TIniFile ini(c.Name);
    ini.WriteInteger("S", "K", 2);
    ini.UpdateFile();
    EXPECT_EQ(TTempDir::ReadFile(c.File), "[S]\nK=2\n") << c.Name;
  }
  EXPECT_TRUE(fs::is_symlink(FDir.Path() / "link.ini"));
  if (!lock) GTEST_SKIP() << "cannot lock a folder here";
}

TEST_F(IniFileTest, FileThatCannotBeReadWholeIsReadSoFarAndNeverWritten) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    std::string problem;  // empty: read whole
    std::string a;        // what S/A reads
  };
  const Case cases[] = {
      {"[S]\nA=1\n\0[T]\nB=2\n"s, "NUL バイトを含んでいます", "1"},
      {"\xFF\xFE[\0S\0]\0\n\0A\0=\0\x31\0\n\0"s, "UTF-16 のファイルです", "-"},
      {"[S]\nA=1\njunk line\nB=2\n", "3 行目を読めません: junk line", "1"},
      {"[S]\r\n=x\r\nA=2\r\n", "2 行目を読めません: =x", "2"},
      {"[S\nA=1\n", "1 行目を読めません: [S", "-"},
      {"; about\n\n[S]\r\n  A = 3 \r\n\t\n# end\n", "", "3"},
      {"\xEF\xBB\xBF[S]\rA=4\r", "", "4"},
      {"", "", "-"},
  };
  for (const Case& c : cases) {
    const auto path = Write(c.bytes);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadProblem(), c.problem) << testing::PrintToString(c.bytes);
    EXPECT_EQ(ini.ReadString("S", "A", "-"), c.a) << testing::PrintToString(c.bytes);
    ini.WriteString("S", "A", "9");
    if (c.problem.empty()) {
      ini.UpdateFile();
      EXPECT_EQ(TIniFile(path).ReadString("S", "A", ""), "9");
    } else {
      EXPECT_THROW(ini.UpdateFile(), EInOutError) << testing::PrintToString(c.bytes);
      EXPECT_EQ(TTempDir::ReadFile(path), c.bytes);
    }
  }
}

TEST_F(IniFileTest, FolderInPlaceOfTheFileIsNotReadWhole) {
  std::filesystem::create_directory(FDir.Path() / "folder.ini");
  TIniFile ini(FDir.Path() / "folder.ini");
  EXPECT_FALSE(ini.ReadProblem().empty());
  EXPECT_THROW(ini.UpdateFile(), EInOutError);
}

TEST_F(IniFileTest, ValueExistsTellsAnEmptyValueFromAMissingOne) {
  const TIniFile ini(Write("[S]\nEmpty=\nSet=1\n"));
  EXPECT_TRUE(ini.ValueExists("S", "Empty"));
  EXPECT_TRUE(ini.ValueExists("s", "SET"));
  EXPECT_FALSE(ini.ValueExists("S", "Missing"));
  EXPECT_FALSE(ini.ValueExists("T", "Set"));
}

}  // namespace
