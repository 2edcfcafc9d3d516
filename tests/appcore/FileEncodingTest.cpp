// Tests of telling UTF-8 and UTF-16 files from Shift-JIS ones, on real files and hand-made edge cases.
#include "app/core/FileEncoding.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>

#include "app/core/FileEncodingScan.h"
#include "platform/CodePage.h"
#include "tests/TempDir.h"
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

namespace {

// The first line holding a byte that is no Shift-JIS character, walked
// character by character; 0 when there is none.
std::uint64_t PlainFirstNonShiftJisLine(const std::string& bytes) {
  std::uint64_t line = 1;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      if (i + 1 >= bytes.size()) return line;
      const auto t = static_cast<unsigned char>(bytes[i + 1]);
      if (t < 0x40 || t == 0x7F || t > 0xFC) return line;
      i += 2;
      continue;
    }
    if (c == 0x80 || c == 0xA0 || c >= 0xFD) return line;
    if (c == '\n') ++line;
    ++i;
  }
  return 0;
}

}  // namespace

// Random files of a few byte kinds, across the reader's blocks, against a plain walk.
TEST(FileEncodingTest, FirstNonShiftJisLineFollowsAPlainWalk) {
  const TTempDir dir;
  // Characters whose trail byte is of the lead bytes' range too make long runs of such bytes.
  const std::string kinds[] = {"a", "\n", "\x82\xA0", "\x81\x5B", "\xE0\x40", "\xB1", "\x88\x9F", "\xE0\xE0",
                               "\x81", "\xE0", "\xFC", "\x7F", "\x80", "\xA0", "\xFD", "\xFF", "\x9F\x0A", "\x82"};
  std::mt19937 random(24);
  std::size_t faulty = 0;
  for (int round = 0; round < 60; ++round) {
    std::string bytes;
    const std::size_t length = random() % 3 == 0 ? 140000 : random() % 300;
    // Mostly good characters, so that a fault comes late in some files.
    const bool rare = random() % 2 == 0;
    while (bytes.size() < length) {
      const std::size_t k = random() % (rare && random() % 2000 != 0 ? 8 : std::size(kinds));
      bytes += kinds[k];
    }
    const std::uint64_t expected = PlainFirstNonShiftJisLine(bytes);
    faulty += expected > 0 ? 1 : 0;
    const std::optional<std::uint64_t> found = FirstNonShiftJisLine(dir.WriteFile("f.txt", bytes));
    EXPECT_EQ(found.value_or(0), expected) << round;
  }
  EXPECT_GT(faulty, 10u);
  EXPECT_LT(faulty, 60u);
}
