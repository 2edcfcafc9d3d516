// Songs beside lyrics: the audio file types, "--audio SONG" on the command line, and which song each lyrics file was timed with.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class TIniFile;

// The file types "音声を開く..." lists, lower case with the dot.
const std::vector<std::string>& AudioExtensions();

// Takes "--audio SONG" (or "--audio=SONG") out of the command line and gives SONG.
// Raises std::invalid_argument when "--audio" has no song after it.
std::optional<std::string> TakeAudioArgument(std::vector<std::string>& params);

// An audio file of the lyrics file's base name in its folder ("song.lrc" ->
// "song.mp3", "song.flac", ..., in the order of AudioExtensions).
std::optional<std::filesystem::path> AudioBeside(const std::filesystem::path& lyrics);

// The answer the user gave for each lyrics file: the song opened with it, or
// none when the offer of a song beside it was declined. Kept in the
// settings file's section [RecentAudio] (LyricsN= and SongN=, from 1) for
// the last Capacity lyrics files, the newest first.
class TSongMemory {
 public:
  static constexpr std::size_t Capacity = 32;
  static constexpr const char* Section = "RecentAudio";

  struct TEntry {
    std::string Lyrics;
    std::string Song;  // empty: declined
  };

  void Read(const TIniFile& ini);
  void Write(TIniFile& ini) const;
  // The remembered answer for the lyrics file, if any.
  const TEntry* Find(const std::string& lyrics) const;
  void Remember(const std::string& lyrics, const std::string& song);
  const std::vector<TEntry>& Entries() const { return FEntries; }

 private:
  std::vector<TEntry> FEntries;
};
