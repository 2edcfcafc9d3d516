// TTransliterator: one of ICU's transliterators (width and kana conversions) on UTF-16 text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

class TTransliterator {
 public:
  // id names a system transliterator, such as "Fullwidth-Halfwidth" or
  // "Hiragana-Katakana". Raises EConvertError when ICU has no such one.
  explicit TTransliterator(const char* id);
  ~TTransliterator();
  TTransliterator(const TTransliterator&) = delete;
  TTransliterator& operator=(const TTransliterator&) = delete;

  std::u16string Apply(std::u16string_view text) const;

 private:
  std::unique_ptr<icu::Transliterator> FTransliterator;
};
