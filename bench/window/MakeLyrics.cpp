// Writes the benchmarks' documents: verselet-bench-lyrics MEGABYTES FILE for the
// lyrics-like document, verselet-bench-lyrics long-line FILE for the 5 MB line.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/LongLineText.h"
#include "bench/LyricsText.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: verselet-bench-lyrics MEGABYTES|long-line FILE\n");
    return 2;
  }
  const std::string text = std::string(argv[1]) == "long-line"
                               ? LongLine()
                               : GenerateLyrics(static_cast<std::size_t>(std::atoi(argv[1])) << 20);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return out ? 0 : 1;
}
