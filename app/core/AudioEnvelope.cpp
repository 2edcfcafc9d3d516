// TAudioEnvelope: the bucket levels grown as peaks arrive, and a bottom-up walk over them.
#include "app/core/AudioEnvelope.h"

#include <algorithm>

void TAudioEnvelope::Push(std::size_t level, TEnvelopePeak peak) {
  for (;; ++level) {
    if (level == FLevels.size()) FLevels.emplace_back();
    std::vector<TEnvelopePeak>& entries = FLevels[level];
    entries.push_back(peak);
    // Each completed pair makes one entry of the level above.
    if (entries.size() % 2 != 0) return;
    peak = Joined(entries[entries.size() - 2], entries.back());
  }
}

void TAudioEnvelope::Append(const std::vector<TEnvelopePeak>& peaks) {
  for (const TEnvelopePeak& peak : peaks) Push(0, peak);
}

void TAudioEnvelope::Clear() { FLevels.clear(); }

TEnvelopePeak TAudioEnvelope::Over(TMillis from, TMillis to) const {
  const std::size_t count = Buckets();
  if (count == 0) return {};
  const auto bucketOf = [this](TMillis at) { return static_cast<std::size_t>(std::max<long long>(0, at / FBucket)); };
  std::size_t low = bucketOf(from);
  std::size_t high = std::min(count, std::max(low + 1, bucketOf(to - TMillis{1}) + 1));
  if (low >= high) return {};
  bool any = false;
  TEnvelopePeak peak;
  const auto take = [&any, &peak](TEnvelopePeak entry) {
    peak = any ? Joined(peak, entry) : entry;
    any = true;
  };
  // Each level takes the odd entries at the ends of the stretch and hands the rest to the level above.
  for (std::size_t level = 0; low < high; ++level, low /= 2, high /= 2) {
    const std::vector<TEnvelopePeak>& entries = FLevels[level];
    if (low % 2 != 0) take(entries[low++]);
    if (high % 2 != 0) take(entries[--high]);
  }
  return peak;
}
