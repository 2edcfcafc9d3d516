// The search check: a pattern over a text, found whole and line by line, within the time limit.
#include <string>
#include <vector>

#include "app/core/LineSearch.h"
#include "editor/Ryxstrings.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/LeadByte.h"
#include "tests/fuzz/FuzzChecks.h"

namespace {

// Short, so that a pattern that backtracks without end costs a run little.
constexpr int kTimeLimit = 20;

// Where each character of text starts, by the lead-byte rule, and the end.
std::vector<bool> Boundaries(const std::string& text) {
  std::vector<bool> at(text.size() + 1, false);
  for (std::size_t i = 0; i < text.size();) {
    at[i] = true;
    i += IsDBCSLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  at[text.size()] = true;
  return at;
}

// A line that ends in a lead byte or in a character the regular
// expressions take as a line end (a lone CR or LF, a vertical tab, a form
// feed) is read differently by the whole text: the lead byte takes the
// break's CR as its trail byte, and after the other the whole-text "^" sees
// an empty line before the break that the editor does not.
bool LinesReadAlike(const std::string& text) {
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] != '\r' || text[i + 1] != '\n') continue;
    const char before = text[i - 1];
    if (before == '\r' || before == '\n' || before == '\v' || before == '\f' ||
        IsDBCSLeadByte(static_cast<unsigned char>(before)))
      return false;
  }
  return true;
}

std::string CheckMatches(const std::string& text, const std::vector<TRegExpMatch>& matches) {
  const std::vector<bool> at = Boundaries(text);
  std::size_t last = 0;
  for (const TRegExpMatch& m : matches) {
    if (m.Start > m.End || m.End > text.size() || m.Start < last) return "matches out of order or outside the text";
    if (!at[m.Start] || !at[m.End]) return "a match splits a character at " + std::to_string(m.Start);
    if (m.Start == m.End && m.Start > 0 && text[m.Start - 1] == '\r' && m.Start < text.size() && text[m.Start] == '\n')
      return "an empty match inside a line break";
    last = m.End;
  }
  return {};
}

}  // namespace

std::string CheckSearch(std::string_view input) {
  if (input.empty()) return {};
  const auto flags = static_cast<unsigned char>(input[0]);
  input.remove_prefix(1);
  const std::size_t split = std::min(input.find('\0'), input.size());
  const TSearchOptions options{AnsiToUnicode(std::string(input.substr(0, split))), (flags & 1) != 0,
                               (flags & 2) != 0, (flags & 4) != 0};
  // The store holds no NUL byte but its end marker.
  std::string text(input.substr(std::min(split + 1, input.size())));
  for (char& c : text)
    if (c == '\0') c = ' ';
  const std::u16string replacement = u"<$&$1>";
  try {
    TTextSearch whole(options);
    whole.SetTimeLimit(kTimeLimit);
    std::size_t count = 0;
    const std::string replaced = whole.ReplaceAll(text, replacement, count);
    const std::vector<TRegExpMatch> matches = whole.Matches(text);
    if (std::string fault = CheckMatches(text, matches); !fault.empty()) return fault;
    if (matches.size() != count) return "ReplaceAll counted otherwise than Matches found";
    if (whole.SpansLines() || !LinesReadAlike(text)) return {};

    TRyxStrings rows;
    rows.SetText(text + std::string(2, '\0'));
    TTextSearch byLines(options);
    byLines.SetTimeLimit(kTimeLimit);
    TLineReplacer replacer(byLines, rows, replacement);
    RunWithProgress(byLines, replacer, nullptr);
    std::string joined;
    for (const std::string& piece : replacer.TakePieces()) joined += piece;
    if (replacer.Count() != count) return "the lines hold another number of matches than the whole text";
    if (joined != replaced) return "replaced by lines: " + PrintableBytes(joined) + " whole: " + PrintableBytes(replaced);
    for (const bool forward : {true, false}) {
      const std::size_t from = forward ? 0 : text.size();
      const auto expected = whole.FindNext(text, from, from, forward);
      const TLogicalPos at = forward ? TLogicalPos{} : TLogicalPos{rows.Count() - 1, ContentLength(rows.Get(rows.Count() - 1))};
      TLineFinder finder(byLines, rows, {at, at}, forward);
      RunWithProgress(byLines, finder, nullptr);
      if (finder.Found().has_value() != expected.has_value()) return "Find Next by lines disagrees on whether there is a match";
    }
  } catch (const ERegExpTimeOut&) {
    // Given up in time, as it should be.
  } catch (const EConvertError&) {
    // Not a pattern.
  }
  return {};
}
