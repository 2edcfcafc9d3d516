// TFakeAudioPlayer: the song's position as the fake clock moves it.
#include "platform/headless/FakeAudioPlayer.h"

#include <cmath>

void TFakeAudioPlayer::Open(const std::filesystem::path& file) {
  Close();
  if (!FOpenError.empty()) throw EAudioError(FOpenError);
  FFile = file;
  FOpen = true;
}

void TFakeAudioPlayer::Close() {
  FOpen = FPlaying = FEndReported = false;
  FFile.clear();
  FBase = FSince = TMillis{0};
}

void TFakeAudioPlayer::Play() {
  if (!FOpen || FPlaying) return;
  FBase = StreamPosition();
  FSince = FClock.Now();
  FPlaying = true;
}

void TFakeAudioPlayer::Pause() {
  if (!FPlaying) return;
  FBase = StreamPosition();
  FSince = FClock.Now();
  FPlaying = false;
}

void TFakeAudioPlayer::Seek(TMillis position) {
  if (!FOpen) return;
  FBase = std::clamp(position, TMillis{0}, FSongLength);
  FSince = FClock.Now();
  FEndReported = false;
}

void TFakeAudioPlayer::SetRate(double rate) {
  FBase = StreamPosition();
  FSince = FClock.Now();
  FRate = rate;
}

std::optional<TMillis> TFakeAudioPlayer::Duration() const {
  if (!FOpen) return std::nullopt;
  return FSongLength;
}

TMillis TFakeAudioPlayer::Unclamped() const {
  if (!FPlaying) return FBase;
  const auto elapsed = static_cast<double>((FClock.Now() - FSince).count());
  return FBase + TMillis{std::llround(elapsed * FRate)};
}

TMillis TFakeAudioPlayer::StreamPosition() const { return std::min(Unclamped(), FSongLength); }

TPlayerEvents TFakeAudioPlayer::TakeEvents() {
  TPlayerEvents events;
  if (FPlaying && Unclamped() >= FSongLength && !FEndReported) {
    events.Ended = true;
    FEndReported = true;
  }
  return events;
}
