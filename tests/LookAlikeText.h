// Every character of the look-alike table in one text, and the text it folds to, for the tests of each way text comes in.
#pragma once

#include <string>

#include "platform/LookAlikeFolds.h"

struct TLookAlikeText {
  std::u16string From;
  std::u16string To;
};

inline TLookAlikeText LookAlikeText() {
  TLookAlikeText text;
  for (const TLookAlikeFold& fold : LookAlikeFolds()) {
    text.From.push_back(fold.From);
    text.To.push_back(fold.To);
  }
  return text;
}

// UTF-16 little-endian with its byte-order mark.
inline std::string Utf16LeWithMark(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}
