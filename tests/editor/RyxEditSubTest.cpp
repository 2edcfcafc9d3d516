// Tests of the byte kinds, the line-break sniffing and the terminator helpers.
#include "editor/RyxEditSub.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "tests/TestData.h"
#include "tests/TempDir.h"

using namespace std::string_literals;

TEST(IsDBCSLeadByte, CoversExactlyTheTwoLeadRanges) {
  struct Case {
    unsigned char byte;
    bool lead;
  };
  const Case cases[] = {{0x40, false}, {0x7F, false}, {0x80, false}, {0x81, true},  {0x9F, true},
                        {0xA0, false}, {0xA1, false}, {0xDF, false}, {0xE0, true},  {0xFC, true},
                        {0xFD, false}, {0xFF, false}, {0x00, false}, {0x5C, false}};
  for (const Case& c : cases) EXPECT_EQ(IsDBCSLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
}

namespace {

struct TByteKindCase {
  std::string text;
  std::vector<int> kinds;  // for positions 1..length
};

const TByteKindCase kByteKindCases[] = {
    {"ab", {0, 0}},
    {"\x82\xA0", {1, 2}},                         // あ
    {"a\x82\xA0z", {0, 1, 2, 0}},                 // the character after a pair starts afresh
    {"\xB1\xDF\xA1", {0, 0, 0}},                  // half-width katakana
    {"\x81\x5B[", {1, 2, 0}},                     // trail byte with the value of '['
    {"\x81\x81\x81\x81", {1, 2, 1, 2}},           // trail bytes in the lead range
    {"\x81\x81" "A", {1, 2, 0}},
    {"\x88\x9F\x89\xEF", {1, 2, 1, 2}},
    {"a\x82", {0, 1}},                            // lone lead byte at the end
    {"\x82", {1}},
    {"\x85\x40\xFD\x80\xA0", {1, 2, 0, 0, 0}},    // invalid pair, then bytes that lead nothing
    {"\xEF\xBB\xBF[", {1, 2, 0, 0}},              // a UTF-8 byte-order mark read as CP932
};

}  // namespace

TEST(ByteTypeAt, ClassifiesEveryPositionOfTheSample) {
  for (const TByteKindCase& c : kByteKindCases) {
    ASSERT_EQ(c.kinds.size(), c.text.size());
    for (std::size_t i = 0; i < c.text.size(); ++i) {
      const int pos = static_cast<int>(i) + 1;
      EXPECT_EQ(ByteTypeAt(c.text, pos, false), c.kinds[i]) << testing::PrintToString(c.text) << " pos " << pos;
      EXPECT_EQ(ByteTypeAt(c.text, pos, true), kSingleByte);
    }
    for (const int outside : {0, -1, static_cast<int>(c.text.size()) + 1})
      EXPECT_EQ(ByteTypeAt(c.text, outside, false), kSingleByte);
  }
  EXPECT_EQ(ByteTypeAt("", 1, false), kSingleByte);
}

// A forward walk from the start of a line is the truth the backward rule must match.
TEST(ByteTypeAt, AgreesWithAForwardWalkOverRealShiftJisText) {
  VERSELET_REQUIRE_TESTDATA();
  std::size_t pairs = 0;
  for (const char* name : {"sjis/gotext_rashomon-shift-jis.txt", "sjis/kenall_import-test.csv.txt",
                           "sjis/encodingrs_shift_jis_in.txt"}) {
    const std::string bytes = testdata::ReadBytes(testdata::Dir() / name);
    ASSERT_FALSE(bytes.empty()) << name;
    std::size_t start = 0;
    while (start < bytes.size()) {
      const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
      const std::string line = bytes.substr(start, end - start);
      for (std::size_t i = 0; i < line.size(); ++i) {
        const bool lead = IsDBCSLeadByte(static_cast<unsigned char>(line[i]));
        ASSERT_EQ(ByteTypeAt(line, static_cast<int>(i) + 1, false), lead ? kLeadByte : kSingleByte) << name;
        if (lead && i + 1 < line.size()) {
          ++i;
          ++pairs;
          ASSERT_EQ(ByteTypeAt(line, static_cast<int>(i) + 1, false), kTrailByte) << name;
        }
      }
      start = end + 1;
    }
  }
  EXPECT_GT(pairs, 10000u);
}

TEST(TByteTypes, ClassifiesEveryPositionOfTheSample) {
  for (const TByteKindCase& c : kByteKindCases) {
    const TByteTypes kinds(c.text, false);
    const TByteTypes single(c.text, true);
    for (std::size_t i = 0; i < c.text.size(); ++i) {
      const int pos = static_cast<int>(i) + 1;
      EXPECT_EQ(kinds.At(pos), c.kinds[i]) << testing::PrintToString(c.text) << " pos " << pos;
      EXPECT_EQ(single.At(pos), kSingleByte);
    }
    for (const int outside : {0, -1, static_cast<int>(c.text.size()) + 1}) EXPECT_EQ(kinds.At(outside), kSingleByte);
  }
}

// Runs of lead-byte values of every length and parity, broken now and then by
// bytes that cannot lead, as the backward rule sees them.
TEST(TByteTypes, AgreesWithByteTypeAtOnRandomBytes) {
  const unsigned char alphabet[] = {0x8E, 0x9A, 0x81, 0xE0, 0xFC, 0x9F, 0x40, 'a', 0xA1, 0xDF, 0xFD, 0x80, '\r', '\n', 0};
  std::mt19937 random(932);
  for (int round = 0; round < 3000; ++round) {
    std::string s(random() % 48, '\0');
    for (char& c : s) c = static_cast<char>(alphabet[random() % sizeof alphabet]);
    const int n = static_cast<int>(s.size());
    for (const bool singleByte : {false, true}) {
      const TByteTypes kinds(s, singleByte);
      for (int pos = -1; pos <= n + 1; ++pos)
        ASSERT_EQ(kinds.At(pos), ByteTypeAt(s, pos, singleByte)) << testing::PrintToString(s) << " pos " << pos;
    }
  }
}

TEST(DetectLineBreak, TakesTheFirstBreakOfTheFirst1024Bytes) {
  struct Case {
    std::string bytes;
    TLineBreakStyle style;
  };
  const std::string filler(1022, 'x');
  const Case cases[] = {
      {"", lbEmpty},
      {"A\r\nB\nC\r", lbCRLF},
      {"A\nB\r\n", lbLF},
      {"A\rB\r\n", lbCR},
      {"no break at all", lbCR},
      {"A\0\r\n"s, lbCR},               // a NUL before any break
      {"\r\n", lbCRLF},
      {"A\r", lbCR},                    // CR as the last byte of the file
      {filler + "\r\n", lbCRLF},        // CR LF ends exactly at byte 1024
      {filler + "x\r\n", lbCR},         // the 1024th byte is a CR: its LF is not looked at
      {filler + "x\n", lbLF},
      {filler + "xx\n", lbCR},          // the first break lies beyond byte 1024
  };
  TTempDir folder;
  for (const Case& c : cases)
    EXPECT_EQ(DetectLineBreak(folder.WriteFile("f.txt", c.bytes)), c.style) << c.bytes.size() << " bytes";
}

TEST(DetectLineBreak, RefusesWhatIsNotAReadableFileNamingIt) {
  TTempDir folder;
  const std::filesystem::path fifo = folder.Path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A pipe without a writer would block an ordinary open.
  for (const std::filesystem::path& name : {folder.Path() / "missing.txt", folder.Path(), fifo}) {
    try {
      DetectLineBreak(name);
      ADD_FAILURE() << name << " was read";
    } catch (const EInOutError& e) {
      EXPECT_NE(e.Message().find(name.string()), std::string::npos) << e.Message();
    }
  }
}

TEST(LineEndHelpers, RecogniseTheTwoTerminators) {
  struct Case {
    std::string line;
    bool hasLineEnd;
    std::string withoutLineEnd;
    std::string withoutEndMarker;
  };
  const Case cases[] = {
      {"A\r\n", true, "A", "A\r\n"},
      {"A\0\0"s, true, "A", "A"},
      {"\0\0"s, true, "", ""},
      {"\r\n", true, "", "\r\n"},
      {"A", false, "A", "A"},
      {"", false, "", ""},
      {"\r", false, "\r", "\r"},
      {"AB\n", false, "AB\n", "AB\n"},
      {"A\r\r\n", true, "A\r", "A\r\r\n"},  // a CR inside the content stays
      {"\x82\xA0\0\0"s, true, "\x82\xA0", "\x82\xA0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.line));
    EXPECT_EQ(HasLineEnd(c.line), c.hasLineEnd);
    EXPECT_EQ(StripLineEnd(c.line), c.withoutLineEnd);
    EXPECT_EQ(StripEndMarker(c.line), c.withoutEndMarker);
  }
}
