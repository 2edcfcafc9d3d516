// The song on the command line, the song beside a lyrics file, the songs remembered per lyrics file, and the reaction delay's median.
#include <gtest/gtest.h>

#include "app/core/ReactionDelay.h"
#include "app/core/SongFiles.h"
#include "platform/IniFile.h"
#include "tests/TempDir.h"

namespace {

using namespace std::chrono_literals;
using V = std::vector<std::string>;

TEST(SongFilesTest, TheAudioOptionIsTakenOutOfTheCommandLine) {
  const struct {
    V Params;
    std::optional<std::string> Song;
    V Rest;
  } cases[] = {
      {{"a.lrc", "--audio", "a.mp3"}, "a.mp3", {"a.lrc"}},
      {{"--audio", "a.mp3", "a.lrc"}, "a.mp3", {"a.lrc"}},
      {{"--audio=x y.ogg", "a.lrc"}, "x y.ogg", {"a.lrc"}},
      {{"a.lrc"}, std::nullopt, {"a.lrc"}},
  };
  for (const auto& c : cases) {
    V params = c.Params;
    EXPECT_EQ(TakeAudioArgument(params), c.Song);
    EXPECT_EQ(params, c.Rest);
  }
  V bare{"a.lrc", "--audio"};
  EXPECT_THROW(TakeAudioArgument(bare), std::invalid_argument);
}

TEST(SongFilesTest, FindsTheSongOfTheSameNameBesideTheLyrics) {
  TTempDir dir;
  const auto lyrics = dir.WriteFile("song.lrc", "");
  EXPECT_EQ(AudioBeside(lyrics), std::nullopt);
  std::filesystem::create_directory(dir.Path() / "song.mp3");  // a folder is no song
  dir.WriteFile("song.ogg", "x");
  dir.WriteFile("other.flac", "x");
  EXPECT_EQ(AudioBeside(lyrics), dir.Path() / "song.ogg");
  dir.WriteFile("song.flac", "x");
  EXPECT_EQ(AudioBeside(lyrics), dir.Path() / "song.flac");
}

TEST(SongFilesTest, TheAnswersSurviveTheSettingsFileNewestFirstAndBounded) {
  TTempDir dir;
  const auto file = dir.Path() / "verselet.ini";
  TSongMemory memory;
  for (std::size_t i = 0; i < TSongMemory::Capacity + 3; ++i) memory.Remember("l" + std::to_string(i), "");
  memory.Remember("/a/song.lrc", "/a/song.mp3");
  memory.Remember("/b/x.lrc", "");
  memory.Remember("/a/song.lrc", "/a/other.mp3");  // asked again: the new answer, first
  memory.Remember("bad\nname.lrc", "x.mp3");        // could not be read back: not kept
  {
    TIniFile ini(file);
    memory.Write(ini);
    ini.UpdateFile();
  }
  TSongMemory read;
  read.Read(TIniFile(file));
  ASSERT_EQ(read.Entries().size(), TSongMemory::Capacity);
  EXPECT_EQ(read.Entries()[0].Lyrics, "/a/song.lrc");
  EXPECT_EQ(read.Find("/a/song.lrc")->Song, "/a/other.mp3");
  ASSERT_NE(read.Find("/b/x.lrc"), nullptr);
  EXPECT_EQ(read.Find("/b/x.lrc")->Song, "");
  EXPECT_EQ(read.Find("bad\nname.lrc"), nullptr);
  EXPECT_EQ(read.Find("l0"), nullptr);  // the oldest went
}

TEST(ReactionDelayTest, TheMedianOfThePressesThatAnswerAClick) {
  const std::vector<TMillis> clicks{1000ms, 2000ms, 3000ms, 4000ms};
  const struct {
    std::vector<TMillis> Presses;
    std::optional<TMillis> Delay;
  } cases[] = {
      {{1150ms, 2100ms, 3300ms}, 150ms},
      {{1150ms, 2100ms, 3300ms, 4120ms}, 135ms},              // even: the middle two's mean
      {{950ms, 1980ms, 2990ms}, -20ms},                       // early presses count as early
      {{1150ms, 1160ms, 2100ms, 3100ms}, 100ms},              // a second press on a click finds no other
      {{1150ms, 2700ms, 3100ms}, std::nullopt},               // 2700 takes the click 3100 was for: too few
      {{}, std::nullopt},
      {{5600ms, 6000ms, 7000ms}, std::nullopt},               // all beyond half a second of a click
  };
  for (const auto& c : cases) EXPECT_EQ(MedianReactionDelay(clicks, c.Presses), c.Delay);
  EXPECT_EQ(ReactionClicks().size(), 8u);
  EXPECT_LT(ReactionClicks().back(), kReactionClickSongLength);
}

}  // namespace
