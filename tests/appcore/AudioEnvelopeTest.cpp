// TAudioEnvelope against a plain scan of its buckets; TPeakAccumulator's bucket edges; TWaveformScale's zoom and scroll.
#include <gtest/gtest.h>

#include <random>

#include "app/core/AudioEnvelope.h"
#include "app/core/WaveformScale.h"

namespace {

using namespace std::chrono_literals;

TEST(AudioEnvelopeTest, ThePeakOfAnyStretchIsThatOfAPlainScan) {
  std::mt19937 random(27);
  std::uniform_real_distribution<float> sample(-1, 1);
  for (const std::size_t count : {0u, 1u, 2u, 3u, 7u, 64u, 1000u, 4099u}) {
    SCOPED_TRACE(count);
    TAudioEnvelope envelope(10ms);
    std::vector<TEnvelopePeak> peaks;
    // Arriving in uneven batches, as the decoder hands them over.
    for (std::size_t i = 0; i < count;) {
      std::vector<TEnvelopePeak> batch;
      for (std::size_t n = random() % 50; n > 0 && i < count; --n, ++i) {
        const float a = sample(random), b = sample(random);
        batch.push_back({std::min(a, b), std::max(a, b)});
      }
      envelope.Append(batch);
      peaks.insert(peaks.end(), batch.begin(), batch.end());
    }
    ASSERT_EQ(envelope.Buckets(), count);
    for (int round = 0; round < 500; ++round) {
      const long long from = static_cast<long long>(random() % (10 * count + 20)) - 5;
      const long long to = from + static_cast<long long>(random() % (10 * count + 20));
      // The plain scan: every bucket that touches from..to, at least the bucket of from.
      const long long first = std::max(0LL, from / 10);
      const long long last = std::max(first + 1, (to - 1) / 10 + 1);
      std::optional<TEnvelopePeak> expected;
      for (long long b = first; b < last && b < static_cast<long long>(count); ++b)
        expected = expected ? Joined(*expected, peaks[static_cast<std::size_t>(b)]) : peaks[static_cast<std::size_t>(b)];
      const TEnvelopePeak got = envelope.Over(TMillis{from}, TMillis{to});
      ASSERT_EQ(got.Low, expected ? expected->Low : 0.0f) << from << ".." << to;
      ASSERT_EQ(got.High, expected ? expected->High : 0.0f) << from << ".." << to;
    }
  }
}

TEST(AudioEnvelopeTest, BucketsKeepStepWithTheSongsTimeAtEveryRate) {
  // A one-sample spike at each whole second lands in the bucket of its time, whatever the rate.
  for (const int rate : {8000, 11025, 22050, 44100, 48000, 96000}) {
    SCOPED_TRACE(rate);
    const TMillis bucket = 10ms;
    std::vector<float> samples(static_cast<std::size_t>(rate) * 30, 0.0f);
    for (int second = 1; second < 30; ++second) samples[static_cast<std::size_t>(second) * rate] = 1.0f;
    TPeakAccumulator accumulator(rate, bucket);
    std::vector<TEnvelopePeak> peaks;
    for (std::size_t at = 0; at < samples.size(); at += 1237)
      accumulator.Add(samples.data() + at, std::min<std::size_t>(1237, samples.size() - at), peaks);
    accumulator.Finish(peaks);
    ASSERT_EQ(peaks.size(), 3000u);
    for (std::size_t b = 0; b < peaks.size(); ++b) EXPECT_EQ(peaks[b].High, b % 100 == 0 && b > 0 ? 1.0f : 0.0f) << b;
  }
}

TEST(AudioEnvelopeTest, ZoomKeepsTheTimeUnderThePointerAndStaysOnTheSong) {
  TWaveformScale scale;
  scale.Fit(300000ms, 1000);
  EXPECT_EQ(scale.MillisPerPixel(), 300);
  EXPECT_EQ(scale.TimeAt(1000), 300000ms);
  const TMillis under = scale.TimeAt(400);
  for (int step = 0; step < 5; ++step) {
    scale.ZoomAround(400, 0.5);
    EXPECT_NEAR(static_cast<double>(scale.TimeAt(400).count()), static_cast<double>(under.count()), scale.MillisPerPixel());
    EXPECT_EQ(scale.XOf(under), 400);
  }
  // Never finer than a bucket a pixel, never coarser than the whole song.
  for (int step = 0; step < 20; ++step) scale.ZoomAround(400, 0.5);
  EXPECT_EQ(scale.MillisPerPixel(), TWaveformScale::kFinest);
  for (int step = 0; step < 40; ++step) scale.ZoomAround(10, 2);
  EXPECT_EQ(scale.MillisPerPixel(), 300);
  EXPECT_EQ(scale.Start(), 0ms);
  // Zoomed in at the end, the view neither scrolls nor follows past the song.
  scale.ZoomAround(999, 0.1);
  EXPECT_EQ(scale.TimeAt(999), 299700ms);
  scale.ScrollBy(500);
  EXPECT_EQ(scale.TimeAt(1000), 300000ms);
  scale.Follow(1000ms);
  EXPECT_EQ(scale.Start(), 0ms);
  scale.Follow(150000ms);
  EXPECT_EQ(scale.XOf(150000ms), 100);
  scale.SetSpan(300000ms, 500);
  EXPECT_EQ(scale.XOf(150000ms), 100);
}

}  // namespace
