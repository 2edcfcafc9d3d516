// Tests of the FuncUnit helpers.
#include "app/FuncUnit.h"

#include <gtest/gtest.h>

namespace {

const std::string kFullSpace = "\x81\x40";

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

}  // namespace
