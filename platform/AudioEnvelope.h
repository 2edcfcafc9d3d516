// IEnvelopeDecoder: a song's amplitude envelope decoded in the background, as peaks of fixed time buckets.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/AudioPlayer.h"

// The lowest and the highest sample of a stretch of the song, from -1 to 1
// (the channels mixed). An empty stretch is 0 to 0.
struct TEnvelopePeak {
  float Low = 0;
  float High = 0;
};

// Joins two stretches into one.
TEnvelopePeak Joined(TEnvelopePeak a, TEnvelopePeak b);

// Turns samples arriving in blocks into one peak a bucket. Bucket k holds
// the samples from k * bucket to (k + 1) * bucket of the song's time, at the
// sample rate given: the buckets keep step with the song's time also where
// a bucket is not a whole number of samples.
class TPeakAccumulator {
 public:
  TPeakAccumulator(int sampleRate, TMillis bucket);
  // Appends the peak of every bucket the samples complete to done.
  void Add(const float* samples, std::size_t count, std::vector<TEnvelopePeak>& done);
  // Appends the last bucket, when samples of it arrived.
  void Finish(std::vector<TEnvelopePeak>& done);
  std::size_t Samples() const { return FSamples; }

 private:
  std::size_t BucketEnd(std::size_t bucket) const;

  long long FSampleRate;
  long long FBucketMillis;
  std::size_t FSamples = 0;
  std::size_t FBucket = 0;
  std::size_t FBucketEnd;
  bool FOpen = false;
  TEnvelopePeak FPeak;
};

// What the decoding came to since the last look.
struct TEnvelopeProgress {
  std::vector<TEnvelopePeak> Peaks;  // the buckets completed since the last look, in order
  TMillis Decoded{0};                // how much of the song is decoded
  std::optional<TMillis> Duration;   // the song's length, once known
  bool Done = false;                 // the whole song is decoded (or decoding failed)
  std::string Error;                 // UTF-8; empty when nothing failed
};

// Decodes a song without playing it, on the backend's own threads, keeping
// only the peaks: the memory it takes grows with the song's length in
// buckets, never with its samples.
class IEnvelopeDecoder {
 public:
  virtual ~IEnvelopeDecoder() = default;
  // Starts decoding file in place of the one decoded before and returns at
  // once. A file that is missing or not a file raises EAudioError; a file
  // that cannot be decoded is told by the progress.
  virtual void Start(const std::filesystem::path& file, TMillis bucket) = 0;
  virtual void Stop() = 0;
  virtual TEnvelopeProgress TakeProgress() = 0;
};
