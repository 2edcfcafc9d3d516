// Lyrics stored inside audio files (ID3 USLT and SYLT, Vorbis comments, MP4 ©lyr): reading and writing them safely.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Where an audio file keeps its lyrics.
enum class TLyricsFrame {
  None,           // the file holds no lyrics
  Uslt,           // ID3v2 USLT, unsynchronised text (often LRC text)
  Sylt,           // ID3v2 SYLT, text with a time per part
  VorbisLyrics,   // Vorbis comment LYRICS (FLAC, Ogg Vorbis, Opus)
  VorbisUnsynced, // Vorbis comment UNSYNCEDLYRICS
  Mp4Lyrics,      // MP4 item ©lyr
};

// The name the user sees ("ID3 USLT").
const char* LyricsFrameName(TLyricsFrame frame);

// One part of a SYLT frame: its text, shown from Millis on.
struct TSyncedText {
  long long Millis = 0;
  std::string Text;  // UTF-8
};

struct TStoredLyrics {
  TLyricsFrame Frame = TLyricsFrame::None;
  std::string Text;                 // UTF-8, as stored (Uslt, Vorbis*, Mp4Lyrics)
  std::vector<TSyncedText> Synced;  // Sylt, in milliseconds
};

// Whether the file type (by its extension) can hold lyrics here: .mp3,
// .flac, .ogg, .opus, .m4a, .mp4.
bool CanHoldLyrics(const std::filesystem::path& audio);

// The lyrics of the file: USLT before SYLT in an MP3, LYRICS before
// UNSYNCEDLYRICS in a Vorbis comment. Raises EInOutError when the file
// cannot be read, is of another type, or is not a file of its type.
TStoredLyrics ReadAudioLyrics(const std::filesystem::path& audio);

// Writes utf8 as the file's lyrics: into USLT in an MP3 (in the ID3v2
// version the file has, UTF-8 in 2.4, UTF-16 in 2.3), into the Vorbis
// comment LYRICS (or UNSYNCEDLYRICS when the file uses only that), into
// ©lyr in an MP4. Every other tag and the audio stay as they are. The
// change is made on a copy, and the copy replaces the file only when it was
// saved whole, through the program's own safe save; a file that cannot be
// parsed is never written. Raises EInOutError, saying the file is intact.
// The frame written is returned.
TLyricsFrame WriteAudioLyrics(const std::filesystem::path& audio, std::string_view utf8,
                              bool overwriteReadOnly = false);
