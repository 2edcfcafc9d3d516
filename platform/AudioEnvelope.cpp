// TPeakAccumulator: the lowest and highest sample of each bucket, bucket edges kept on the song's time.
#include "platform/AudioEnvelope.h"

#include <algorithm>

TEnvelopePeak Joined(TEnvelopePeak a, TEnvelopePeak b) { return {std::min(a.Low, b.Low), std::max(a.High, b.High)}; }

TPeakAccumulator::TPeakAccumulator(int sampleRate, TMillis bucket)
    : FSampleRate(std::max(1, sampleRate)), FBucketMillis(std::max<long long>(1, bucket.count())), FBucketEnd(BucketEnd(0)) {}

std::size_t TPeakAccumulator::BucketEnd(std::size_t bucket) const {
  // Rounded up: the first sample at or after the bucket's end time.
  const auto ms = static_cast<long long>(bucket + 1) * FBucketMillis;
  return static_cast<std::size_t>((ms * FSampleRate + 999) / 1000);
}

void TPeakAccumulator::Add(const float* samples, std::size_t count, std::vector<TEnvelopePeak>& done) {
  for (std::size_t i = 0; i < count;) {
    if (FSamples == FBucketEnd) {
      done.push_back(FPeak);
      FPeak = {};
      FOpen = false;
      FBucketEnd = BucketEnd(++FBucket);
      continue;
    }
    const std::size_t take = std::min(count - i, FBucketEnd - FSamples);
    if (!FOpen) FPeak = {samples[i], samples[i]};
    FOpen = true;
    const auto [low, high] = std::minmax_element(samples + i, samples + i + take);
    FPeak = Joined(FPeak, {*low, *high});
    i += take;
    FSamples += take;
  }
}

void TPeakAccumulator::Finish(std::vector<TEnvelopePeak>& done) {
  if (FOpen) done.push_back(FPeak);
  FPeak = {};
  FOpen = false;
}
