// IAudioPlayer: a song played on a clock, behind which a real backend or a fake clock stands.
#pragma once

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

using TMillis = std::chrono::milliseconds;

// What happened since the last look: the song came to its end, or playback
// failed after the song was opened (a damaged stretch of the file).
struct TPlayerEvents {
  bool Ended = false;
  std::string Error;  // UTF-8; empty when nothing failed
};

// Every call returns at once: the sound is made elsewhere (the backend's own
// threads), so that the editor never waits for it.
class IAudioPlayer {
 public:
  virtual ~IAudioPlayer() = default;

  // Opens a song, paused at its start, in place of the one open before.
  // Raises EAudioError with a message for the user when the file cannot be
  // played; the player is then closed.
  virtual void Open(const std::filesystem::path& file) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual bool Playing() const = 0;
  // Held to the song: from 0 to its length.
  virtual void Seek(TMillis position) = 0;
  // 1.0 is the song's own speed; the pitch stays whatever the rate.
  virtual void SetRate(double rate) = 0;
  virtual double Rate() const = 0;
  // 0.0 to 1.0.
  virtual void SetVolume(double volume) = 0;
  virtual double Volume() const = 0;

  // The song's length, once known.
  virtual std::optional<TMillis> Duration() const = 0;
  // Where in the song the samples now handed to the output are, read from
  // the playback clock at the moment of the call (not from the last update).
  virtual TMillis StreamPosition() const = 0;
  // How long the output takes from there to the ear, as the output reports it now.
  virtual TMillis OutputLatency() const = 0;
  // Where in the song the sound now heard is: never below 0.
  TMillis Position() const { return std::max(TMillis{0}, StreamPosition() - OutputLatency()); }

  // True when no audio output could be opened and the song plays silently on the clock.
  virtual bool Silent() const = 0;
  virtual TPlayerEvents TakeEvents() = 0;
};

class EAudioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
