// An MP3 without any tag: silent MPEG-1 layer III frames, for tests of the lyrics inside audio files.
#pragma once

#include <string>

// 20 frames of 128 kbit/s at 44.1 kHz, 417 bytes each.
inline std::string SilentMp3() {
  std::string frame = "\xFF\xFB\x90\x00";
  frame.resize(417, '\0');
  std::string mp3;
  for (int i = 0; i < 20; ++i) mp3 += frame;
  return mp3;
}
