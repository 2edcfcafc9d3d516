// Audio file types, the command line's song and the songs remembered per lyrics file.
#include "app/core/SongFiles.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "platform/IniFile.h"

namespace {

constexpr char kOption[] = "--audio";

std::string LyricsKey(std::size_t i) { return "Lyrics" + std::to_string(i); }
std::string SongKey(std::size_t i) { return "Song" + std::to_string(i); }

}  // namespace

const std::vector<std::string>& AudioExtensions() {
  static const std::vector<std::string> extensions{".mp3", ".flac", ".ogg", ".opus", ".wav", ".m4a", ".aac"};
  return extensions;
}

std::optional<std::string> TakeAudioArgument(std::vector<std::string>& params) {
  const std::string prefix = std::string(kOption) + "=";
  for (auto it = params.begin(); it != params.end(); ++it) {
    if (it->rfind(prefix, 0) == 0) {
      std::string song = it->substr(prefix.size());
      params.erase(it);
      return song;
    }
    if (*it == kOption) {
      if (std::next(it) == params.end()) throw std::invalid_argument("--audio の後に音声ファイルの名前がありません");
      std::string song = *std::next(it);
      params.erase(it, it + 2);
      return song;
    }
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> AudioBeside(const std::filesystem::path& lyrics) {
  std::error_code ignored;
  for (const std::string& extension : AudioExtensions()) {
    std::filesystem::path song = lyrics;
    song.replace_extension(extension);
    if (std::filesystem::is_regular_file(song, ignored)) return song;
  }
  return std::nullopt;
}

void TSongMemory::Read(const TIniFile& ini) {
  FEntries.clear();
  for (std::size_t i = 1; i <= Capacity; ++i) {
    std::string lyrics = ini.ReadString(Section, LyricsKey(i), "");
    if (!lyrics.empty()) FEntries.push_back({std::move(lyrics), ini.ReadString(Section, SongKey(i), "")});
  }
}

void TSongMemory::Write(TIniFile& ini) const {
  for (std::size_t i = 1; i <= Capacity; ++i) {
    const bool used = i <= FEntries.size();
    if (!used && !ini.ValueExists(Section, LyricsKey(i))) continue;
    ini.WriteString(Section, LyricsKey(i), used ? FEntries[i - 1].Lyrics : "");
    ini.WriteString(Section, SongKey(i), used ? FEntries[i - 1].Song : "");
  }
}

const TSongMemory::TEntry* TSongMemory::Find(const std::string& lyrics) const {
  const auto found = std::find_if(FEntries.begin(), FEntries.end(), [&](const TEntry& e) { return e.Lyrics == lyrics; });
  return found == FEntries.end() ? nullptr : &*found;
}

void TSongMemory::Remember(const std::string& lyrics, const std::string& song) {
  // A name holding a line break could not be read back as it was.
  if (lyrics.empty() || lyrics.find_first_of("\r\n") != std::string::npos || song.find_first_of("\r\n") != std::string::npos)
    return;
  std::erase_if(FEntries, [&](const TEntry& e) { return e.Lyrics == lyrics; });
  FEntries.insert(FEntries.begin(), {lyrics, song});
  if (FEntries.size() > Capacity) FEntries.resize(Capacity);
}
