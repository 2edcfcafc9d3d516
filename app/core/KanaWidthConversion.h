// TKanaWidthConverter: half-width, full-width, katakana and hiragana conversions of code page 932 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/core/LineFilter.h"
#include "app/core/PlayerLayout.h"
#include "app/core/TimeTags.h"
#include "platform/Transliterator.h"

enum class TKanaWidthTarget {
  Halfwidth,  // ASCII letters, digits, signs and spaces, and katakana (ガ becomes ｶﾞ), to half-width
  Fullwidth,  // the reverse (ｶﾞ becomes ガ)
  Katakana,   // hiragana to katakana
  Hiragana,   // katakana, half-width ones too, to hiragana
};

// The target named "halfwidth", "fullwidth", "katakana" or "hiragana", if any.
std::optional<TKanaWidthTarget> KanaWidthTargetNamed(std::string_view name);

// Time tags and ID lines stay as they are: the player does not show them,
// and "［００：１２．３０］" would no longer be a tag. Of the rest each
// character, or a half-width katakana with the voicing mark after it,
// becomes what ICU's transliterator for the target makes of it, when that
// has an exact code page 932 form (or a look-alike of LookAlikeFolds.h);
// otherwise it stays as it is (ヷ, ゔ and ¯ have none), as does every byte
// that is not a code page 932 character. Each character is converted once
// and remembered, so that long texts go at the speed of a table.
class TKanaWidthConverter {
 public:
  explicit TKanaWidthConverter(TKanaWidthTarget target);

  // Appends the text converted to out, line by line (lines end at LF);
  // returns the number of characters changed.
  std::size_t Convert(std::string_view text, std::string& out);
  // The same for one line without its break.
  std::size_t ConvertLine(std::string_view line, std::string& out);

 private:
  // Text without tags.
  std::size_t ConvertText(std::string_view text, std::string& out);
  // The conversion of the character (or pair) of key: a code, or a half-width code * 256 + its voicing mark.
  const std::string& Of(std::uint32_t key, std::string_view bytes);

  TTransliterator FTransliterator;
  std::vector<std::optional<std::string>> FSingles;
  std::unordered_map<std::uint32_t, std::string> FPairs;
  TTaggedLine FParsed;
};

// The converter as a block filter for verselet-tool convert and the
// editor's whole-text conversion. With a row width, it also counts the
// player rows of the lines it changed, before and after.
class TKanaWidthFilter : public TLineFilter {
 public:
  explicit TKanaWidthFilter(TKanaWidthTarget target, int halfCount = 0) : FConverter(target), FHalfCount(halfCount) {}

  std::size_t Changed() const { return FChanged; }
  std::size_t RowsBefore() const { return FRowsBefore; }
  std::size_t RowsAfter() const { return FRowsAfter; }

 protected:
  void Line(std::size_t number, std::string_view line, std::string& out) override;

 private:
  TKanaWidthConverter FConverter;
  const int FHalfCount;
  std::size_t FChanged = 0;
  std::size_t FRowsBefore = 0;
  std::size_t FRowsAfter = 0;
};
