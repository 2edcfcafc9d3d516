// TTextSearch: finding and replacing a pattern in Shift-JIS text, character by character.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/BytePattern.h"
#include "platform/RegExp.h"

struct TSearchOptions {
  // What the user typed, as UTF-16.
  std::u16string Pattern;
  bool RegularExpression = false;
  bool MatchCase = false;
  // Half-width and full-width forms match each other (ｶﾞ = ガ, Ａ = A).
  bool IgnoreWidth = false;
  bool operator==(const TSearchOptions&) const = default;
};

// A match as byte offsets [Start, End) into the Shift-JIS text.
struct TTextMatch {
  std::size_t Start = 0;
  std::size_t End = 0;
  bool operator==(const TTextMatch&) const = default;
};

struct TFoundMatch {
  TTextMatch Match;
  // The search went past the end (or, backwards, the start) and went on from the other end.
  bool Wrapped = false;
};

// The text is matched as characters, never as bytes: a match starts and ends
// on character boundaries, so "[" never finds the trail byte of "ー" (0x81
// 0x5B). Bytes that are no character keep a private code of their own and
// are written back unchanged. "^" and "$" match at line starts and ends.
// A pattern that does not compile raises EConvertError on first use. Each
// search of a text or line has a time limit: a pattern that backtracks
// without end raises ERegExpTimeOut instead of holding the window.
class TTextSearch {
 public:
  explicit TTextSearch(const TSearchOptions& options);

  // Whether a match may take in a line break or depend on where the whole
  // text starts or ends ("\n", "\s", "[^a]", "\A"...), so that the text
  // cannot be searched one line at a time. Plain text does only when it holds a CR or LF.
  bool SpansLines() const { return FSpansLines; }
  // Asked now and then during a long search; false stops it with EAbort.
  void SetInterrupt(std::function<bool()> goOn) { FRegExp.SetInterrupt(std::move(goOn)); }
  // Units of the engine's backtracking (about milliseconds) one search may take; the default suits a command.
  void SetTimeLimit(int units) { FRegExp.SetTimeLimit(units); }
  // False when text cannot hold a match: a plain pattern's bytes (ASCII
  // letters in either case) are not in it. A cheap look before the search.
  bool MayMatch(std::string_view text) const {
    return FBytePattern.Empty() || FBytePattern.Find(text) != std::string_view::npos;
  }
  // The bytes MayMatch looks for; empty when no byte look is possible.
  const TBytePattern& BytePattern() const { return FBytePattern; }
  // Every match in text, as byte offsets; with a replacement, each carries
  // its expansion (UTF-16, private codes for bytes that are no character).
  std::vector<TRegExpMatch> Matches(std::string_view text, const std::u16string* replacement = nullptr);
  // The replacement's bytes as they go into the text.
  static std::string Bytes(const std::u16string& replacement);

  // The nearest match after the selection [selStart, selEnd) (forward) or
  // before it (backward), wrapping round the text once; an empty match that
  // is the selection itself is passed over. Nothing when there is no match.
  std::optional<TFoundMatch> FindNext(const std::string& text, std::size_t selStart, std::size_t selEnd, bool forward);
  // The replacement bytes when [match] is exactly one match of the pattern
  // in text, else nothing. The replacement's "$1" and the like refer to the
  // match's groups in regular-expression mode and are literal otherwise.
  std::optional<std::string> ReplacementFor(const std::string& text, const TTextMatch& match,
                                            const std::u16string& replacement);
  // The text with every match replaced; count receives their number.
  std::string ReplaceAll(const std::string& text, const std::u16string& replacement, std::size_t& count);

 private:
  // The text as UTF-16 (folded when widths are ignored) with the byte
  // offset of every unit and of the end. A folded text keeps the unfolded
  // one, and for each unit and the end the index of its unfolded unit, so
  // that a replacement takes the real text of the groups.
  struct TDecoded {
    std::u16string Units;
    std::vector<std::size_t> ByteAt;
    std::u16string Unfolded;
    std::vector<std::size_t> UnfoldedIndex;
  };
  TDecoded Decode(std::string_view text) const;
  std::u16string LiteralReplacement(const std::u16string& replacement) const;

  bool FRegularExpression;
  bool FIgnoreWidth;
  bool FSpansLines;
  TBytePattern FBytePattern;
  TRegExp FRegExp;
};
