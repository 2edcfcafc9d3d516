// TGstEnvelopeDecoder on WAV files the test writes: where the sound starts, how the buckets keep time, broken files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/core/AudioEnvelope.h"
#include "platform/WaveFile.h"
#include "platform/gstreamer/GstEnvelopeDecoder.h"
#include "tests/TempDir.h"

namespace {

using namespace std::chrono_literals;

constexpr TMillis kBucket{10};

// Decodes file to the end: the envelope, and the last progress seen.
TEnvelopeProgress DecodeAll(const std::filesystem::path& file, TAudioEnvelope& envelope) {
  TGstEnvelopeDecoder decoder;
  decoder.Start(file, kBucket);
  TEnvelopeProgress last;
  for (int polls = 0; polls < 3000 && !last.Done; ++polls) {
    std::this_thread::sleep_for(10ms);
    TEnvelopeProgress progress = decoder.TakeProgress();
    envelope.Append(progress.Peaks);
    if (progress.Duration) last.Duration = progress.Duration;
    last.Done = progress.Done;
    last.Error = progress.Error;
    last.Decoded = progress.Decoded;
  }
  return last;
}

// Back-to-back clicks: a steady tone from `from` to `to`.
std::vector<TMillis> ToneBetween(TMillis from, TMillis to) {
  std::vector<TMillis> clicks;
  for (TMillis at = from; at < to; at += 10ms) clicks.push_back(at);
  return clicks;
}

TEST(EnvelopeDecoderTest, TheEnvelopeRisesWithinOneBucketOfTheTonesStart) {
  TTempDir dir;
  // Sample rates whose buckets are and are not whole numbers of samples.
  for (const auto& [rate, toneAt] : std::vector<std::pair<int, TMillis>>{{44100, 1234ms}, {22050, 2345ms}, {8000, 2999ms}}) {
    SCOPED_TRACE(rate);
    const auto song = dir.WriteFile("tone.wav", ClickTrackWave(4000ms, ToneBetween(toneAt, 3500ms), rate));
    TAudioEnvelope envelope(kBucket);
    const TEnvelopeProgress end = DecodeAll(song, envelope);
    ASSERT_TRUE(end.Done);
    EXPECT_EQ(end.Error, "");
    EXPECT_NEAR(static_cast<double>(envelope.Buckets()), 400, 1);
    EXPECT_NEAR(static_cast<double>(end.Decoded.count()), 4000, 1);
    std::optional<std::size_t> rises;
    for (std::size_t bucket = 0; bucket < envelope.Buckets() && !rises; ++bucket) {
      const TEnvelopePeak peak = envelope.Over(kBucket * static_cast<long long>(bucket), kBucket * static_cast<long long>(bucket + 1));
      if (peak.High > 0.3f) rises = bucket;
    }
    ASSERT_TRUE(rises.has_value());
    EXPECT_LE(std::abs(static_cast<long long>(*rises) - toneAt / kBucket), 1);
    // Silence before it, the tone's full swing after it, silence again at the end.
    const TEnvelopePeak before = envelope.Over(0ms, toneAt - kBucket);
    EXPECT_LT(before.High, 0.01f);
    EXPECT_GT(before.Low, -0.01f);
    const TEnvelopePeak tone = envelope.Over(toneAt + kBucket, 3400ms);
    EXPECT_GT(tone.High, 0.5f);
    EXPECT_LT(tone.Low, -0.5f);
    EXPECT_LT(envelope.Over(3600ms, 4000ms).High, 0.01f);
  }
}

TEST(EnvelopeDecoderTest, ABrokenOrMissingFileIsToldAndGivesNoPeaks) {
  TTempDir dir;
  const std::string wave = ClickTrackWave(1000ms, {100ms});
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"text.wav", "これは音声ではありません\n"},
           {"cut-in-header.wav", wave.substr(0, 20)},
           {"empty.mp3", ""}}) {
    SCOPED_TRACE(name);
    TAudioEnvelope envelope(kBucket);
    const TEnvelopeProgress end = DecodeAll(dir.WriteFile(name, bytes), envelope);
    EXPECT_TRUE(end.Done);
    EXPECT_NE(end.Error.find(name), std::string::npos) << end.Error;
    EXPECT_EQ(envelope.Buckets(), 0u);
  }
  TGstEnvelopeDecoder decoder;
  EXPECT_THROW(decoder.Start(dir.Path() / "missing.wav", kBucket), EAudioError);
  EXPECT_THROW(decoder.Start(dir.Path(), kBucket), EAudioError);
}

TEST(EnvelopeDecoderTest, StoppingMidwayAndStartingAgainDecodesTheNewSongOnly) {
  TTempDir dir;
  const auto longSong = dir.WriteFile("long.wav", ClickTrackWave(60000ms, ToneBetween(0ms, 60000ms)));
  const auto shortSong = dir.WriteFile("short.wav", ClickTrackWave(1000ms, {}));
  TGstEnvelopeDecoder decoder;
  decoder.Start(longSong, kBucket);
  decoder.Start(shortSong, kBucket);
  TAudioEnvelope envelope(kBucket);
  for (int polls = 0; polls < 3000; ++polls) {
    std::this_thread::sleep_for(10ms);
    const TEnvelopeProgress progress = decoder.TakeProgress();
    envelope.Append(progress.Peaks);
    if (progress.Done) break;
  }
  EXPECT_EQ(envelope.Buckets(), 100u);
  EXPECT_LT(envelope.Over(0ms, 1000ms).High, 0.01f);
}

}  // namespace
