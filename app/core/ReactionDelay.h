// The user's reaction delay from key presses on clicks at known times: the median of the offsets.
#pragma once

#include <optional>
#include <vector>

#include "platform/AudioPlayer.h"

// The clicks of the measurement, in the song it plays.
const std::vector<TMillis>& ReactionClicks();
inline constexpr TMillis kReactionClickSongLength{10500};

// Each press counts for the click nearest before or after it, within half a
// second, and only once per click; the median of those offsets (the mean
// of the middle two for an even count). None when fewer than three presses
// found a click: too few to tell.
std::optional<TMillis> MedianReactionDelay(const std::vector<TMillis>& clicks, const std::vector<TMillis>& presses);
