// The word tag tools as line filters: each line read once, a timed line held only until the next line's time.
#include "app/core/WordTagTools.h"

#include <algorithm>

#include "app/core/WordUnits.h"

void TWordTagsToLineTagsFilter::Line(std::size_t, std::string_view line, std::string& out) {
  ParseTaggedLine(line, FParsed);
  const auto first =
      std::find_if(FParsed.Tags.begin(), FParsed.Tags.end(), [](const TTimeTag& tag) { return tag.Word; });
  if (first == FParsed.Tags.end()) {
    out.append(line);
    return;
  }
  ++FLines;
  if (FParsed.LineTagCount == 0) {
    TTimeTag form = *first;
    form.Angle = false;
    AppendTimeTag(out, form, first->Millis);
  }
  std::size_t at = 0;
  for (const TTimeTag& tag : FParsed.Tags) {
    if (!tag.Word) continue;
    out.append(line.substr(at, tag.Start - at));
    at = tag.Start + tag.Length;
  }
  out.append(line.substr(at));
}

void TSpreadWordTagsFilter::SplitLine(std::size_t, std::string_view line, std::string_view lineBreak,
                                      std::string& out) {
  ParseTaggedLine(line, FParsed);
  const bool timed = !FParsed.Id && FParsed.LineTagCount > 0;
  if (!timed && FHeldTime) {
    FAfter.append(line).append(lineBreak);
    return;
  }
  if (timed) Release(FParsed.Tags.front().Millis, out);
  const bool wordTimed =
      std::any_of(FParsed.Tags.begin(), FParsed.Tags.end(), [](const TTimeTag& tag) { return tag.Word; });
  if (timed && FParsed.LineTagCount == 1 && !wordTimed) {
    FHeldTime = FParsed.Tags.front().Millis;
    FHeldLine.assign(line);
    FHeldBreak.assign(lineBreak);
    return;
  }
  out.append(line).append(lineBreak);
}

void TSpreadWordTagsFilter::End(std::string& out) { Release(std::nullopt, out); }

void TSpreadWordTagsFilter::Release(std::optional<long long> next, std::string& out) {
  if (!FHeldTime) return;
  const long long from = *FHeldTime;
  const TLineUnits units = SplitUnits(FHeldLine);
  if (next && *next > from && !units.Units.empty()) {
    ++FLines;
    const auto count = static_cast<long long>(units.Units.size());
    std::size_t at = 0;
    for (std::size_t i = 0; i < units.Units.size(); ++i) {
      const std::size_t start = units.Units[i].Start;
      out.append(FHeldLine, at, start - at);
      at = start;
      // In the inline form the line tag times the first unit.
      if (i == 0 && FFormat.Inline) continue;
      AppendTimeTag(out, FFormat.WordForm, from + (*next - from) * static_cast<long long>(i) / count);
    }
    out.append(FHeldLine, at);
  } else {
    out.append(FHeldLine);
  }
  out.append(FHeldBreak).append(FAfter);
  FHeldTime.reset();
  FAfter.clear();
}
