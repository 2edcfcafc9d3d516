// TBlockFilter: joining the held-back bytes to the next block.
#include "app/core/BlockFilter.h"

void TBlockFilter::Write(std::string_view block, std::string& out) {
  if (FHeld.empty()) {
    FHeld.assign(block.substr(Scan(block, false, out)));
    return;
  }
  // Only a few bytes are ever held back, so joining copies a block at most.
  FJoined.assign(FHeld);
  FJoined.append(block);
  const std::size_t used = Scan(FJoined, false, out);
  FHeld.assign(std::string_view(FJoined).substr(used));
}

void TBlockFilter::Finish(std::string& out) {
  const std::string held = std::move(FHeld);
  FHeld.clear();
  Scan(held, true, out);
}

std::string TBlockFilter::Apply(std::string_view text) {
  // In slices, so that a filter's room for its widest output is reserved
  // for a slice and not for the whole text.
  constexpr std::size_t kSlice = 1 << 20;
  std::string out;
  out.reserve(text.size());
  for (std::size_t from = 0; from < text.size(); from += kSlice) Write(text.substr(from, kSlice), out);
  Finish(out);
  return out;
}
