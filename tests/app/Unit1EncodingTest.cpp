// Tests of opening a UTF-8 file: converted to Shift-JIS, opened as it is, or left alone, as the user chooses.
#include <fstream>

#include "editor/Ryxstrings.h"
#include "platform/CodePage.h"
#include "tests/app/FormFixture.h"

namespace {

using namespace std::string_view_literals;

using EncodingTest = FormTest;

TEST_F(EncodingTest, AUtf8FileIsConvertedOpenedAsItIsOrLeftOnRequest) {
  const std::string utf8 = "[00:01]歌詞\n2行目";
  std::ofstream(Path("song.lrc")) << utf8;
  struct TCase {
    std::vector<QString> Replies;
    std::string Text;  // the editor's text afterwards
    bool Opened;
    bool Modified;
  } cases[] = {
      {{"変換して開く"}, UnicodeToAnsi(Utf8ToUnicode("[00:01]歌詞\r\n2行目")), true, true},
      {{"そのまま開く"}, "[00:01]歌詞\r\n2行目", true, false},
      {{"キャンセル"}, "before", false, false},
  };
  for (const TCase& c : cases) {
    TForm1& form = Create();
    form.RyxEdit1->SetAllText("before");
    Dialogs.Replies.assign(c.Replies.begin(), c.Replies.end());
    Dialogs.Answers.push_back({true, Path("song.lrc")});
    form.N6->trigger();
    EXPECT_EQ(Text(), c.Text) << c.Replies[0].toStdString();
    EXPECT_EQ(form.CurrentFileName() == Path("song.lrc"), c.Opened);
    EXPECT_EQ(form.RyxEdit1->Modified(), c.Modified);
    ASSERT_FALSE(Dialogs.Questions.empty());
    EXPECT_TRUE(Dialogs.Questions.back().Text.contains("UTF-8")) << Dialogs.Questions.back().Text.toStdString();
    Dialogs.Questions.clear();
    Form->RyxEdit1->ClearAll();  // nothing to ask about when the window goes
  }
  // The file itself is untouched until it is saved.
  EXPECT_EQ(TTempDir::ReadFile(Path("song.lrc")), utf8);
}

// Converted, such a file would end at its NUL; it is refused as a binary
// file, as a Shift-JIS one is, before anything is asked or changed.
TEST_F(EncodingTest, AUnicodeFileHoldingANulIsRefusedAsBinary) {
  const struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"utf8.lrc", std::string("\xEF\xBB\xBF[00:01]\xE6\xAD\x8C\0\xE8\xA9\x9E\n2"sv)},
      {"utf8-nobom.lrc", std::string("\xE6\xAD\x8C\xE8\xA9\x9E\0tail"sv)},
      {"utf16.lrc", std::string("\xFF\xFE\x4C\x6B\x00\x00\x5E\x8A"sv)},
  };
  for (const auto& c : cases) {
    std::ofstream(Path(c.Name), std::ios::binary) << c.Bytes;
    TForm1& form = Create();
    form.RyxEdit1->SetAllText("before");
    Dialogs.Answers.push_back({true, Path(c.Name)});
    form.N6->trigger();
    EXPECT_TRUE(Dialogs.Questions.empty()) << c.Name;
    ASSERT_EQ(Dialogs.Errors.size(), 1u) << c.Name;
    EXPECT_TRUE(Dialogs.Errors.back().contains("テキストファイルではありません")) << Dialogs.Errors.back().toStdString();
    EXPECT_EQ(Text(), "before") << c.Name;
    EXPECT_EQ(form.CurrentFileName(), "") << c.Name;
    EXPECT_EQ(TTempDir::ReadFile(Path(c.Name)), c.Bytes);
    Dialogs.Errors.clear();
    Dialogs.Questions.clear();
    Form->RyxEdit1->ClearAll();
  }
}

// A file larger than the editor holds is refused by its size before a byte
// of it is read (a sparse one reads as NUL bytes for seconds).
TEST_F(EncodingTest, AFileTooLargeIsRefusedByItsSizeFirst) {
  const std::string name = Path("huge.lrc");
  std::ofstream(name, std::ios::binary) << "\xEF\xBB\xBF";
  std::filesystem::resize_file(name, TRyxStrings::kMaxFileBytes + 1);
  TForm1& form = Create();
  form.RyxEdit1->SetAllText("before");
  Dialogs.Answers.push_back({true, name});
  form.N6->trigger();
  EXPECT_TRUE(Dialogs.Questions.empty());
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors.back().contains("大きすぎて")) << Dialogs.Errors.back().toStdString();
  EXPECT_EQ(Text(), "before");
}

}  // namespace
