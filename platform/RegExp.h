// TRegExp: the regular-expression object, over ICU's regular expressions on UTF-16 text.
#pragma once

#include <unicode/uversion.h>

#include <memory>
#include <string>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

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

  // The source with matches replaced, scanning left to right; each search
  // resumes after the previous match, and an empty match moves on by one
  // character.
  std::u16string Replace(const std::u16string& source, const std::u16string& replacement);

 private:
  const icu::RegexPattern& Compiled();

  std::u16string FPattern;
  bool FIgnoreCase = false;
  bool FGlobal = false;
  std::unique_ptr<icu::RegexPattern> FCompiled;
};
