// Tests of the FuncUnit helpers.
#include "app/core/FuncUnit.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "platform/Exceptions.h"

namespace {

const std::string kFullSpace = "\x81\x40";

// Random lines of blanks, full-width spaces, lead bytes and letters: the
// quick answer is that of trimming.
TEST(TrimFullWidthTest, TrimsToNothingAnswersAsTrimming) {
  const std::string bytes = std::string(" \t\r\x81\x40\x81\x40\x82" "a") + std::string(1, '\0');
  std::mt19937 random(81);
  for (int round = 0; round < 5000; ++round) {
    std::string line(random() % 8, ' ');
    for (char& c : line) c = bytes[random() % bytes.size()];
    EXPECT_EQ(TrimsToNothing(line), TrimFullWidth(line).empty()) << ::testing::PrintToString(line);
  }
}

TEST(TrimFullWidthTest, RemovesBlanksAndFullWidthSpacesAtBothEnds) {
  EXPECT_EQ(TrimFullWidth(" \t" + kFullSpace + " " + kFullSpace + "abc" + kFullSpace + " \r\n"), "abc");
  EXPECT_EQ(TrimFullWidth(kFullSpace + "a " + kFullSpace + "b" + kFullSpace), "a " + kFullSpace + "b");
  EXPECT_EQ(TrimFullWidth("\x82\xA0"), "\x82\xA0");
}

TEST(TrimFullWidthTest, LineOfBlanksOnlyBecomesEmpty) {
  EXPECT_EQ(TrimFullWidth(""), "");
  EXPECT_EQ(TrimFullWidth(" \t\r"), "");
  EXPECT_EQ(TrimFullWidth(kFullSpace + " " + kFullSpace), "");
}

TEST(TrimFullWidthTest, TabBetweenFullWidthSpacesStays) {
  EXPECT_EQ(TrimFullWidth(kFullSpace + "\t" + kFullSpace), "\t");
}

TEST(TrimFullWidthTest, TrailByteBeforeAtSignIsNoFullWidthSpace) {
  // 0x88 0x81 is one character, so the bytes 0x81 0x40 at the end are its
  // trail byte and a half-width "@".
  EXPECT_EQ(TrimFullWidth("\x88\x81@"), "\x88\x81@");
  EXPECT_EQ(TrimFullWidth(kFullSpace + "\x88\x81@" + kFullSpace), "\x88\x81@");
  // A trail byte of 0x40 ends this katakana.
  EXPECT_EQ(TrimFullWidth(kFullSpace + "\x83\x40"), "\x83\x40");
}

TEST(TrimFullWidthTest, LeadByteCutOffAtTheEndIsKept) {
  EXPECT_EQ(TrimFullWidth("a\x81"), "a\x81");
  EXPECT_EQ(TrimFullWidth(kFullSpace + "\x81 "), "\x81");
}

struct IntegerCase {
  const char* Text;
  int Value;
};

TEST(StrToIntTest, AcceptsDecimalAndPrefixedHex) {
  const IntegerCase cases[] = {
      {"0", 0},           {"16", 16},       {"   16", 16},           {"+7", 7},
      {"-7", -7},         {"007", 7},       {"$10", 16},            {"$ff", 255},
      {"x1F", 31},        {"X1f", 31},      {"0x10", 16},           {"0X10", 16},
      {"-$10", -16},      {" +0x10", 16},   {"$00000000010", 16},   {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},             {"0x7FFFFFFF", INT_MAX}, {"-0x80000000", INT_MIN},
  };
  for (const IntegerCase& c : cases) {
    EXPECT_EQ(StrToIntDef(c.Text, -99), c.Value) << c.Text;
    EXPECT_EQ(StrToInt(c.Text), c.Value) << c.Text;
  }
}

TEST(StrToIntTest, RejectsAnythingThatDoesNotParseAsAWhole) {
  const char* const cases[] = {"",     " ",     "+",    "-",          "$",           "0x",   "x",
                               "12a",  "1 2",   "16 ",  "\t16",       "1e3",         "12.0", "0x1G",
                               "$-1",  "- 1",   "--1",  "0b1",        "2147483648",  "-2147483649",
                               "0x80000000",    "-0x80000001",        "99999999999999999999999"};
  for (const char* text : cases) {
    EXPECT_EQ(StrToIntDef(text, -99), -99) << text;
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
  }
}

TEST(StrToIntTest, ErrorNamesTheText) {
  try {
    StrToInt("yes");
    FAIL() << "no error raised";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'yes' は整数ではありません");
  }
}

TEST(SplitDelimitedTest, BlanksAndDelimitersSeparateItems) {
  std::vector<std::string> list{"stale"};
  EXPECT_EQ(SplitDelimited("  1   2\t3  ", ' ', list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(SplitDelimited("1, 2 ,3", ',', list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(SplitDelimited("a b,c", ',', list), 3);
  EXPECT_EQ(SplitDelimited("255,0,0", ' ', list), 1);
  EXPECT_EQ(list, (std::vector<std::string>{"255,0,0"}));
}

TEST(SplitDelimitedTest, DelimitersEncloseEmptyItems) {
  std::vector<std::string> list;
  EXPECT_EQ(SplitDelimited("1,,2", ',', list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"1", "", "2"}));
  EXPECT_EQ(SplitDelimited(",1,", ',', list), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"", "1", ""}));
}

TEST(SplitDelimitedTest, NothingToSplitGivesNoItems) {
  std::vector<std::string> list{"stale"};
  EXPECT_EQ(SplitDelimited("", ' ', list), 0);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(SplitDelimited("   ", ' ', list), 0);
  EXPECT_EQ(SplitDelimited("1 2 3", '\0', list), 0);
}

TEST(StrToColorDefTest, ThreeItemsAreRedGreenBlue) {
  EXPECT_EQ(StrToColorDef("255 0 0", ' '), clRed);
  EXPECT_EQ(StrToColorDef(" 0  128 128 ", ' '), clTeal);
  EXPECT_EQ(StrToColorDef("255,0,0", ','), clRed);
  EXPECT_EQ(StrToColorDef("$FF 0x10 16", ' '), RGB(255, 16, 16));
  // Each component keeps its low 8 bits.
  EXPECT_EQ(StrToColorDef("300 0 0", ' '), RGB(44, 0, 0));
  EXPECT_EQ(StrToColorDef("-1 256 0", ' '), RGB(255, 0, 0));
}

TEST(StrToColorDefTest, OtherItemCountsAreBlack) {
  EXPECT_EQ(StrToColorDef("255,0,0", ' '), clBlack);
  EXPECT_EQ(StrToColorDef("255 255", ' '), clBlack);
  EXPECT_EQ(StrToColorDef("255 255 255 255", ' '), clBlack);
  EXPECT_EQ(StrToColorDef("", ' '), clBlack);
}

TEST(StrToColorDefTest, ItemThatIsNoIntegerRaises) {
  try {
    StrToColorDef("255 red 0", ' ');
    FAIL() << "no error raised";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'red' は整数ではありません");
  }
  EXPECT_THROW(StrToColorDef("1,,2", ','), EConvertError);
}

TEST(ColorToRGBStringTest, WritesWhatStrToColorDefReads) {
  EXPECT_EQ(ColorToRGBString(clBlack), "0 0 0");
  EXPECT_EQ(ColorToRGBString(clTeal), "0 128 128");
  EXPECT_EQ(ColorToRGBString(RGB(1, 2, 255)), "1 2 255");
  for (const TColor color : {clRed, clNavy, RGB(10, 36, 106)})
    EXPECT_EQ(StrToColorDef(ColorToRGBString(color), ' '), color);
}

TEST(ColorToRGBStringTest, ResolvesSystemColours) {
  SetSystemColorResolver([](int index) { return index == 5 ? RGB(1, 2, 3) : clBlack; });
  const std::string window = ColorToRGBString(clWindow);
  SetSystemColorResolver(nullptr);
  EXPECT_EQ(window, "1 2 3");
}

}  // namespace

TEST(RepeatString, RepeatsOrGivesNothing) {
  EXPECT_EQ(RepeatString(3, "ab"), "ababab");
  EXPECT_EQ(RepeatString(1, " "), " ");
  EXPECT_EQ(RepeatString(0, "x"), "");
  EXPECT_EQ(RepeatString(-4, "x"), "");
}
