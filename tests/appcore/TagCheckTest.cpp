// Tests of the time-tag check on hand-made faults and on the real lyrics files.
#include <gtest/gtest.h>

#include "app/TagCheck.h"
#include "tests/TestData.h"

namespace {

using K = TTagProblemKind;
using TFound = std::vector<std::pair<std::size_t, K>>;

TFound Check(std::string_view text) {
  TTagCheckFilter filter;
  filter.Apply(text);
  TFound found;
  for (const TTagProblem& problem : filter.Problems()) {
    EXPECT_FALSE(problem.Message.empty());
    found.emplace_back(problem.Line, problem.Kind);
  }
  return found;
}

TEST(TagCheckTest, FindsEachKindOfProblemOnItsLine) {
  struct TCase {
    std::string text;
    TFound expected;
  };
  const std::vector<TCase> cases = {
      {"[ti:t]\r\n[00:01.00]a\r\n\r\n  \r\n[00:02.00]b<00:02.50>c\r\n", {}},
      {"[00:01.00]a\n[1:2:3]b\n[00:6x.00]c\n[00:61.00]d\n", {{2, K::Malformed}, {3, K::Malformed}, {4, K::Malformed}}},
      {"[00:05.00]a\n[00:04.00]b\n[00:06.00]c\n", {{2, K::Backwards}}},
      {"[00:05.00]a\n[00:05:00]b\n", {{2, K::Duplicate}}},
      // Before its own line's time, and after the next line's.
      {"[00:05.00]a<00:04.00>b\n[00:06.00]c<00:09.00>\n[00:08.00]d\n", {{1, K::WordOutside}, {2, K::WordOutside}}},
      // A word tag may end its line at the next line's time.
      {"[00:01.00]a[00:03.00]\n[00:03.00]b\n", {}},
      {"[00:01.00]a\nplain\n\x81\x40\n[00:02.00]b\n", {{2, K::Untagged}}},
      {"plain\nno tags at all\n", {}},
      {"[offset:+250]\n[offset:-1.5]\n[offset:]\n", {{2, K::OffsetNotNumber}, {3, K::OffsetNotNumber}}},
      // A line sung twice does not take part in the order.
      {"[00:01.00][00:30.00]a\n[00:02.00]b\n[00:30.00]c\n", {{3, K::Duplicate}}},
  };
  for (const TCase& c : cases) EXPECT_EQ(Check(c.text), c.expected) << c.text;
}

TEST(TagCheckTest, CleanRealFilesHaveNoProblems) {
  VERSELET_REQUIRE_TESTDATA();
  for (const char* name : {"real-lrc/navidrome_auld-lang-syne.lrc", "real-lrc/navidrome_auld-lang-syne.elrc.lrc",
                           "real-lrc/lrc2exo_testsong.lrc"}) {
    EXPECT_EQ(Check(testdata::ReadBytes(testdata::Dir() / name)), TFound{}) << name;
  }
}

}  // namespace
