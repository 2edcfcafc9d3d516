// TAudioEnvelope: a song's peaks bucket by bucket, answering the peak of any stretch in a few steps.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/AudioEnvelope.h"

// The peaks arrive in order while the song is decoded. Besides the buckets
// it keeps each level of pairs of the level below (half as many entries
// each), so that the peak of a stretch of any length is joined from at most
// two entries a level: drawing a whole hour in a strip costs as little as
// drawing a second of it.
class TAudioEnvelope {
 public:
  explicit TAudioEnvelope(TMillis bucket = TMillis{10}) : FBucket(bucket) {}

  void Append(const std::vector<TEnvelopePeak>& peaks);
  void Clear();
  TMillis Bucket() const { return FBucket; }
  std::size_t Buckets() const { return FLevels.empty() ? 0 : FLevels.front().size(); }
  // How much of the song the peaks cover.
  TMillis Covered() const { return FBucket * static_cast<long long>(Buckets()); }
  // The peak of the buckets that touch from..to (at least the bucket of
  // from); 0 to 0 where nothing is decoded.
  TEnvelopePeak Over(TMillis from, TMillis to) const;

 private:
  void Push(std::size_t level, TEnvelopePeak peak);

  TMillis FBucket;
  std::vector<std::vector<TEnvelopePeak>> FLevels;
};
