// TRegExp: the regular-expression object, over ICU's regular expressions on UTF-16 text.
#pragma once

#include <unicode/unistr.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"

U_NAMESPACE_BEGIN
class RegexMatcher;
class RegexPattern;
U_NAMESPACE_END

// A search that ran past its time limit; it found nothing and changed nothing.
class ERegExpTimeOut : public Exception {
 public:
  ERegExpTimeOut() : Exception("検索に時間がかかりすぎたため中止しました") {}
};

// One match of a pattern: [Start, End) in UTF-16 units of the source, and
// the replacement string expanded for it when one was asked for.
struct TRegExpMatch {
  std::size_t Start = 0;
  std::size_t End = 0;
  std::u16string Replacement;
};

// The text that "$&", "$1" and the like put in a replacement for the span
// [start, end) of the source.
using TRegExpSpanText = std::function<std::u16string(std::size_t start, std::size_t end)>;

// Matching follows the script engines' conventions the lyric tools were
// written for: "." matches any character except a line feed (a CR is
// matched), and Replace understands "$1" to "$99", "$&", "$`", "$'" and "$$"
// in the replacement, taking everything else literally. The pattern is
// compiled on first use after a change; a pattern that does not compile
// raises EConvertError.
class TRegExp {
 public:
  TRegExp();
  TRegExp(const TRegExp&) = delete;
  TRegExp& operator=(const TRegExp&) = delete;
  ~TRegExp();

  const std::u16string& Pattern() const { return FPattern; }
  void SetPattern(const std::u16string& pattern);
  bool IgnoreCase() const { return FIgnoreCase; }
  void SetIgnoreCase(bool ignoreCase);
  // Replace every match instead of the first only.
  bool Global() const { return FGlobal; }
  void SetGlobal(bool global) { FGlobal = global; }
  // Text mode for an editor's search: "^" and "$" match at every line
  // start and end, CR LF counts as one line end, and "." matches neither.
  bool EditorLines() const { return FEditorLines; }
  void SetEditorLines(bool editorLines);
  // Each call of Matches gives up with ERegExpTimeOut after about this many
  // units of the engine's backtracking (roughly milliseconds each); 0 sets
  // no limit. A pattern such as "(a+)+$" otherwise takes years on a line
  // of forty "a"s and a "b".
  int TimeLimit() const { return FTimeLimit; }
  void SetTimeLimit(int units);
  // Asked now and then during a long call of Matches; false stops it with EAbort.
  void SetInterrupt(std::function<bool()> goOn) { FInterrupt.GoOn = std::move(goOn); }

  // The source with matches replaced, scanning left to right; each search
  // resumes after the previous match, and an empty match moves on by one
  // character.
  std::u16string Replace(const std::u16string& source, const std::u16string& replacement);
  // Every match from left to right, found as Replace finds them (Global or
  // not); with a replacement, each match carries its expansion. spanText,
  // when given, supplies the text of matched spans instead of the source
  // itself (for a source that is a folded copy of the real text).
  std::vector<TRegExpMatch> Matches(const std::u16string& source, const std::u16string* replacement,
                                    const TRegExpSpanText& spanText = {});

 private:
  void Forget();
  const icu::RegexPattern& Compiled();
  // The matcher of the compiled pattern, set to search source.
  icu::RegexMatcher& MatcherFor(const std::u16string& source);

  std::u16string FPattern;
  bool FIgnoreCase = false;
  bool FGlobal = false;
  bool FEditorLines = false;
  int FTimeLimit = 0;
  // What ICU's callbacks ask; they are called for every place a search
  // tries, so the interrupt is asked only every so many calls.
  struct TInterrupt {
    std::function<bool()> GoOn;
    unsigned Calls = 0;
  };
  TInterrupt FInterrupt;
  std::unique_ptr<icu::RegexPattern> FCompiled;
  // Kept from call to call: making a matcher costs more than searching a short line.
  std::unique_ptr<icu::RegexMatcher> FMatcher;
  icu::UnicodeString FInput;
};
