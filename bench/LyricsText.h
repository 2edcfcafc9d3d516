// A lyrics-like CP932 text of a given size, the same bytes for every run.
#pragma once

#include <cstdio>
#include <random>
#include <string>

// Lines of 10-60 bytes mixing ASCII, half-width katakana, double-byte
// characters, time tags, tabs and full-width spaces, with some blank lines,
// joined by CR LF. The seed is fixed so every run loads the same bytes.
inline std::string GenerateLyrics(std::size_t size) {
  std::mt19937 random(932);
  auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::string text;
  text.reserve(size + 64);
  std::string line;
  while (text.size() < size) {
    line.clear();
    if (below(8) != 0) {
      const std::size_t length = 10 + static_cast<std::size_t>(below(51));
      if (below(2) == 0) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "[%02d:%02d:%02d]", below(10), below(60), below(100));
        line += tag;
      }
      while (line.size() + 2 <= length) {
        switch (below(6)) {
          case 0:
            line += static_cast<char>('a' + below(26));
            break;
          case 1:
            line += static_cast<char>(0xA1 + below(0xDF - 0xA1 + 1));
            break;
          case 2:
            line += '\t';
            break;
          case 3:
            line += "\x81\x40";
            break;
          default: {
            // Leads from the kana and kanji rows; trails avoid 0x7F.
            line += static_cast<char>(below(2) == 0 ? 0x82 + below(4) : 0x88 + below(0x98 - 0x88));
            const int trail = 0x40 + below(0xFC - 0x40);
            line += static_cast<char>(trail == 0x7F ? 0x80 : trail);
            break;
          }
        }
      }
    }
    text += line;
    text += "\r\n";
  }
  return text;
}

