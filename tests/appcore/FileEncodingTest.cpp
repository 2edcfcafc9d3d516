// Tests of telling UTF-8 and UTF-16 files from Shift-JIS ones, on real files and hand-made edge cases.
#include "app/core/FileEncoding.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "tests/TestData.h"

namespace {

TEST(FileEncodingTest, RealFilesAreToldApart) {
  VERSELET_REQUIRE_TESTDATA();
  const struct {
    const char* File;
    TFileEncoding Encoding;
  } cases[] = {
      {"real-lrc/navidrome_bom-test.lrc", TFileEncoding::Utf8},
      {"real-kra/lrc2exopy_2_shining-star.kra", TFileEncoding::Utf8},
      {"linebreaks/dos2unix_dos_bom.txt", TFileEncoding::Utf8},
      {"linebreaks/dos2unix_utf16.txt", TFileEncoding::Utf16LE},
      {"sjis/gotext_rashomon-shift-jis.txt", TFileEncoding::ShiftJis},
      {"sjis/aozora2html_chukiichiran_kinyurei.txt", TFileEncoding::ShiftJis},
      {"sjis/encodingrs_shift_jis_in.txt", TFileEncoding::ShiftJis},
      {"real-lrc/lrc2exo_testsong.lrc", TFileEncoding::ShiftJis},  // ASCII needs no conversion
  };
  for (const auto& c : cases) {
    const std::string bytes = testdata::ReadBytes(testdata::Dir() / c.File);
    ASSERT_FALSE(bytes.empty()) << c.File;
    EXPECT_EQ(DetectFileEncoding(bytes), c.Encoding) << c.File;
  }
  // The UTF-16 file decodes to the same text as its UTF-8 sibling.
  const std::string utf16 = testdata::ReadBytes(testdata::Dir() / "linebreaks/dos2unix_utf16.txt");
  const std::string decoded = DecodeToUtf8(utf16, TFileEncoding::Utf16LE);
  EXPECT_TRUE(IsValidUtf8(decoded));
  EXPECT_EQ(decoded.find('\0'), std::string::npos);
}

TEST(FileEncodingTest, EdgeCasesAndDecoding) {
  const struct {
    const char* Name;
    std::string Bytes;
    TFileEncoding Encoding;
    std::string Utf8;
  } cases[] = {
      {"Shift-JIS half-width kana that is well-formed UTF-8", "\xC3\xA9\xC3\xA9", TFileEncoding::ShiftJis,
       "\xEF\xBE\x83\xEF\xBD\xA9\xEF\xBE\x83\xEF\xBD\xA9"},
      {"Shift-JIS kanji", UnicodeToAnsi(Utf8ToUnicode("歌詞\r\n")), TFileEncoding::ShiftJis, "歌詞\r\n"},
      {"UTF-8 without a mark, LF breaks", "歌\n詞\r", TFileEncoding::Utf8, "歌\r\n詞\r\n"},
      {"UTF-8 mark on ASCII",
       "\xEF\xBB\xBF"
       "a\r\nb",
       TFileEncoding::Utf8, "a\r\nb"},
      {"UTF-16 big-endian", std::string("\xFE\xFF\x30\x42\x00\x0A", 6), TFileEncoding::Utf16BE, "あ\r\n"},
      {"UTF-16 of odd length", std::string("\xFF\xFE\x42\x30\x41", 5), TFileEncoding::Utf16LE, "あ\xEF\xBF\xBD"},
      {"empty", "", TFileEncoding::ShiftJis, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(DetectFileEncoding(c.Bytes), c.Encoding);
    EXPECT_EQ(DecodeToUtf8(c.Bytes, c.Encoding), c.Utf8);
  }
}

}  // namespace
