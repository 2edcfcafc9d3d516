// DetectFileEncoding: the byte-order marks, the UTF-8 test and the decoding with CR LF line breaks.
#include "app/core/FileEncoding.h"

#include "platform/CodePage.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

bool HasLongSequence(std::string_view bytes) {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0xE0) return true;
  return false;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  if (i < bytes.size()) text += u'\uFFFD';
  return text;
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

TFileEncoding MarkedEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return TFileEncoding::Utf8;
  if (bytes.starts_with(kUtf16LEBom)) return TFileEncoding::Utf16LE;
  if (bytes.starts_with(kUtf16BEBom)) return TFileEncoding::Utf16BE;
  return TFileEncoding::ShiftJis;
}

TFileEncoding DetectFileEncoding(std::string_view bytes) {
  if (const TFileEncoding marked = MarkedEncoding(bytes); marked != TFileEncoding::ShiftJis) return marked;
  return IsValidUtf8(bytes) && HasLongSequence(bytes) ? TFileEncoding::Utf8 : TFileEncoding::ShiftJis;
}

const char* FileEncodingName(TFileEncoding encoding) {
  switch (encoding) {
    case TFileEncoding::Utf8:
      return "UTF-8";
    case TFileEncoding::Utf16LE:
    case TFileEncoding::Utf16BE:
      return "UTF-16";
    case TFileEncoding::ShiftJis:
      break;
  }
  return "Shift-JIS";
}

std::string DecodeToUtf8(std::string_view bytes, TFileEncoding encoding) {
  switch (encoding) {
    case TFileEncoding::Utf8:
      if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
      return WithCrLf(UnicodeToUtf8(Utf8ToUnicode(bytes)));
    case TFileEncoding::Utf16LE:
    case TFileEncoding::Utf16BE:
      bytes.remove_prefix(std::min<std::size_t>(bytes.size(), 2));
      return WithCrLf(UnicodeToUtf8(DecodeUtf16(bytes, encoding == TFileEncoding::Utf16BE)));
    case TFileEncoding::ShiftJis:
      break;
  }
  return WithCrLf(UnicodeToUtf8(AnsiToUnicode(bytes)));
}
