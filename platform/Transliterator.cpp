// TTransliterator: ICU's system transliterators behind a UTF-16 string interface.
#include "platform/Transliterator.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include "platform/Exceptions.h"

TTransliterator::TTransliterator(const char* id) {
  UErrorCode status = U_ZERO_ERROR;
  FTransliterator.reset(icu::Transliterator::createInstance(icu::UnicodeString::fromUTF8(id), UTRANS_FORWARD, status));
  if (U_FAILURE(status) || !FTransliterator) {
    throw EConvertError(std::string("文字の変換 ") + id + " を使えません: " + u_errorName(status));
  }
}

TTransliterator::~TTransliterator() = default;

std::u16string TTransliterator::Apply(std::u16string_view text) const {
  icu::UnicodeString unicode(text.data(), static_cast<int32_t>(text.size()));
  FTransliterator->transliterate(unicode);
  return std::u16string(unicode.getBuffer(), static_cast<std::size_t>(unicode.length()));
}
