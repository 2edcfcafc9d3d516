// The units of a karaoke line: the split by character kind, the units that tags mark, and where each lies in the line.
#include "app/core/WordUnits.h"

#include <algorithm>

#include "app/core/TimeTags.h"
#include "platform/LeadByte.h"

namespace {

// How a character joins the units around it.
enum class TJoin {
  Blank,       // stays with the unit before, or with none at the line's start
  WithBefore,  // a small kana, a long mark, a (han)dakuten, closing punctuation
  WithAfter,   // an opening bracket
  Word,        // a half-width letter, digit or sign: a run of them is one unit
  Alone,       // any other character is a unit of its own
};

bool IsOneOf(unsigned code, std::initializer_list<unsigned> codes) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

TJoin DoubleByteJoin(unsigned code) {
  if (code == 0x8140) return TJoin::Blank;  // the full-width space
  // ぁぃぅぇぉっゃゅょゎ, ァィゥェォッャュョヮヵヶ, ー and ～.
  if (IsOneOf(code, {0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82C1, 0x82E1, 0x82E3, 0x82E5, 0x82EC, 0x8340, 0x8342,
                     0x8344, 0x8346, 0x8348, 0x8362, 0x8383, 0x8385, 0x8387, 0x838E, 0x8395, 0x8396, 0x815B, 0x8160}))
    return TJoin::WithBefore;
  // 、。，．・？！…‥ and the closing brackets ）〕］｝〉》」』】.
  if (IsOneOf(code, {0x8141, 0x8142, 0x8143, 0x8144, 0x8145, 0x8148, 0x8149, 0x8163, 0x8164, 0x816A, 0x816C, 0x816E,
                     0x8170, 0x8172, 0x8174, 0x8176, 0x8178, 0x817A}))
    return TJoin::WithBefore;
  // The opening brackets （〔［｛〈《「『【.
  if (IsOneOf(code, {0x8169, 0x816B, 0x816D, 0x816F, 0x8171, 0x8173, 0x8175, 0x8177, 0x8179})) return TJoin::WithAfter;
  return TJoin::Alone;
}

TJoin SingleByteJoin(unsigned char c) {
  if (c == ' ' || c == '\t') return TJoin::Blank;
  if (c >= 0x21 && c <= 0x7E) return TJoin::Word;
  if (c == 0xA2) return TJoin::WithAfter;  // ｢
  // ｡｣､･, the small kana ｧ to ｯ, ｰ, ﾞ and ﾟ.
  if (c == 0xA1 || (c >= 0xA3 && c <= 0xA5) || (c >= 0xA7 && c <= 0xB0) || c == 0xDE || c == 0xDF)
    return TJoin::WithBefore;
  return TJoin::Alone;
}

// The tag-free text, and where in it each word tag stands.
struct TTagFree {
  std::string Text;
  std::vector<std::size_t> BytePos;   // the line offset of each byte of Text
  std::vector<std::size_t> WordTags;  // the Text offset of each word tag
};

TTagFree ReadTagFree(std::string_view line, const TTaggedLine& parsed, bool positions) {
  TTagFree free;
  free.Text.reserve(line.size());
  if (positions) free.BytePos.reserve(line.size());
  std::size_t next = 0;
  for (std::size_t i = 0; i < line.size();) {
    if (next < parsed.Tags.size() && parsed.Tags[next].Start == i) {
      if (parsed.Tags[next].Word) free.WordTags.push_back(free.Text.size());
      i += parsed.Tags[next++].Length;
      continue;
    }
    free.Text.push_back(line[i]);
    if (positions) free.BytePos.push_back(i);
    ++i;
  }
  return free;
}

// Adds the unit starts of text [from, to), split by character.
void SplitByCharacter(std::string_view text, std::size_t from, std::size_t to, std::vector<std::size_t>& starts) {
  bool open = false;  // the last unit is an opening bracket waiting for its character
  bool word = false;  // the last unit is a run of half-width letters that goes on
  bool any = false;
  for (std::size_t i = from; i < to;) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool dbcs = IsDBCSLeadByte(c) && i + 1 < to;
    const TJoin join = dbcs ? DoubleByteJoin(c << 8 | static_cast<unsigned char>(text[i + 1])) : SingleByteJoin(c);
    const bool startsUnit = join == TJoin::WithBefore ? !any
                            : join == TJoin::Word     ? !(word || open)
                            : join == TJoin::Blank    ? false
                                                      : !open;
    if (startsUnit) starts.push_back(i);
    any = any || startsUnit;
    // A blank between an opening bracket and its character leaves them together.
    if (join != TJoin::Blank) open = join == TJoin::WithAfter;
    word = join == TJoin::Word;
    i += dbcs ? 2 : 1;
  }
}

bool AllBlank(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (IsDBCSLeadByte(c) && i + 1 < text.size()) {
      if (DoubleByteJoin(c << 8 | static_cast<unsigned char>(text[i + 1])) != TJoin::Blank) return false;
      i += 2;
    } else {
      if (SingleByteJoin(c) != TJoin::Blank) return false;
      ++i;
    }
  }
  return true;
}

TTagSpan SpanOf(const TTimeTag& tag) { return TTagSpan{tag.Start, tag.Length, tag.Millis}; }

}  // namespace

std::optional<long long> TLineUnits::TimeOf(std::size_t index) const {
  if (Units[index].Tag) return Units[index].Tag->Millis;
  if (index == 0 && LineTag) return LineTag->Millis;
  return std::nullopt;
}

std::size_t TLineUnits::IndexAt(std::size_t col) const {
  const auto at = std::upper_bound(Units.begin(), Units.end(), col,
                                   [](std::size_t c, const TWordUnit& unit) { return c < unit.End; });
  return static_cast<std::size_t>(at - Units.begin());
}

std::string TagFreeText(std::string_view line) { return ReadTagFree(line, ParseTaggedLine(line), false).Text; }

std::vector<std::size_t> UnitStarts(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  std::vector<std::size_t> starts;
  if (parsed.Id) return starts;
  const TTagFree free = ReadTagFree(line, parsed, false);
  const std::string_view text = free.Text;
  const std::size_t firstTag = free.WordTags.empty() ? text.size() : free.WordTags.front();
  SplitByCharacter(text, 0, firstTag, starts);
  // Each word tag marks a unit to the next one; tags on the same spot mark one.
  for (std::size_t i = 0; i < free.WordTags.size(); ++i) {
    const std::size_t from = free.WordTags[i];
    const std::size_t to = i + 1 < free.WordTags.size() ? free.WordTags[i + 1] : text.size();
    if (from < to && !AllBlank(text.substr(from, to - from))) starts.push_back(from);
  }
  return starts;
}

TLineUnits UnitsAt(std::string_view line, const std::vector<std::size_t>& starts) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  TLineUnits units;
  if (parsed.LineTagCount > 0) units.LineTag = SpanOf(parsed.Tags.front());
  if (starts.empty()) return units;
  const TTagFree free = ReadTagFree(line, parsed, true);
  std::size_t tag = 0;
  for (std::size_t k = 0; k < starts.size(); ++k) {
    TWordUnit unit;
    unit.Start = free.BytePos[starts[k]];
    const std::size_t last = k + 1 < starts.size() ? starts[k + 1] - 1 : free.Text.size() - 1;
    unit.End = free.BytePos[last] + 1;
    while (tag < parsed.Tags.size() && parsed.Tags[tag].Start + parsed.Tags[tag].Length < unit.Start) ++tag;
    // Of tags one after another, the last is the unit's.
    std::size_t t = tag;
    for (; t < parsed.Tags.size() && parsed.Tags[t].Start < unit.Start; ++t) {
      if (parsed.Tags[t].Word && parsed.Tags[t].Start + parsed.Tags[t].Length == unit.Start)
        unit.Tag = SpanOf(parsed.Tags[t]);
    }
    // A word tag after the text ends the unit: the blanks after it are no one's.
    for (; t < parsed.Tags.size() && parsed.Tags[t].Start < unit.End; ++t) {
      if (parsed.Tags[t].Word) {
        unit.End = parsed.Tags[t].Start;
        break;
      }
    }
    units.Units.push_back(unit);
  }
  const std::size_t end = units.Units.back().End;
  for (const TTimeTag& t : parsed.Tags) {
    if (t.Word && t.Start >= end) units.EndTag = SpanOf(t);
  }
  return units;
}

TLineUnits SplitUnits(std::string_view line) { return UnitsAt(line, UnitStarts(line)); }

bool IsWordTimed(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  return std::any_of(parsed.Tags.begin(), parsed.Tags.end(), [](const TTimeTag& tag) { return tag.Word; });
}
