// TRegExp: the regular-expression object, over ICU's regular expressions on UTF-16 text.
#pragma once

#include <unicode/uversion.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

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
  const icu::RegexPattern& Compiled();

  std::u16string FPattern;
  bool FIgnoreCase = false;
  bool FGlobal = false;
  bool FEditorLines = false;
  std::unique_ptr<icu::RegexPattern> FCompiled;
};
