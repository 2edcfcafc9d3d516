// Writes the benchmarks' lyrics-like document: verselet-bench-lyrics MEGABYTES FILE.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench/LyricsText.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: verselet-bench-lyrics MEGABYTES FILE\n");
    return 2;
  }
  const std::string text = GenerateLyrics(static_cast<std::size_t>(std::atoi(argv[1])) << 20);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return out ? 0 : 1;
}
