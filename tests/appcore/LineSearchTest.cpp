// Tests of the line-by-line search of the store against the whole-text search, and of the tag check over the store.
#include "app/core/LineSearch.h"

#include <gtest/gtest.h>

#include <random>

#include "app/core/TagCheckRun.h"
#include "editor/Ryxstrings.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace {

std::string Sjis(const std::string& utf8) { return UnicodeToAnsi(Utf8ToUnicode(utf8)); }

// A store whose logical lines are cut into rows at random places, as
// wrapping cuts them, in blocks of a few rows to reach the blocks' edges.
struct TCutStore {
  TRyxStrings Rows{3};
  std::string Text;  // the model: the whole text
  std::vector<std::size_t> LineStart;

  TCutStore(const std::vector<std::string>& lines, std::mt19937& random) {
    for (std::size_t n = 0; n < lines.size(); ++n) {
      LineStart.push_back(Text.size());
      const std::string& line = lines[n];
      const bool last = n + 1 == lines.size();
      std::size_t at = 0;
      while (line.size() - at > 1 && random() % 3 == 0) {
        const std::size_t cut = 1 + random() % (line.size() - at - 1);
        Rows.Add(line.substr(at, cut));
        at += cut;
      }
      Rows.Add(line.substr(at) + (last ? std::string(2, '\0') : "\r\n"));
      Text += line + (last ? "" : "\r\n");
    }
  }
  std::size_t Offset(TLogicalPos at) const { return LineStart[static_cast<std::size_t>(at.Line)] + static_cast<std::size_t>(at.Col); }
  TLogicalPos At(std::size_t offset) const {
    const auto line = std::upper_bound(LineStart.begin(), LineStart.end(), offset) - LineStart.begin() - 1;
    return {static_cast<int>(line), static_cast<int>(offset - LineStart[static_cast<std::size_t>(line)])};
  }
};

TEST(LineSearchTest, FindCountAndReplaceByLinesAgreeWithTheWholeText) {
  std::mt19937 random(20261209);
  const std::string pieces[] = {"a", "b", "[", "ab", "\r", Sjis("ー"), Sjis("歌"), "x", "\x81", Sjis("ａ")};
  const std::vector<TSearchOptions> patterns = {
      {u"a", false}, {u"[", false}, {u"ー", false}, {u"AB", false}, {u"Ａ", false}, {u"ー[", false, true}, {u"ab", true}, {u"b*", true}, {u"^", true},
      {u"$", true},  {u"a|^", true}, {u"(a)(b)?", true}, {u"a$", true}, {u"\\[.", true},
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<std::string> lines(1 + random() % 6);
    for (std::string& line : lines)
      for (int i = static_cast<int>(random() % 6); i > 0; --i) line += pieces[random() % std::size(pieces)];
    // A lead byte at a line's end would take the line break's CR as its
    // trail byte; a lone CR there would start a line of its own for the
    // whole-text search's "^", where the editor sees none.
    for (std::string& line : lines)
      if (!line.empty() && (line.back() == '\x81' || line.back() == '\r')) line.back() = 'x';
    TCutStore store(lines, random);
    const TSearchOptions& options = patterns[random() % patterns.size()];
    SCOPED_TRACE(testing::Message() << "round " << round << " pattern " << UnicodeToUtf8(options.Pattern));
    TTextSearch whole(options);
    TTextSearch byLines(options);
    ASSERT_FALSE(byLines.SpansLines());

    const std::vector<TRegExpMatch> all = whole.Matches(store.Text);
    std::size_t a = random() % (store.Text.size() + 1), b = random() % (store.Text.size() + 1);
    if (!all.empty() && random() % 2) std::tie(a, b) = std::pair(all[random() % all.size()].Start, 0);
    if (a > b) std::swap(a, b);
    // Selections start and end on character boundaries, never inside a line break.
    const TLineMatch selection{store.At(a), store.At(b)};
    a = store.Offset(selection.Start);
    b = store.Offset(selection.End);
    for (const bool forward : {true, false}) {
      const auto expected = whole.FindNext(store.Text, a, b, forward);
      TLineFinder finder(byLines, store.Rows, selection, forward);
      RunWithProgress(byLines, finder, nullptr);
      ASSERT_EQ(finder.Found().has_value(), expected.has_value()) << forward;
      if (!expected) continue;
      EXPECT_EQ(finder.Found()->Match, (TLineMatch{store.At(expected->Match.Start), store.At(expected->Match.End)}))
          << forward;
      EXPECT_EQ(finder.Found()->Wrapped, expected->Wrapped) << forward;
    }

    const std::optional<TLineMatch> current =
        all.empty() ? std::nullopt : std::optional(TLineMatch{store.At(all.back().Start), store.At(all.back().End)});
    TMatchCounter counter(byLines, store.Rows, current);
    RunWithProgress(byLines, counter, nullptr);
    EXPECT_EQ(counter.Count(), all.size());
    EXPECT_EQ(counter.CurrentIndex(), all.size());

    std::size_t count = 0;
    const std::string replaced = whole.ReplaceAll(store.Text, u"<$&>", count);
    TLineReplacer replacer(byLines, store.Rows, u"<$&>");
    RunWithProgress(byLines, replacer, nullptr);
    std::string joined;
    for (const std::string& piece : replacer.TakePieces()) joined += piece;
    EXPECT_EQ(joined, replaced);
    EXPECT_EQ(replacer.Count(), count);
  }
}

TEST(LineSearchTest, PatternsThatMayTakeALineBreakSearchTheWholeText) {
  for (const char16_t* pattern : {u"a\\nb", u"\\s", u"[^a]", u"(?s).", u"(?is:x.)", u"\\Aa", u"[[:space:]]", u"\\x0A",
                                  u"\\p{Any}", u"a\\Z", u"\\R", u"\\\r", u"[\\\n]"})
    EXPECT_TRUE(TTextSearch({pattern, true}).SpansLines()) << UnicodeToUtf8(pattern);
  for (const char16_t* pattern : {u"a.b", u"[ab]", u"(?i)a", u"\\[", u"\\d+", u"a$", u"^(x)\\1"})
    EXPECT_FALSE(TTextSearch({pattern, true}).SpansLines()) << UnicodeToUtf8(pattern);
  EXPECT_FALSE(TTextSearch({u"\\n", false}).SpansLines());
  EXPECT_TRUE(TTextSearch({u"a\r", false}).SpansLines());
}

// Stops the work at the given report.
class TStopAt : public TWorkProgress {
 public:
  explicit TStopAt(int report) : FLeft(report) {}
  void Report(std::uint64_t done, std::uint64_t total) override {
    EXPECT_LE(done, total);
    if (--FLeft <= 0) throw EAbort("stopped");
  }
  int Left() const { return FLeft; }

 private:
  int FLeft;
};

TEST(LineSearchTest, ProgressStopsTheWorkAlsoInsideOneSlowLine) {
  TRyxStrings rows;
  // Enough lines for reports between steps.
  std::string text;
  for (int i = 0; i < 60000; ++i) text += "[00:0x.00] broken tag line\r\n";
  rows.SetText(text + std::string(40, 'a') + "b" + std::string(2, '\0'));
  TTextSearch search({u"zzz", false});
  TLineReplacer replacer(search, rows, u"y");
  TStopAt stop(1);
  EXPECT_THROW(RunWithProgress(search, replacer, &stop), EAbort);

  // The engine asks from inside the line of forty "a"s.
  TTextSearch runaway({u"(a+)+$", true});
  TMatchCounter counter(runaway, rows, std::nullopt);
  TStopAt inside(3);
  EXPECT_THROW(RunWithProgress(runaway, counter, &inside), EAbort);
  EXPECT_EQ(inside.Left(), 0);

  // The tag check keeps the first problems and counts them all; a stop raises.
  const TTagCheckResult result = CheckStoredTags(rows, nullptr, 100);
  EXPECT_EQ(result.Shown.size(), 100u);
  EXPECT_EQ(result.Total, 60000u);
  EXPECT_EQ(result.Shown.front().Line, 1u);
  TStopAt tagStop(1);
  EXPECT_THROW(CheckStoredTags(rows, &tagStop), EAbort);
}

}  // namespace
