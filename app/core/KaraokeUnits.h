// TKaraokeUnits: a lyrics line's units as a karaoke player colours them, each from its tag's time on.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/AudioPlayer.h"

// A word tag starts a unit of the line's tag-free text (the text the player
// shows, TPlayerLayout::Text) at the tag's time; the text before the first
// word tag is a unit of the line tag's time, and a line without word tags
// is one unit. Units are coloured in the order they stand: a unit whose
// time has not come stops the colour, also when a later unit's tag (out of
// order) holds an earlier time.
class TKaraokeUnits {
 public:
  explicit TKaraokeUnits(std::string_view line);
  // The bytes of the tag-free text, from its start, that are coloured at time.
  std::size_t SungBytes(TMillis time) const;
  std::size_t Units() const { return FStarts.size(); }

 private:
  // Where each unit starts in the tag-free text, and the latest time of it and every unit before it.
  std::vector<std::size_t> FStarts;
  std::vector<TMillis> FLatestSoFar;
  std::size_t FLength = 0;
};
