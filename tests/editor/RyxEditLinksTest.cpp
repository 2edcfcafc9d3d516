// The link and tag scan over stored rows, soft-wrapped pieces included (built by hand, so that each cut falls where the case needs it).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "editor/RyxEditLinks.h"
#include "editor/Ryxstrings.h"

// Readable failure messages for run lists.
void PrintTo(const TLinkRun& run, std::ostream* os) {
  *os << "{row " << run.Row << ", " << run.Start << ".." << run.End << "}";
}

namespace {

using namespace std::string_literals;

std::vector<TLinkRun> Scan(const std::vector<std::string>& rows, bool singleByte = false) {
  TRyxStrings lines;
  for (const std::string& row : rows) lines.Add(row);
  return ScanLinkRuns(lines, 0, lines.Count() - 1, singleByte);
}

using Runs = std::vector<TLinkRun>;

TEST(RyxEditLinks, LinkCutBySoftWrapGoesOnToTheFirstTerminator) {
  EXPECT_EQ(Scan({"go http://exa", "mple.com/a b\r\n", "c\0\0"s}), (Runs{{0, 4, 13}, {1, 1, 10}}));
  // Over several pieces of one paragraph.
  EXPECT_EQ(Scan({"x https://ab", "cd", "ef g\0\0"s}), (Runs{{0, 3, 12}, {1, 1, 2}, {2, 1, 2}}));
}

TEST(RyxEditLinks, SchemeSplitByASoftWrapIsFoundWhateverItsCase) {
  EXPECT_EQ(Scan({"x HT", "TP://a.b c\0\0"s}), (Runs{{0, 3, 4}, {1, 1, 8}}));
  EXPECT_EQ(Scan({"MailTo:me@x.jp>y\0\0"s}), (Runs{{0, 1, 14}}));
}

TEST(RyxEditLinks, LineBreakEndsALink) {
  EXPECT_EQ(Scan({"see http://a\r\n", "bcd\0\0"s}), (Runs{{0, 5, 12}}));
}

TEST(RyxEditLinks, Terminators) {
  EXPECT_EQ(Scan({"http://a\x81\x40" "b\0\0"s}), (Runs{{0, 1, 8}}));       // full-width space
  EXPECT_EQ(Scan({"http://\x82\xA0x|y\0\0"s}), (Runs{{0, 1, 10}}));       // double-byte text stays in
  EXPECT_EQ(Scan({"mail:a b\0\0"s}), (Runs{{0, 1, 6}}));
  EXPECT_EQ(Scan({"a\"http://q\"\0\0"s}), (Runs{{0, 3, 10}}));
}

TEST(RyxEditLinks, SchemesNeverStartInsideADoubleByteCharacter) {
  // The trail byte of 0x82 0x68 is an 'h'.
  const std::string row = "\x82\x68ttp://x y\0\0"s;
  EXPECT_TRUE(Scan({row}).empty());
  EXPECT_EQ(Scan({row}, true), (Runs{{0, 2, 9}}));
}

TEST(RyxEditLinks, TagsRunPastTheirDotToATagTerminator) {
  EXPECT_EQ(Scan({"tag:example.com,2000 x\0\0"s}), (Runs{{0, 1, 15}}));
  // The dot comes after a soft wrap: the tag waits for it and then goes on.
  EXPECT_EQ(Scan({"id tag:exam", "ple.org,x\0\0"s}), (Runs{{0, 4, 11}, {1, 1, 7}}));
  // A line break ends the wait.
  EXPECT_EQ(Scan({"tag:exam\r\n", "ple.org,x\0\0"s}), (Runs{{0, 1, 8}}));
}

TEST(RyxEditLinks, ScanStartsAtTheParagraphStart) {
  TRyxStrings lines;
  for (const std::string& row : {"a\r\n"s, "x http://ab"s, "cd"s, "ef g\0\0"s}) lines.Add(row);
  EXPECT_EQ(LinkParagraphStart(lines, 0), 0);
  EXPECT_EQ(LinkParagraphStart(lines, 1), 1);
  EXPECT_EQ(LinkParagraphStart(lines, 3), 1);
  const Runs runs = ScanLinkRuns(lines, LinkParagraphStart(lines, 3), 3, false);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.back(), (TLinkRun{3, 1, 2}));
}

}  // namespace
