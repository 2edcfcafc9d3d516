// TKanaWidthConverter: ICU's transliterators per character, each result checked against code page 932 and kept.
#include "app/core/KanaWidthConversion.h"

#include <algorithm>
#include <array>

#include "platform/CodePage.h"
#include "platform/LeadByte.h"

namespace {

constexpr unsigned char kVoiced = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoiced = 0xDF;  // ﾟ

const char* TransliteratorId(TKanaWidthTarget target) {
  switch (target) {
    case TKanaWidthTarget::Halfwidth:
      return "Fullwidth-Halfwidth";
    case TKanaWidthTarget::Fullwidth:
      return "Halfwidth-Fullwidth";
    case TKanaWidthTarget::Katakana:
      return "Hiragana-Katakana";
    case TKanaWidthTarget::Hiragana:
      break;
  }
  return "Katakana-Hiragana";
}

bool IsHalfwidthKana(unsigned char b) { return b >= 0xA6 && b <= 0xDD; }

}  // namespace

std::optional<TKanaWidthTarget> KanaWidthTargetNamed(std::string_view name) {
  constexpr std::array<std::pair<std::string_view, TKanaWidthTarget>, 4> kNames{{
      {"halfwidth", TKanaWidthTarget::Halfwidth},
      {"fullwidth", TKanaWidthTarget::Fullwidth},
      {"katakana", TKanaWidthTarget::Katakana},
      {"hiragana", TKanaWidthTarget::Hiragana},
  }};
  for (const auto& [known, target] : kNames)
    if (name == known) return target;
  return std::nullopt;
}

TKanaWidthConverter::TKanaWidthConverter(TKanaWidthTarget target)
    : FTransliterator(TransliteratorId(target)), FSingles(0x10000) {}

const std::string& TKanaWidthConverter::Of(std::uint32_t key, std::string_view bytes) {
  std::string* known = nullptr;
  if (key <= 0xFFFF) {
    if (FSingles[key]) return *FSingles[key];
    known = &FSingles[key].emplace(bytes);
  } else {
    const auto [at, fresh] = FPairs.try_emplace(key, bytes);
    if (!fresh) return at->second;
    known = &at->second;
  }
  // Only a character that reads back to its own bytes is converted; any other stays as it is.
  const std::u16string unicode = AnsiToUnicode(bytes);
  if (UnicodeToAnsi(unicode) != bytes || unicode.find(u'\uFFFD') != std::u16string::npos) return *known;
  std::size_t missing = 0;
  const std::string converted = UnicodeToAnsi(FTransliterator.Apply(unicode), &missing);
  if (missing == 0) *known = converted;
  return *known;
}

std::size_t TKanaWidthConverter::Convert(std::string_view text, std::string& out) {
  std::size_t changed = 0;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    changed += ConvertLine(text.substr(start, end - start), out);
    if (end < text.size()) out.push_back('\n');
    start = end + 1;
  }
  return changed;
}

std::size_t TKanaWidthConverter::ConvertLine(std::string_view line, std::string& out) {
  ParseTaggedLine(line, FParsed);
  if (FParsed.Id) {
    out.append(line);
    return 0;
  }
  std::size_t changed = 0;
  std::size_t copied = 0;
  for (const TTimeTag& tag : FParsed.Tags) {
    changed += ConvertText(line.substr(copied, tag.Start - copied), out);
    out.append(line.substr(tag.Start, tag.Length));
    copied = tag.Start + tag.Length;
  }
  return changed + ConvertText(line.substr(copied), out);
}

std::size_t TKanaWidthConverter::ConvertText(std::string_view text, std::string& out) {
  std::size_t changed = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20) {  // line breaks and tabs: no transliterator touches them
      out.push_back(text[i++]);
      continue;
    }
    std::size_t length = IsDBCSLeadByte(b) && i + 1 < text.size() ? 2 : 1;
    std::uint32_t key = length == 2 ? (b << 8 | static_cast<unsigned char>(text[i + 1])) : b;
    if (IsHalfwidthKana(b) && i + 1 < text.size()) {
      const auto mark = static_cast<unsigned char>(text[i + 1]);
      if (mark == kVoiced || mark == kSemiVoiced) {
        key = 0x10000 | b << 8 | mark;
        length = 2;
      }
    }
    const std::string_view bytes = text.substr(i, length);
    const std::string& converted = Of(key, bytes);
    if (converted != bytes) ++changed;
    out.append(converted);
    i += length;
  }
  return changed;
}

void TKanaWidthFilter::Line(std::size_t, std::string_view line, std::string& out) {
  const std::size_t start = out.size();
  const std::size_t changed = FConverter.ConvertLine(line, out);
  FChanged += changed;
  if (changed == 0 || FHalfCount < 1) return;
  FRowsBefore += CountPlayerRows(line, FHalfCount);
  FRowsAfter += CountPlayerRows(std::string_view(out).substr(start), FHalfCount);
}
