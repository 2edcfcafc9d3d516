// ClickTrackWave: a WAV file, as bytes, of short clicks at known times in silence.
#pragma once

#include <string>
#include <vector>

#include "platform/AudioPlayer.h"

// 16-bit mono PCM at sampleRate; each click is a 10 ms burst of a 2 kHz tone
// starting exactly at its time. Clicks at or after length are left out.
std::string ClickTrackWave(TMillis length, const std::vector<TMillis>& clicks, int sampleRate = 22050);
