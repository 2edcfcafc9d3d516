// The block filters against the regular-expression implementation they replace, whole and cut into blocks.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "app/core/EncodingFilters.h"
#include "app/core/FuncUnit.h"
#include "app/core/LyricTools.h"
#include "app/core/TimeTagFilter.h"
#include "app/core/UselessLineFilter.h"
#include "editor/Ryxstrings.h"
#include "editor/RyxstringsWriter.h"
#include "platform/CodePage.h"
#include "platform/RegExp.h"
#include "tests/TestData.h"

namespace {

// The result of a command and what it counted, or the message of its error.
struct TOutcome {
  std::string Text;
  std::size_t Count = 0;
  std::string Error;
  bool operator==(const TOutcome&) const = default;
};

void PrintTo(const TOutcome& outcome, std::ostream* os) {
  *os << ::testing::PrintToString(outcome.Text) << " count " << outcome.Count << " error \"" << outcome.Error << "\"";
}

// ---- The reference: how the commands were computed before the filters ----

// Marks each match; plane 16 never occurs in the lossless decoding.
constexpr char16_t kMark[] = u"\U0010FFFD";

TOutcome RegexReference(const std::string& text, const std::u16string& pattern, const std::u16string& replacement) {
  TRegExp re;
  re.SetIgnoreCase(true);
  re.SetGlobal(true);
  re.SetPattern(pattern);
  std::u16string marked = re.Replace(AnsiToUnicodeLossless(text), replacement + kMark);
  TOutcome outcome;
  for (std::size_t at; (at = marked.find(kMark)) != std::u16string::npos; ++outcome.Count) marked.erase(at, 2);
  outcome.Text = UnicodeToAnsiLossless(marked);
  return outcome;
}

TOutcome ReferenceTimeTags(const std::string& text) {
  return RegexReference(text, u"\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]", u"");
}

TOutcome ReferenceKaraokeTags(const std::string& text) {
  // Every tag with a character before it on its line, the tags removed before it included.
  return RegexReference(text, u"(?<=.)\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]+", u"");
}

TOutcome ReferenceUselessLines(const std::string& text) {
  auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
  TOutcome outcome;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && !isBreak(text[end])) ++end;
    const std::string line = text.substr(start, end - start);
    if (TrimFullWidth(line).empty()) {
      ++outcome.Count;
    } else {
      outcome.Text.append(line).append("\r\n");
    }
    const bool crLf = end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n';
    start = end < text.size() ? end + (crLf ? 2 : 1) : end;
  }
  return outcome;
}

std::size_t LineOf(const std::string& text, std::size_t offset) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\r' || text[i] == '\n') ++line;
  }
  return line;
}

std::string EncodingError(const std::string& text, std::size_t offset, const std::string& what) {
  return what + " (" + std::to_string(LineOf(text, offset)) + " 行目)。変換しませんでした。";
}

TOutcome ReferenceToUtf8(const std::string& text) {
  const std::size_t bad = FindInvalidAnsi(text);
  if (bad != std::string::npos) return {"", 0, EncodingError(text, bad, "テキストに Shift-JIS でないバイトがあります")};
  return {UnicodeToUtf8(AnsiToUnicode(text)), 0, ""};
}

TOutcome ReferenceToShiftJis(const std::string& text) {
  const std::size_t bad = FindInvalidUtf8(text);
  if (bad != std::string::npos) return {"", 0, EncodingError(text, bad, "テキストが UTF-8 ではありません")};
  std::u16string unicode = Utf8ToUnicode(text);
  if (!unicode.empty() && unicode.front() == u'\uFEFF') unicode.erase(0, 1);
  TOutcome outcome;
  outcome.Text = UnicodeToAnsi(unicode, &outcome.Count);
  return outcome;
}

// ---- The filters, fed whole or in blocks ----

struct TCommand {
  const char* Name;
  std::function<TOutcome(const std::string&)> Reference;
  std::function<std::unique_ptr<TBlockFilter>()> Make;
  std::function<std::size_t(const TBlockFilter&)> Count;
  // The whole-text function of LyricTools.h.
  std::function<TOutcome(const std::string&)> Whole;
};

template <class Filter>
std::size_t RemovedBy(const TBlockFilter& filter) {
  return dynamic_cast<const Filter&>(filter).Removed();
}

template <class Function>
TOutcome Guarded(Function function) {
  try {
    return function();
  } catch (const ETextEncodingError& e) {
    return {"", 0, e.Message()};
  }
}

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"time tags", ReferenceTimeTags,
       [] { return std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::All); }, RemovedBy<TTimeTagFilter>,
       [](const std::string& text) {
         TOutcome outcome;
         outcome.Text = DeleteTimeTags(text, &outcome.Count);
         return outcome;
       }},
      {"karaoke tags", ReferenceKaraokeTags,
       [] { return std::make_unique<TTimeTagFilter>(TTimeTagFilter::TScope::AfterCharacter); },
       RemovedBy<TTimeTagFilter>,
       [](const std::string& text) {
         TOutcome outcome;
         outcome.Text = DeleteKaraokeTags(text, &outcome.Count);
         return outcome;
       }},
      {"useless lines", ReferenceUselessLines, [] { return std::make_unique<TUselessLineFilter>(); },
       RemovedBy<TUselessLineFilter>,
       [](const std::string& text) {
         TOutcome outcome;
         outcome.Text = DeleteUselessLines(text, &outcome.Count);
         return outcome;
       }},
      {"to UTF-8", ReferenceToUtf8, [] { return std::make_unique<TUtf8Encoder>(); },
       [](const TBlockFilter&) { return std::size_t{0}; },
       [](const std::string& text) { return Guarded([&] { return TOutcome{ConvertToUtf8(text), 0, ""}; }); }},
      {"to Shift-JIS", ReferenceToShiftJis, [] { return std::make_unique<TShiftJisEncoder>(); },
       [](const TBlockFilter& filter) { return dynamic_cast<const TShiftJisEncoder&>(filter).Replaced(); },
       [](const std::string& text) {
         return Guarded([&] {
           TOutcome outcome;
           outcome.Text = ConvertToShiftJis(text, &outcome.Count);
           return outcome;
         });
       }},
  };
  return commands;
}

// Feeds text cut at the given ascending offsets.
TOutcome Feed(const TCommand& command, const std::string& text, const std::vector<std::size_t>& cuts) {
  return Guarded([&] {
    const std::unique_ptr<TBlockFilter> filter = command.Make();
    TOutcome outcome;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
      filter->Write(std::string_view(text).substr(from, cut - from), outcome.Text);
      from = cut;
    }
    filter->Write(std::string_view(text).substr(from), outcome.Text);
    filter->Finish(outcome.Text);
    outcome.Count = command.Count(*filter);
    return outcome;
  });
}

// Run as the main window runs it: over the lines of the editor's store into
// a new store, which ends the text at its first NUL byte.
TOutcome FeedStore(const TCommand& command, const std::string& text) {
  return Guarded([&] {
    TRyxStrings source(3);
    source.SetText(text + std::string(2, '\0'));
    const TStoredText taken = source.TakeText();
    TRyxStrings target(4);
    TRyxStringsWriter out(target, taken);
    const std::unique_ptr<TBlockFilter> filter = command.Make();
    FilterText(taken, *filter, out);
    out.Finish();
    return TOutcome{target.GetText(), command.Count(*filter), ""};
  });
}

// Every command gives the reference's result, whole and cut at every single
// offset (or, for longer texts, at random offsets, several per text), and
// over the editor's lines.
void ExpectSameAsReference(const std::string& text, const std::string& label, std::mt19937& random) {
  for (const TCommand& command : Commands()) {
    const TOutcome expected = command.Reference(text);
    ASSERT_EQ(command.Whole(text), expected) << command.Name << " on " << label;
    if (text.size() <= 64) {
      for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        ASSERT_EQ(Feed(command, text, {cut}), expected) << command.Name << " cut at " << cut << " on " << label;
      }
    }
    std::vector<std::size_t> cuts;
    std::uniform_int_distribution<std::size_t> step(1, 1 + text.size() / 3);
    for (std::size_t at = step(random) - 1; at < text.size(); at += step(random)) cuts.push_back(at);
    ASSERT_EQ(Feed(command, text, cuts), expected) << command.Name << " in " << cuts.size() + 1 << " blocks on " << label;
    TOutcome stored = expected;
    if (stored.Error.empty()) stored.Text.resize(std::min(stored.Text.size(), stored.Text.find('\0')));
    ASSERT_EQ(FeedStore(command, text), stored) << command.Name << " over the lines of " << label;
  }
}

// Pieces that meet at the edges of tags, characters and lines.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      "[00:01:00]", "[59:59:99]", "[00:60:00]", "[0:12:34]", "[00:1", "2:3", "4]", "[", "]", "]]", "0", "5", ":",
      "A", " ", "\t", "\r", "\n", "\r\n", std::string(1, '\0'), "\x81", "\x81\x40", "\x81[", "\x82\xA0", "\x85",
      "\xE0", "\xFC", "\xFD", "\x80", "\xFF", "\xA0", "\xB1", "\x87\x90", "\xEF\xBB\xBF", "\xC3\xA9", "\xE3\x81\x82",
      "\xF0\x9F\x98\x80", "\xC0\xAF", "\xED\xA0\x80", "\xE3\x81", "\xE2\x80\x94", "\xEF\xBD\x9E",
  };
  return pieces;
}

TEST(LyricFilters, RandomTextsGiveTheReferenceResultInAnyBlocks) {
  std::mt19937 random(932);
  std::uniform_int_distribution<std::size_t> piece(0, Pieces().size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 500; ++round) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += Pieces()[piece(random)];
    ExpectSameAsReference(text, "round " + std::to_string(round), random);
  }
}

TEST(LyricFilters, EdgeTextsAtEverySplitPoint) {
  std::mt19937 random(1);
  const std::string cases[] = {
      "A[00:01:00]]]]B",       "\x81[00:01:00]",          "\x82\xA0[00:01:00][00:02:00]\n[00:03:00]",
      "A\r\n\r\n \x81\x40 \r\n", "\x81\x40\t\x81\x40\r",   "\x81\r\n \x81",
      "\xEF\xBB\xBF\xEF\xBB\xBF", "A\r\n\xE3\x81\x82\r\xF0\x9F\x98\x80\n\xE3", "\x82\xA0\r\n\x85\x40",
      "]A[00:01:00]",          "A\r[00:01:00]\n[00:02:00]", "[00:01:00][00:01:00]A",
  };
  for (const std::string& text : cases) ExpectSameAsReference(text, ::testing::PrintToString(text), random);
}

TEST(LyricFilters, RealFilesGiveTheReferenceResult) {
  VERSELET_REQUIRE_TESTDATA();
  std::mt19937 random(2);
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(testdata::Dir())) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = testdata::ReadBytes(entry.path());
    ExpectSameAsReference(bytes, entry.path().filename().string(), random);
    // The UTF-8 karaoke files hold their tags only once in Shift-JIS.
    if (IsValidUtf8(bytes)) ExpectSameAsReference(ConvertToShiftJis(bytes), "Shift-JIS of " + entry.path().filename().string(), random);
    ++files;
  }
  EXPECT_GE(files, 20);
}

TEST(LyricFilters, UnwritableCharactersAreNamedWithTheirLines) {
  TShiftJisEncoder encoder;
  std::string out;
  encoder.Write("A\xC3\xA9\r", out);
  encoder.Write("\n\r\n\xF0\x9F\x98", out);
  encoder.Write("\x80\xE3\x81\x82\n", out);
  for (int i = 0; i < 6; ++i) encoder.Write("\xC3\xA9", out);
  encoder.Finish(out);
  EXPECT_EQ(out, "A?\r\n\r\n?\x82\xA0\n??????");
  EXPECT_EQ(encoder.Replaced(), 8u);
  ASSERT_EQ(encoder.Unwritable().size(), TShiftJisEncoder::kKeptUnwritable);
  EXPECT_EQ(encoder.Unwritable()[0].Character, U'\u00E9');
  EXPECT_EQ(encoder.Unwritable()[0].Line, 1u);
  EXPECT_EQ(encoder.Unwritable()[1].Character, U'\U0001F600');
  EXPECT_EQ(encoder.Unwritable()[1].Line, 3u);
  EXPECT_EQ(encoder.Unwritable()[4].Line, 4u);
}

}  // namespace
