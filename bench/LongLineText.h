// A 5 MB lyrics-like line without a line break, the same bytes for every run.
#pragma once

#include <cstdio>
#include <random>
#include <string>

inline constexpr std::size_t kLineBytes = 5 * 1024 * 1024;

// Lyrics-like bytes with no line break: ASCII words and time tags, kana and
// kanji, half-width katakana, full-width spaces and a few tabs. Fixed seed.
inline const std::string& LongLine() {
  static const std::string line = [] {
    std::mt19937 random(5);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string text;
    text.reserve(kLineBytes + 16);
    while (text.size() < kLineBytes) {
      switch (below(12)) {
        case 0:
          text += static_cast<char>('a' + below(26));
          break;
        case 1:
          text += static_cast<char>(0xA1 + below(0xDF - 0xA1 + 1));
          break;
        case 2:
          text += below(8) == 0 ? "\t" : " ";
          break;
        case 3:
          text += "\x81\x40";
          break;
        case 4: {
          char tag[16];
          std::snprintf(tag, sizeof tag, "[%02d:%02d:%02d]", below(10), below(60), below(100));
          text += tag;
          break;
        }
        default: {
          text += static_cast<char>(below(2) == 0 ? 0x82 + below(2) : 0x88 + below(0x98 - 0x88));
          const int trail = 0x40 + below(0xFC - 0x40);
          text += static_cast<char>(trail == 0x7F ? 0x80 : trail);
          break;
        }
      }
    }
    return text;
  }();
  return line;
}

