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

// How a store holds its lines: cut into rows at random places, as wrapping
// cuts them, one cut in CutOneIn tries (0: none); the rows in one buffer one
// after the other, as a loaded file's, but one row in CopyOneIn (1: every
// row, 0: none) in a copy of its own, apart in memory, as an edit leaves it.
struct TStoreShape {
  int BlockLines = 3;
  unsigned CutOneIn = 3;
  unsigned CopyOneIn = 1;
};

struct TCutStore {
  TRyxStrings Rows;
  std::string Text;  // the model: the whole text
  std::vector<std::size_t> LineStart;

  TCutStore(const std::vector<std::string>& lines, std::mt19937& random, TStoreShape shape = {})
      : Rows(shape.BlockLines) {
    std::vector<std::size_t> pieces;
    std::string stored;
    for (std::size_t n = 0; n < lines.size(); ++n) {
      LineStart.push_back(Text.size());
      const std::string& line = lines[n];
      const bool last = n + 1 == lines.size();
      std::size_t at = 0;
      while (shape.CutOneIn > 0 && line.size() - at > 1 && random() % shape.CutOneIn == 0) {
        pieces.push_back(1 + random() % (line.size() - at - 1));
        at += pieces.back();
      }
      pieces.push_back(line.size() - at + 2);
      stored += line + (last ? std::string(2, '\0') : "\r\n");
      Text += line + (last ? "" : "\r\n");
    }
    TByteBuffer buffer(stored.size());
    buffer.Append(stored);
    std::size_t next = 0;
    Rows.AssignPieces(std::move(buffer), [&](std::string_view) { return pieces[next++]; });
    for (int i = 0; i < Rows.Count(); ++i)
      if (shape.CopyOneIn > 0 && random() % shape.CopyOneIn == 0) Rows.Put(i, std::string(Rows.Get(i)));
  }
  std::size_t Offset(TLogicalPos at) const { return LineStart[static_cast<std::size_t>(at.Line)] + static_cast<std::size_t>(at.Col); }
  TLogicalPos At(std::size_t offset) const {
    const auto line = std::upper_bound(LineStart.begin(), LineStart.end(), offset) - LineStart.begin() - 1;
    return {static_cast<int>(line), static_cast<int>(offset - LineStart[static_cast<std::size_t>(line)])};
  }
};

// Runs work in steps of random budgets, small ones too.
void RunInSteps(TLineWork& work, std::mt19937& random) {
  while (!work.Step(1 + random() % 300)) {
  }
}

// Find Next by lines from the selection [a, b) of the whole text, both
// ways, against the whole-text search.
void ExpectFindNextAgrees(const TSearchOptions& options, const TCutStore& store, std::size_t a, std::size_t b,
                          std::mt19937& random) {
  TTextSearch whole(options);
  TTextSearch byLines(options);
  ASSERT_FALSE(byLines.SpansLines());
  // Selections start and end on character boundaries, never inside a line break.
  const TLineMatch selection{store.At(a), store.At(b)};
  a = store.Offset(selection.Start);
  b = store.Offset(selection.End);
  for (const bool forward : {true, false}) {
    const auto expected = whole.FindNext(store.Text, a, b, forward);
    TLineFinder finder(byLines, store.Rows, selection, forward);
    RunInSteps(finder, random);
    ASSERT_EQ(finder.Found().has_value(), expected.has_value()) << forward;
    if (!expected) continue;
    EXPECT_EQ(finder.Found()->Match, (TLineMatch{store.At(expected->Match.Start), store.At(expected->Match.End)}))
        << forward;
    EXPECT_EQ(finder.Found()->Wrapped, expected->Wrapped) << forward;
  }
}

// The count of every match by lines, and the place of the last among
// them, against the whole-text search's matches.
void ExpectCountAgrees(const TSearchOptions& options, const TCutStore& store, const std::vector<TRegExpMatch>& all,
                       std::mt19937& random) {
  TTextSearch byLines(options);
  const std::optional<TLineMatch> current =
      all.empty() ? std::nullopt : std::optional(TLineMatch{store.At(all.back().Start), store.At(all.back().End)});
  TMatchCounter counter(byLines, store.Rows, current);
  RunInSteps(counter, random);
  EXPECT_EQ(counter.Count(), all.size());
  EXPECT_EQ(counter.CurrentIndex(), all.size());
}

TEST(LineSearchTest, FindCountAndReplaceByLinesAgreeWithTheWholeText) {
  std::mt19937 random(20261209);
  const std::string pieces[] = {"a", "b", "[", "ab", "\r", "\n", Sjis("ー"), Sjis("歌"), "x", "\x81", Sjis("ａ")};
  const std::vector<TSearchOptions> patterns = {
      {u"a", false}, {u"[", false}, {u"ー", false}, {u"AB", false}, {u"Ａ", false}, {u"ー[", false, true}, {u"ab", true}, {u"b*", true}, {u"^", true},
      {u"$", true},  {u"a|^", true}, {u"(a)(b)?", true}, {u"a$", true}, {u"\\[.", true},
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<std::string> lines(1 + random() % 6);
    for (std::string& line : lines)
      for (int i = static_cast<int>(random() % 6); i > 0; --i) line += pieces[random() % std::size(pieces)];
    // A lead byte at a line's end would take the line break's CR as its
    // trail byte; a lone CR or LF there would start a line of its own for
    // the whole-text search's "^", where the editor sees none.
    // A CR and an LF side by side inside a line would be a line break.
    for (std::string& line : lines) {
      if (!line.empty() && (line.back() == '\x81' || line.back() == '\r' || line.back() == '\n')) line.back() = 'x';
      for (std::size_t at; (at = line.find("\r\n")) != std::string::npos;) line[at + 1] = 'x';
    }
    const TSearchOptions& options = patterns[random() % patterns.size()];
    SCOPED_TRACE(testing::Message() << "round " << round << " pattern " << UnicodeToUtf8(options.Pattern));
    // Rows apart in memory, in runs, or all in one.
    const TStoreShape shapes[] = {{}, {3, 3, 4}, {3, 3, 0}};
    const TCutStore store(lines, random, shapes[round % 3]);
    TTextSearch whole(options);
    TTextSearch byLines(options);
    const std::vector<TRegExpMatch> all = whole.Matches(store.Text);
    std::size_t a = random() % (store.Text.size() + 1), b = random() % (store.Text.size() + 1);
    if (!all.empty() && random() % 2) std::tie(a, b) = std::pair(all[random() % all.size()].Start, 0);
    if (a > b) std::swap(a, b);
    ExpectFindNextAgrees(options, store, a, b, random);
    ExpectCountAgrees(options, store, all, random);

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

// Texts longer than the runs of rows the look takes at once, the pattern
// planted at the text's ends, at lines about a run's size on, and beside
// trail bytes that look like it but start no character; in stores of one
// buffer, of wrapped rows, and of rows apart in memory.
TEST(LineSearchTest, TheLookOverLongTextsFindsWhatTheWholeTextFinds) {
  struct TCase {
    const char* What;
    TSearchOptions Options;
    std::string Planted;
    std::vector<std::size_t> Lines;  // planted at the start of line 0, at the end of the others
  };
  const std::size_t kLines = 10000;
  const std::size_t last = kLines - 1;
  const TCase cases[] = {
      {"nowhere", {u"verse"}, "", {}},
      {"trail bytes only: ー is 81 5B", {u"[", false, true}, "", {}},
      {"at the text's ends and about a run's size on", {u"Verse"}, "vERSE", {0, 4000, 4100, 8200, last}},
      {"a real bracket beside long vowels", {u"[", false, true}, Sjis("ー[ー"), {5000, last}},
      {"a double-byte character", {u"詞歌", false, true}, Sjis("詞歌"), {7, last}},
  };
  const std::string filler[] = {Sjis("歌詞"), Sjis("ー"), Sjis("　"), "0", " ", "\t", Sjis("ア")};
  std::mt19937 random(932);
  for (const TCase& c : cases) {
    std::vector<std::string> lines(kLines);
    for (std::string& line : lines)
      for (int i = static_cast<int>(random() % 16); i > 0; --i) line += filler[random() % std::size(filler)];
    for (const std::size_t n : c.Lines) lines[n].insert(n == 0 ? 0 : lines[n].size(), c.Planted);
    for (const TStoreShape shape : {TStoreShape{1024, 0, 0}, TStoreShape{16, 2, 0}, TStoreShape{16, 2, 5}}) {
      const TCutStore store(lines, random, shape);
      SCOPED_TRACE(testing::Message() << c.What << ", rows cut one in " << shape.CutOneIn << ", copied one in "
                                      << shape.CopyOneIn);
      ASSERT_GT(store.Text.size(), std::size_t{2} << 16);
      const std::vector<TRegExpMatch> all = TTextSearch(c.Options).Matches(store.Text);
      ExpectCountAgrees(c.Options, store, all, random);
      // From the middle, and from the first and the last match selected.
      ExpectFindNextAgrees(c.Options, store, store.Text.size() / 2, store.Text.size() / 2, random);
      if (all.empty()) continue;
      ExpectFindNextAgrees(c.Options, store, all.front().Start, all.front().End, random);
      ExpectFindNextAgrees(c.Options, store, all.back().Start, all.back().End, random);
    }
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
