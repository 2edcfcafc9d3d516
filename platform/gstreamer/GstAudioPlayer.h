// TGstAudioPlayer: IAudioPlayer on GStreamer's playbin, with scaletempo so that a slower rate keeps the pitch.
#pragma once

#include <string>

#include "platform/AudioPlayer.h"

typedef struct _GstElement GstElement;

// The output is, in this order: the sink description given to the
// constructor, the environment variable VERSELET_AUDIO_SINK (both in
// gst-launch syntax, e.g. "fakesink sync=true"), or the system's audio
// output. Where the system has no usable output the song plays silently on
// the clock and Silent() tells so.
class TGstAudioPlayer : public IAudioPlayer {
 public:
  explicit TGstAudioPlayer(std::string sinkDescription = {});
  ~TGstAudioPlayer() override;
  TGstAudioPlayer(const TGstAudioPlayer&) = delete;
  TGstAudioPlayer& operator=(const TGstAudioPlayer&) = delete;

  void Open(const std::filesystem::path& file) override;
  void Close() override;
  bool IsOpen() const override { return FPipeline != nullptr; }
  void Play() override;
  void Pause() override;
  bool Playing() const override { return FPlaying; }
  void Seek(TMillis position) override;
  void SetRate(double rate) override;
  double Rate() const override { return FRate; }
  void SetVolume(double volume) override;
  double Volume() const override { return FVolume; }
  std::optional<TMillis> Duration() const override;
  TMillis StreamPosition() const override;
  TMillis OutputLatency() const override;
  bool Silent() const override { return FSilent; }
  TPlayerEvents TakeEvents() override;

 private:
  GstElement* MakeSink() const;
  // Waits for the pipeline to settle after a state change or seek; the error it met, if any.
  std::string Settle();
  // A flushing seek to position at the current rate.
  void SeekAt(TMillis position);
  bool OutputIsFake() const;
  // Whether the pipeline plays with no state change pending: its output's latency is then set.
  bool SettledPlaying() const;

  std::string FSinkDescription;
  GstElement* FPipeline = nullptr;
  GstElement* FSink = nullptr;
  std::filesystem::path FFile;
  bool FPlaying = false;
  bool FSilent = false;
  double FRate = 1.0;
  double FVolume = 1.0;
  // Where the last seek went: the position while paused, until the pipeline has settled there.
  TMillis FPausedAt{0};
  // The answers of queries that cross the whole pipeline, kept until they
  // may change: the output's latency until the state changes or the
  // pipeline reports a new latency, the length until it reports a new one.
  mutable std::optional<TMillis> FLatency;
  mutable std::optional<TMillis> FDuration;
};
