// TFakeAudioPlayer: a player whose song is only a length and whose clock moves when a test says so.
#pragma once

#include "platform/AudioPlayer.h"

class TFakeClock {
 public:
  TMillis Now() const { return FNow; }
  void Advance(TMillis by) { FNow += by; }

 private:
  TMillis FNow{0};
};

// Plays a song of SetSongLength on the clock: the position runs at the
// rate while playing, stops at the length and reports the end once.
class TFakeAudioPlayer : public IAudioPlayer {
 public:
  explicit TFakeAudioPlayer(const TFakeClock& clock) : FClock(clock) {}

  // What the next Open gives the song.
  void SetSongLength(TMillis length) { FSongLength = length; }
  void SetLatency(TMillis latency) { FLatency = latency; }
  // The next Open fails with this message (empty: it succeeds).
  void SetOpenError(std::string message) { FOpenError = std::move(message); }
  const std::filesystem::path& File() const { return FFile; }

  void Open(const std::filesystem::path& file) override;
  void Close() override;
  bool IsOpen() const override { return FOpen; }
  void Play() override;
  void Pause() override;
  bool Playing() const override { return FPlaying; }
  void Seek(TMillis position) override;
  void SetRate(double rate) override;
  double Rate() const override { return FRate; }
  void SetVolume(double volume) override { FVolume = volume; }
  double Volume() const override { return FVolume; }
  std::optional<TMillis> Duration() const override;
  TMillis StreamPosition() const override;
  TMillis OutputLatency() const override { return FLatency; }
  bool Silent() const override { return true; }
  TPlayerEvents TakeEvents() override;

 private:
  // The position the clock has reached, before it is held to the length.
  TMillis Unclamped() const;

  const TFakeClock& FClock;
  TMillis FSongLength{60000};
  TMillis FLatency{0};
  std::string FOpenError;
  std::filesystem::path FFile;
  bool FOpen = false;
  bool FPlaying = false;
  bool FEndReported = false;
  double FRate = 1.0;
  double FVolume = 1.0;
  // The position at FSince on the clock.
  TMillis FBase{0};
  TMillis FSince{0};
};
