// TKaraokeUnits: the units read from the line's tags; the colour's end found by a binary search.
#include "app/core/KaraokeUnits.h"

#include <algorithm>

#include "app/core/TimeTags.h"

TKaraokeUnits::TKaraokeUnits(std::string_view line) {
  const TTaggedLine parsed = ParseTaggedLine(line);
  if (parsed.Id || parsed.Tags.empty()) return;
  std::size_t removed = 0;  // tag bytes before the current one
  for (const TTimeTag& tag : parsed.Tags) {
    const std::size_t at = tag.Start - removed;
    removed += tag.Length;
    const TMillis time{tag.Millis};
    // A line tag starts the first unit; a word tag where a unit already starts (right after the line tag) times it.
    if (!FStarts.empty() && FStarts.back() == at) {
      if (tag.Word) FLatestSoFar.back() = FLatestSoFar.size() > 1 ? std::max(FLatestSoFar[FLatestSoFar.size() - 2], time) : time;
      continue;
    }
    if (!tag.Word && !FStarts.empty()) continue;
    FStarts.push_back(at);
    FLatestSoFar.push_back(FLatestSoFar.empty() ? time : std::max(FLatestSoFar.back(), time));
  }
  FLength = line.size() - removed;
  // Text before the first tag that times it is sung with it.
  if (!FStarts.empty()) FStarts.front() = 0;
}

std::size_t TKaraokeUnits::SungBytes(TMillis time) const {
  // The first unit that, itself or one before it, is still to come.
  const auto waiting = std::upper_bound(FLatestSoFar.begin(), FLatestSoFar.end(), time);
  const auto index = static_cast<std::size_t>(waiting - FLatestSoFar.begin());
  return index < FStarts.size() ? FStarts[index] : FLength;
}
