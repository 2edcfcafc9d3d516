// Tests of opening a UTF-8 file: converted to Shift-JIS, opened as it is, or left alone, as the user chooses.
#include <QLabel>
#include <fstream>

#include "app/UnitStatusFields.h"
#include "app/core/FileEncoding.h"
#include "app/core/SaveEncoding.h"

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

// A file is saved in the encoding it came in, which the status bar shows;
// 名前を付けて保存 offers it first and takes another without a question,
// the line breaks staying CR LF. A byte Shift-JIS does not define cannot
// become UTF-8: the save fails, saying where, and nothing is written.
TEST_F(EncodingTest, SavedInTheEncodingItCameInOrTheOneChosen) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string utf8 = "\xE6\xAD\x8C\xE3\x80\x9C\n2";  // 歌〜, the 〜 folded to ～ when opened
  const std::string utf8Saved = "\xE6\xAD\x8C\xEF\xBD\x9E\r\n2";
  const std::string sjis = "\x89\xCC\x81\x60\r\n2";
  const struct {
    std::string Bytes;  // the file opened
    std::vector<QString> Replies;
    const char* Shown;  // the status bar's encoding after opening
    TSaveEncoding Chosen;
    std::string Saved;  // the file written by Save As
    const char* ShownAfter;
  } cases[] = {
      {bom + utf8, {"変換して開く"}, "UTF-8 (BOM 付き)", TSaveEncoding::ShiftJis, sjis, "Shift-JIS"},
      {utf8, {"変換して開く"}, "UTF-8", TSaveEncoding::Utf8WithBom, bom + utf8Saved, "UTF-8 (BOM 付き)"},
      {sjis, {}, "Shift-JIS", TSaveEncoding::Utf8, utf8Saved, "UTF-8"},
  };
  for (const auto& c : cases) {
    std::ofstream(Path("in.lrc"), std::ios::binary) << c.Bytes;
    TForm1& form = Create();
    Dialogs.Replies.assign(c.Replies.begin(), c.Replies.end());
    Dialogs.Answers.push_back({true, Path("in.lrc")});
    form.N6->trigger();
    EXPECT_EQ(form.StatusFields->Encoding->text().toStdString(), c.Shown);
    // Save writes the encoding it came in.
    form.N5->trigger();
    const std::string resaved = TTempDir::ReadFile(Path("in.lrc"));
    EXPECT_EQ(resaved, c.Bytes.starts_with(bom) ? bom + utf8Saved : c.Bytes == utf8 ? utf8Saved : sjis);
    Dialogs.Answers.push_back({true, Path("out.txt"), 1, c.Chosen});
    form.N4->trigger();
    EXPECT_EQ(Dialogs.OfferedEncodings.back(), SaveEncodingOf(DetectFileEncoding(c.Bytes), c.Bytes));
    EXPECT_EQ(TTempDir::ReadFile(Path("out.txt")), c.Saved);
    EXPECT_EQ(form.StatusFields->Encoding->text().toStdString(), c.ShownAfter);
    EXPECT_TRUE(Dialogs.Questions.empty() || c.Replies.size() == Dialogs.Questions.size());
    EXPECT_FALSE(form.RyxEdit1->Modified());
    Dialogs.Questions.clear();
    std::filesystem::remove(Path("out.txt"));
  }

  TForm1& form = Create();
  form.RyxEdit1->SetAllText("ok\r\n\x85\x40");
  Dialogs.Answers.push_back({true, Path("bad.txt"), 1, TSaveEncoding::Utf8});
  form.N4->trigger();
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_TRUE(Dialogs.Errors[0].contains("2 行目")) << Dialogs.Errors[0].toStdString();
  EXPECT_FALSE(std::filesystem::exists(Path("bad.txt")));
  EXPECT_EQ(form.StatusFields->Encoding->text().toStdString(), "Shift-JIS");
  form.RyxEdit1->ClearAll();
}

}  // namespace
