// Tests of the time-tag check on hand-made faults and on the real lyrics files.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "app/core/FuncUnit.h"
#include "app/core/TagCheck.h"
#include "app/core/WordUnits.h"
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
      // Word tags going back in their line, and a unit left without a time in a line timed by words.
      {"[00:05.00]<00:05.00>a<00:07.00>b<00:06.00>c\n", {{1, K::WordBackwards}}},
      {"[00:05.00]ab cd<00:06.00>ef<00:07.00>\n[00:08.00]g\n", {{1, K::UntimedUnit}}},
      {"[00:05.00]ab cd\n[00:08:00]g[00:09:00]h\n", {}},
      {"[00:05.00]ab cd<00:07.00>\n[00:08.00]g\n", {}},  // only an end tag: timed by lines
      // A word tag may end its line at the next line's time.
      {"[00:01.00]a[00:03.00]\n[00:03.00]b\n", {}},
      {"[00:01.00]a\nplain\n\x81\x40\n[00:02.00]b\n", {{2, K::Untagged}}},
      // The metadata lines of a karaoke file are ID lines.
      {"@Title=t\r\n[00:01:00]a\r\n@Artist=x\r\n[00:02:00]b\r\n@TimeRatio=1", {}},
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

// The check as a plain model: every problem of the whole text first, then
// ordered by line and, within a line, its own problems, the word tags that
// pass the next line's time, "untagged", and its duplicate times by time.
TFound Model(const std::vector<std::string>& lines) {
  std::vector<TTaggedLine> parsed;
  bool tagged = false;
  for (const std::string& line : lines) {
    parsed.push_back(ParseTaggedLine(line));
    tagged = tagged || (!parsed.back().Id && parsed.back().LineTagCount > 0);
  }
  std::vector<TFound> own(lines.size()), late(lines.size()), untagged(lines.size());
  std::vector<std::vector<std::pair<long long, K>>> duplicates(lines.size());
  std::map<long long, std::size_t> firstLine;
  std::optional<std::size_t> previous;  // the last line timed by one tag
  std::optional<std::size_t> waiting;   // the same, unless a line sung twice came after it
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const TTaggedLine& p = parsed[n];
    for (std::size_t b = 0; b < p.Bad.size(); ++b) own[n].emplace_back(n + 1, K::Malformed);
    if (p.Id) {
      const std::string value(p.Id->Value);
      const bool number = !value.empty() && value.find_first_not_of("+-0123456789") == std::string::npos &&
                          value.find_first_of("0123456789") != std::string::npos &&
                          value.find_first_of("+-", 1) == std::string::npos;
      if (p.Id->Key == "offset" && !number) own[n].emplace_back(n + 1, K::OffsetNotNumber);
      continue;
    }
    if (p.LineTagCount == 0) {
      if (p.Bad.empty() && !TrimFullWidth(lines[n]).empty() && tagged) untagged[n].emplace_back(n + 1, K::Untagged);
      continue;
    }
    for (std::size_t t = 0; t < p.LineTagCount; ++t) {
      const auto [first, fresh] = firstLine.try_emplace(p.Tags[t].Millis, n);
      if (!fresh) duplicates[n].emplace_back(p.Tags[t].Millis, K::Duplicate);
    }
    if (p.LineTagCount > 1) {
      waiting.reset();
      continue;
    }
    const long long start = p.Tags.front().Millis;
    const bool forward = !previous || start >= parsed[*previous].Tags.front().Millis;
    if (!forward) own[n].emplace_back(n + 1, K::Backwards);
    if (waiting && forward) {
      const TTaggedLine& before = parsed[*waiting];
      for (const TTimeTag& tag : before.Tags)
        if (tag.Word && tag.Millis >= before.Tags.front().Millis && tag.Millis > start)
          late[*waiting].emplace_back(*waiting + 1, K::WordOutside);
    }
    for (const TTimeTag& tag : p.Tags)
      if (tag.Word && tag.Millis < start) own[n].emplace_back(n + 1, K::WordOutside);
    std::optional<long long> lastWord;
    for (const TTimeTag& tag : p.Tags) {
      if (!tag.Word) continue;
      if (lastWord && tag.Millis < *lastWord) own[n].emplace_back(n + 1, K::WordBackwards);
      lastWord = tag.Millis;
    }
    const TLineUnits units = SplitUnits(lines[n]);
    if (std::any_of(units.Units.begin(), units.Units.end(), [](const TWordUnit& u) { return u.Tag.has_value(); })) {
      for (std::size_t i = 0; i < units.Units.size(); ++i)
        if (!units.Timed(i)) own[n].emplace_back(n + 1, K::UntimedUnit);
    }
    previous = waiting = n;
  }
  TFound found;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::stable_sort(duplicates[n].begin(), duplicates[n].end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const TFound* part : {&own[n], &late[n], &untagged[n]}) found.insert(found.end(), part->begin(), part->end());
    for (const auto& duplicate : duplicates[n]) found.emplace_back(n + 1, duplicate.second);
  }
  return found;
}

// Random lyrics of line, word and ID tags, malformed tags, lines sung
// twice, blank and untagged lines: the problems come as the model orders
// them, and a problem is reported once the line that decides it has been
// read, not at the end.
TEST(TagCheckTest, RandomTextsReportTheModelsProblemsAsSoonAsTheyAreDecided) {
  const std::vector<std::string> kinds = {
      "[00:0%d.00]a",       "[00:0%d.50]a<00:0%d.20>b<00:0%d.90>", "[00:0%d.00][00:0%d.00]c",
      "plain",              "",                                   " \x81\x40 ",
      "[ti:x]",             "[offset:1.5]",                       "[offset:-20]",
      "[1:2:3]z",           "<00:0%d.00>w",                        "\x81[00:0%d.00]trail",
      "[00:0%d.00]a b<00:0%d.50>c",
  };
  std::mt19937 random(1414);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines;
    std::string text;
    for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n) {
      std::string line = kinds[random() % kinds.size()];
      for (std::size_t at; (at = line.find("%d")) != std::string::npos;)
        line.replace(at, 2, std::to_string(random() % 10));
      lines.push_back(line);
      text += line + "\r\n";
    }
    SCOPED_TRACE(text);
    TFound reported;
    std::vector<std::size_t> readWhenReported;
    std::size_t read = 0;
    TTagChecker checker([&](const TTagProblem& problem) {
      reported.emplace_back(problem.Line, problem.Kind);
      readWhenReported.push_back(read);
    });
    for (const std::string& line : lines) checker.AddLine(++read, line);
    const std::size_t beforeEnd = reported.size();
    const std::size_t count = checker.Finish();
    EXPECT_EQ(count, reported.size());
    EXPECT_EQ(reported, Model(lines));
    // Of a text whose lines are all timed by one tag with no word tags, nothing waits for the end.
    const bool plain = std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
      const TTaggedLine p = ParseTaggedLine(line);
      return !p.Id && p.LineTagCount == 1 && p.Tags.size() == 1;
    });
    if (!plain) continue;
    EXPECT_EQ(beforeEnd, reported.size());
    for (std::size_t i = 0; i < reported.size(); ++i) EXPECT_EQ(readWhenReported[i], reported[i].first);
  }
}

// Rising times, times going back, repeats, whole hundredths on both sides
// of an hour and times beyond 32 bits, against a plain map.
TEST(TagCheckTest, TheFirstLineOfEachTimeIsFoundHoweverTheTimesCome) {
  std::mt19937 random(20261209);
  TFirstLineOfTime table;
  std::map<long long, std::size_t> model;
  long long rising = 0;
  for (std::size_t line = 1; line <= 200000; ++line) {
    long long millis = 0;
    switch (random() % 10) {
      case 0:
        millis = static_cast<long long>(random() % 100000);  // back, often seen before
        break;
      case 8:
        millis = 3600000 + 10 * (static_cast<long long>(random() % 200) - 100);
        break;
      case 9:
        millis = 10 * static_cast<long long>(random() % 100000);
        break;
      case 1:
        millis = rising;  // the same time again
        break;
      case 2:
        millis = (1LL << 32) + static_cast<long long>(random() % 1000);
        break;
      default:
        millis = rising += static_cast<long long>(random() % 50);
        break;
    }
    const auto [first, fresh] = model.try_emplace(millis, line);
    ASSERT_EQ(table.Find(millis, line), std::make_pair(first->second, fresh)) << "line " << line << ", " << millis;
  }
}

}  // namespace
