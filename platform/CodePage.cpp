// Code page 932 conversions through tables taken once from ICU's converter; UTF-8 through ICU's macros.
#include "platform/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "platform/Exceptions.h"
#include "platform/LeadByte.h"
#include "platform/LookAlikeFolds.h"

namespace {

// ICU's converter for the Windows code page 932 table: JIS X 0208, NEC row
// 13, the NEC-selected and the IBM extensions, the user-defined area.
constexpr const char* kConverterName = "ibm-943_P15A-2003";
constexpr std::uint16_t kNone = kNoAnsiCode;
constexpr char32_t kEscapeBase = 0xF0000;
constexpr char32_t kEscapeLast = 0xFFFFF;
constexpr char16_t kReplacement = 0xFFFD;

// A code is a single byte, or lead byte * 256 + trail byte; no single byte
// is a lead byte, so the two kinds never share a value.
struct TTables {
  std::array<char16_t, 0x10000> ToUnicode;
  std::array<std::uint16_t, 0x10000> FromUnicode;  // indexed by BMP code point
  std::array<std::uint32_t, 0x10000> ToUtf8;      // packed as Utf8OfAnsiCodes says
};

using TConverter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;
using TSet = std::unique_ptr<USet, decltype(&uset_close)>;

void Check(UErrorCode status) {
  if (U_FAILURE(status)) {
    throw EConvertError(std::string("コードページ 932 の変換表を読めません: ") + u_errorName(status));
  }
}

char16_t DecodeOne(UConverter* converter, const char* bytes, int32_t length) {
  UChar out[2];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetToUnicode(converter);
  const int32_t n = ucnv_toUChars(converter, out, 2, bytes, length, &status);
  return U_SUCCESS(status) && n == 1 ? out[0] : kNone;
}

std::uint16_t EncodeOne(UConverter* converter, char16_t c) {
  char out[4];
  UErrorCode status = U_ZERO_ERROR;
  ucnv_resetFromUnicode(converter);
  const int32_t n = ucnv_fromUChars(converter, out, sizeof out, &c, 1, &status);
  if (U_FAILURE(status) || n < 1 || n > 2) return kNone;
  const auto first = static_cast<unsigned char>(out[0]);
  return n == 1 ? first : static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(out[1]));
}

// The UTF-8 bytes of a BMP character that is no surrogate, lowest first,
// with their number in the top byte.
std::uint32_t PackUtf8(char16_t c) {
  uint8_t buffer[U8_MAX_LENGTH];
  std::size_t length = 0;
  U8_APPEND_UNSAFE(buffer, length, c);
  std::uint32_t packed = static_cast<std::uint32_t>(length) << 24;
  for (std::size_t i = 0; i < length; ++i) packed |= static_cast<std::uint32_t>(buffer[i]) << (8 * i);
  return packed;
}

std::unique_ptr<const TTables> BuildTables() {
  UErrorCode status = U_ZERO_ERROR;
  TConverter converter(ucnv_open(kConverterName, &status), &ucnv_close);
  Check(status);
  // Stop at anything undefined instead of substituting, so that the tables
  // only hold real mappings.
  ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFallback(converter.get(), true);
  Check(status);

  auto tables = std::make_unique<TTables>();
  tables->ToUnicode.fill(kNone);
  tables->FromUnicode.fill(kNone);
  // ICU takes this table from IBM's, which swaps the controls 0x1A, 0x1C and
  // 0x7F; Windows keeps the ASCII range as it is.
  for (char16_t c = 0; c < 0x80; ++c) tables->ToUnicode[c] = c;
  for (unsigned first = 0x80; first < 0x100; ++first) {
    if (!IsDBCSLeadByte(static_cast<unsigned char>(first))) {
      const char byte = static_cast<char>(first);
      tables->ToUnicode[first] = DecodeOne(converter.get(), &byte, 1);
      continue;
    }
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      const char pair[2] = {static_cast<char>(first), static_cast<char>(trail)};
      tables->ToUnicode[first << 8 | trail] = DecodeOne(converter.get(), pair, 2);
    }
  }

  TSet set(uset_openEmpty(), &uset_close);
  ucnv_getUnicodeSet(converter.get(), set.get(), UCNV_ROUNDTRIP_AND_FALLBACK_SET, &status);
  Check(status);
  for (int32_t item = 0; item < uset_getItemCount(set.get()); ++item) {
    UChar32 start = 0;
    UChar32 end = 0;
    if (uset_getItem(set.get(), item, &start, &end, nullptr, 0, &status) != 0) continue;  // a string item
    for (UChar32 c = std::max(start, 0x80); c <= end && c <= 0xFFFF; ++c) {
      tables->FromUnicode[static_cast<std::size_t>(c)] = EncodeOne(converter.get(), static_cast<char16_t>(c));
    }
  }
  Check(status);
  for (char16_t c = 0; c < 0x80; ++c) tables->FromUnicode[c] = c;  // as on the way in
  for (const TLookAlikeFold& fold : LookAlikeFolds()) {
    const std::uint16_t code = tables->FromUnicode[fold.To];
    if (code == kNone || tables->ToUnicode[code] != fold.To) Check(U_MISSING_RESOURCE_ERROR);
    tables->FromUnicode[fold.From] = code;
  }
  for (std::size_t code = 0; code < tables->ToUtf8.size(); ++code) {
    tables->ToUtf8[code] = tables->ToUnicode[code] == kNone ? 0 : PackUtf8(tables->ToUnicode[code]);
  }
  return tables;
}

const TTables& Tables() {
  static const std::unique_ptr<const TTables> tables = BuildTables();
  return *tables;
}

// The code of the character that starts at offset i.
std::uint16_t CodeAt(std::string_view ansi, std::size_t i) {
  const auto first = static_cast<unsigned char>(ansi[i]);
  if (!IsDBCSLeadByte(first) || i + 1 == ansi.size()) return first;
  return static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(ansi[i + 1]));
}

std::size_t CodeWidth(std::uint32_t code) { return code > 0xFF ? 2 : 1; }

void AppendCode(std::string& out, std::uint32_t code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c <= 0xFFFF) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    out.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
  }
}

std::string Encode(std::u16string_view text, bool escapes, std::size_t* replaced, std::size_t* folded) {
  const TTables& tables = Tables();
  std::string out;
  out.reserve(text.size() * 2);
  std::size_t misses = 0;
  std::size_t folds = 0;
  for (std::size_t i = 0; i < text.size();) {
    UChar32 c = 0;
    U16_NEXT(text.data(), i, text.size(), c);
    const auto point = static_cast<char32_t>(c);
    std::uint32_t code = kNone;
    if (point <= 0xFFFF) {
      code = tables.FromUnicode[point];
      if (code != kNone && tables.ToUnicode[code] != point) ++folds;
    } else if (escapes && point >= kEscapeBase && point <= kEscapeLast) {
      code = point - kEscapeBase;
    }
    if (code == kNone) {
      ++misses;
      code = '?';
    }
    AppendCode(out, code);
  }
  if (replaced) *replaced = misses;
  if (folded) *folded = folds;
  return out;
}

// The characters of a code page 932 text, a lead byte always taking the
// next byte with it, each handed to append as its one- or two-byte code.
template <class Append>
std::u16string Decode(std::string_view ansi, Append append) {
  std::u16string out;
  out.reserve(ansi.size());
  for (std::size_t i = 0; i < ansi.size();) {
    const std::uint16_t code = CodeAt(ansi, i);
    i += CodeWidth(code);
    append(out, code);
  }
  return out;
}

}  // namespace

std::u16string AnsiToUnicode(std::string_view ansi) {
  const TTables& tables = Tables();
  return Decode(ansi, [&tables](std::u16string& out, std::uint16_t code) {
    const char16_t c = tables.ToUnicode[code];
    out.push_back(c == kNone ? kReplacement : c);
  });
}

std::string UnicodeToAnsi(std::u16string_view text, std::size_t* replaced, std::size_t* folded) {
  return Encode(text, false, replaced, folded);
}

std::size_t FindInvalidAnsi(std::string_view ansi) {
  const TTables& tables = Tables();
  for (std::size_t i = 0; i < ansi.size();) {
    const std::uint16_t code = CodeAt(ansi, i);
    if (tables.ToUnicode[code] == kNone) return i;
    i += CodeWidth(code);
  }
  return std::string_view::npos;
}

bool IsValidAnsi(std::string_view ansi) { return FindInvalidAnsi(ansi) == std::string_view::npos; }

std::u16string AnsiToUnicodeLossless(std::string_view ansi) {
  const TTables& tables = Tables();
  return Decode(ansi, [&tables](std::u16string& out, std::uint16_t code) {
    const char16_t c = tables.ToUnicode[code];
    if (c != kNone && tables.FromUnicode[c] == code)
      out.push_back(c);
    else
      AppendCodePoint(out, kEscapeBase + code);
  });
}

std::string UnicodeToAnsiLossless(std::u16string_view text) { return Encode(text, true, nullptr, nullptr); }

std::u16string Utf8ToUnicode(std::string_view utf8) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    UChar32 c = 0;
    U8_NEXT_OR_FFFD(bytes, i, utf8.size(), c);
    AppendCodePoint(out, static_cast<char32_t>(c));
  }
  return out;
}

std::string UnicodeToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size();) {
    UChar32 c = 0;
    U16_NEXT_OR_FFFD(text.data(), i, text.size(), c);
    uint8_t buffer[U8_MAX_LENGTH];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, c);
    out.append(reinterpret_cast<const char*>(buffer), length);
  }
  return out;
}

std::size_t FindInvalidUtf8(std::string_view utf8) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8.data());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    UChar32 c = 0;
    U8_NEXT(bytes, i, utf8.size(), c);
    if (c < 0) return start;
  }
  return std::string_view::npos;
}

bool IsValidUtf8(std::string_view utf8) { return FindInvalidUtf8(utf8) == std::string_view::npos; }

const std::uint16_t* AnsiCodesOfBmp() { return Tables().FromUnicode.data(); }

bool IsFoldedToAnsi(char16_t c) {
  const TTables& tables = Tables();
  const std::uint16_t code = tables.FromUnicode[c];
  return code != kNone && tables.ToUnicode[code] != c;
}

const std::uint32_t* Utf8OfAnsiCodes() { return Tables().ToUtf8.data(); }
