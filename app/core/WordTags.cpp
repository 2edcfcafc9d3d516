// Word tags written into a line: each action is one contiguous edit of the line's bytes.
#include "app/core/WordTags.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// A tag of the line written again with a new time, in its own form.
std::string Retimed(std::string_view line, const TTagSpan& span, TMillis time) {
  const TTaggedLine parsed = ParseTaggedLine(line.substr(span.Start, span.Length));
  std::string text;
  AppendTimeTag(text, parsed.Tags.front(), std::max<long long>(0, time.count()));
  return text;
}

std::string NewWordTag(const TWordFormat& format, TMillis time) {
  std::string text;
  AppendTimeTag(text, format.WordForm, std::max<long long>(0, time.count()));
  return text;
}

// One edit made of several, rising and apart: the bytes between them kept.
TLineEdit Merged(std::string_view line, const std::vector<TLineEdit>& pieces) {
  TLineEdit edit{pieces.front().Start, 0, {}};
  std::size_t at = edit.Start;
  for (const TLineEdit& piece : pieces) {
    edit.Text.append(line.substr(at, piece.Start - at)).append(piece.Text);
    at = piece.Start + piece.Length;
  }
  edit.Length = at - edit.Start;
  return edit;
}

}  // namespace

TWordFormat WordFormatOf(std::string_view fileName, std::string_view sampleLine) {
  const TTaggedLine parsed = ParseTaggedLine(sampleLine);
  const auto word = std::find_if(parsed.Tags.begin(), parsed.Tags.end(), [](const TTimeTag& tag) { return tag.Word; });
  TWordFormat format;
  format.Inline = word != parsed.Tags.end() ? !word->Angle : EndsWithNoCase(fileName, ".kra");
  format.LineForm = format.Inline ? TTagForm{':', 2} : TTagForm{'.', 2};
  if (parsed.LineTagCount > 0) format.LineForm = {parsed.Tags.front().Separator, parsed.Tags.front().FractionDigits};
  if (word != parsed.Tags.end()) {
    format.WordForm = *word;
  } else {
    format.WordForm.Angle = !format.Inline;
    format.WordForm.Separator = format.Inline ? format.LineForm.Separator : '.';
    format.WordForm.FractionDigits = format.LineForm.FractionDigits;
  }
  format.WordForm.MinuteDigits = 2;
  return format;
}

TLineEdit UnitStampEdit(std::string_view line, const TLineUnits& units, std::size_t index, TMillis time,
                        const TWordFormat& format) {
  const TWordUnit& unit = units.Units[index];
  std::vector<TLineEdit> pieces;
  if (index == 0) {
    if (units.LineTag)
      pieces.push_back({units.LineTag->Start, units.LineTag->Length, Retimed(line, *units.LineTag, time)});
    else
      pieces.push_back({0, 0, FormatLineTag(time, format.LineForm)});
  }
  if (unit.Tag)
    pieces.push_back({unit.Tag->Start, unit.Tag->Length, Retimed(line, *unit.Tag, time)});
  else if (index > 0 || !format.Inline)
    pieces.push_back({unit.Start, 0, NewWordTag(format, time)});
  return Merged(line, pieces);
}

std::optional<TLineEdit> UnitEndEdit(std::string_view line, const TLineUnits& units, TMillis time,
                                     const TWordFormat& format) {
  if (units.Units.empty()) return std::nullopt;
  if (units.EndTag) return TLineEdit{units.EndTag->Start, units.EndTag->Length, Retimed(line, *units.EndTag, time)};
  return TLineEdit{line.size(), 0, NewWordTag(format, time)};
}

std::optional<TLineEdit> UnitRemoveEdit(const TLineUnits& units, std::size_t index) {
  const TWordUnit& unit = units.Units[index];
  if (unit.Tag) return TLineEdit{unit.Tag->Start, unit.Tag->Length, {}};
  if (index == 0 && units.LineTag) return TLineEdit{units.LineTag->Start, units.LineTag->Length, {}};
  return std::nullopt;
}

std::optional<TLineEdit> UnitJoinEdit(const TLineUnits& units, std::size_t index) {
  if (index + 1 >= units.Units.size()) return std::nullopt;
  const TWordUnit& next = units.Units[index + 1];
  if (!next.Tag) return std::nullopt;
  return TLineEdit{next.Tag->Start, next.Tag->Length, {}};
}
