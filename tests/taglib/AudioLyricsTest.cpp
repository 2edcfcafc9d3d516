// Tests of the lyrics inside audio files: every kind read and written on files the tests make, other tags and the audio kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/tag.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/xiphcomment.h>

#include <map>

#include "platform/AudioLyrics.h"
#include "platform/Exceptions.h"
#include "tests/TempDir.h"
#include "tests/AudioFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kLyrics = "[ti:さざなみ]\n[00:12.30]<00:12.30>さざ<00:12.80>なみの 〜音\n[00:15.00]\n";

// Made once per kind, copied for each test.
const fs::path& ToneFile(const std::string& extension) {
  static TTempDir folder;
  static std::map<std::string, fs::path> made;
  const auto found = made.find(extension);
  if (found != made.end()) return found->second;
  fs::path path = folder.Path() / ("tone" + extension);
  if (!MakeToneFile(path)) path.clear();
  return made.emplace(extension, path).first->second;
}

struct TKindCase {
  const char* Extension;
  TLyricsFrame Written;
};

class AudioLyrics : public ::testing::TestWithParam<TKindCase> {
 protected:
  void SetUp() override {
    const fs::path& tone = ToneFile(GetParam().Extension);
    if (tone.empty()) GTEST_SKIP() << "GStreamer cannot make a " << GetParam().Extension << " file here";
    FAudio = FFolder.Path() / (std::string("song") + GetParam().Extension);
    fs::copy_file(tone, FAudio);
  }

  // Title and artist, set by TagLib itself, to be kept by every write.
  void SetOtherTags() {
    TagLib::FileRef file(FAudio.c_str());
    ASSERT_FALSE(file.isNull());
    file.tag()->setTitle(TagLib::String("題名", TagLib::String::UTF8));
    file.tag()->setArtist("Singer");
    ASSERT_TRUE(file.save());
  }

  void ExpectOtherTagsKept() {
    TagLib::FileRef file(FAudio.c_str());
    ASSERT_FALSE(file.isNull());
    EXPECT_EQ(file.tag()->title().to8Bit(true), "題名");
    EXPECT_EQ(file.tag()->artist().to8Bit(true), "Singer");
  }

  TTempDir FFolder;
  fs::path FAudio;
};

TEST_P(AudioLyrics, AreWrittenReadBackAndKeepTheOtherTagsAndTheAudio) {
  SetOtherTags();
  const std::string audio = AudioStreamBytes(FAudio);
  ASSERT_FALSE(audio.empty());
  EXPECT_EQ(ReadAudioLyrics(FAudio).Frame, TLyricsFrame::None);

  EXPECT_EQ(WriteAudioLyrics(FAudio, "古い歌詞"), GetParam().Written);
  EXPECT_EQ(WriteAudioLyrics(FAudio, kLyrics), GetParam().Written);
  const TStoredLyrics read = ReadAudioLyrics(FAudio);
  EXPECT_EQ(read.Frame, GetParam().Written);
  EXPECT_EQ(read.Text, kLyrics);
  ExpectOtherTagsKept();
  EXPECT_EQ(AudioStreamBytes(FAudio), audio);
}

TEST_P(AudioLyrics, AFileThatIsNoAudioOfItsKindIsReportedAndNeverWritten) {
  const std::string bytes = "[00:01.00]not audio at all\r\n" + std::string(4096, 'x');
  const fs::path fake = FFolder.WriteFile(std::string("fake") + GetParam().Extension, bytes);
  EXPECT_THROW(ReadAudioLyrics(fake), EInOutError);
  try {
    WriteAudioLyrics(fake, kLyrics);
    ADD_FAILURE() << "written";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("元のファイルはそのままです"), std::string::npos) << e.what();
  }
  EXPECT_EQ(TTempDir::ReadFile(fake), bytes);
}

TEST_P(AudioLyrics, AReadOnlyFileIsWrittenOnlyWhenAsked) {
  const std::string before = TTempDir::ReadFile(FAudio);
  ASSERT_EQ(::chmod(FAudio.c_str(), 0444), 0);
  if (::access(FAudio.c_str(), W_OK) == 0) GTEST_SKIP() << "root may write a read-only file";
  EXPECT_THROW(WriteAudioLyrics(FAudio, kLyrics), EInOutError);
  EXPECT_EQ(TTempDir::ReadFile(FAudio), before);
  WriteAudioLyrics(FAudio, kLyrics, true);
  EXPECT_EQ(ReadAudioLyrics(FAudio).Text, kLyrics);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AudioLyrics,
                         ::testing::Values(TKindCase{".mp3", TLyricsFrame::Uslt},
                                           TKindCase{".flac", TLyricsFrame::VorbisLyrics},
                                           TKindCase{".ogg", TLyricsFrame::VorbisLyrics},
                                           TKindCase{".opus", TLyricsFrame::VorbisLyrics},
                                           TKindCase{".m4a", TLyricsFrame::Mp4Lyrics}),
                         [](const ::testing::TestParamInfo<TKindCase>& param) {
                           return std::string(param.param.Extension + 1);
                         });

class AudioLyricsFrames : public ::testing::Test {
 protected:
  fs::path Copy(const std::string& extension) {
    const fs::path& tone = ToneFile(extension);
    if (tone.empty()) return {};
    const fs::path path = FFolder.Path() / ("song" + extension);
    fs::copy_file(tone, path);
    return path;
  }
  TTempDir FFolder;
};

TEST_F(AudioLyricsFrames, AnId3v23TagStaysVersion3WithItsLyricsInUtf16) {
  const fs::path mp3 = Copy(".mp3");
  if (mp3.empty()) GTEST_SKIP() << "no MP3 encoder";
  {
    TagLib::MPEG::File file(mp3.c_str());
    file.ID3v2Tag(true)->setTitle("v3");
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3));
  }
  WriteAudioLyrics(mp3, kLyrics);
  TagLib::MPEG::File file(mp3.c_str());
  EXPECT_EQ(file.ID3v2Tag()->header()->majorVersion(), 3u);
  const auto* frame =
      dynamic_cast<TagLib::ID3v2::UnsynchronizedLyricsFrame*>(file.ID3v2Tag()->frameList("USLT").front());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->textEncoding(), TagLib::String::UTF16);
  EXPECT_EQ(frame->text().to8Bit(true), kLyrics);
  EXPECT_EQ(file.ID3v2Tag()->title().to8Bit(true), "v3");
}

TEST_F(AudioLyricsFrames, SyltPartsAreReadInMilliseconds) {
  const fs::path mp3 = Copy(".mp3");
  if (mp3.empty()) GTEST_SKIP() << "no MP3 encoder";
  {
    TagLib::MPEG::File file(mp3.c_str());
    auto* frame = new TagLib::ID3v2::SynchronizedLyricsFrame(TagLib::String::UTF8);
    frame->setTimestampFormat(TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMilliseconds);
    TagLib::ID3v2::SynchronizedLyricsFrame::SynchedTextList parts;
    parts.append({12300, TagLib::String("さざ", TagLib::String::UTF8)});
    parts.append({12800, "nami"});
    frame->setSynchedText(parts);
    file.ID3v2Tag(true)->addFrame(frame);
    ASSERT_TRUE(file.save());
  }
  const TStoredLyrics read = ReadAudioLyrics(mp3);
  EXPECT_EQ(read.Frame, TLyricsFrame::Sylt);
  ASSERT_EQ(read.Synced.size(), 2u);
  EXPECT_EQ(read.Synced[0].Millis, 12300);
  EXPECT_EQ(read.Synced[0].Text, "さざ");
  EXPECT_EQ(read.Synced[1].Millis, 12800);
}

TEST_F(AudioLyricsFrames, UnsyncedLyricsAreReadAndWrittenInTheFieldTheFileUses) {
  const fs::path flac = Copy(".flac");
  if (flac.empty()) GTEST_SKIP() << "no FLAC encoder";
  {
    TagLib::FLAC::File file(flac.c_str());
    file.xiphComment(true)->addField("UNSYNCEDLYRICS", "old");
    ASSERT_TRUE(file.save());
  }
  EXPECT_EQ(ReadAudioLyrics(flac).Frame, TLyricsFrame::VorbisUnsynced);
  EXPECT_EQ(WriteAudioLyrics(flac, kLyrics), TLyricsFrame::VorbisUnsynced);
  const TStoredLyrics read = ReadAudioLyrics(flac);
  EXPECT_EQ(read.Frame, TLyricsFrame::VorbisUnsynced);
  EXPECT_EQ(read.Text, kLyrics);
  TagLib::FLAC::File file(flac.c_str());
  EXPECT_FALSE(file.xiphComment()->contains("LYRICS"));
}

TEST_F(AudioLyricsFrames, OtherFileTypesAreRefusedByName) {
  const fs::path wav = FFolder.WriteFile("song.wav", "RIFF");
  EXPECT_FALSE(CanHoldLyrics(wav));
  EXPECT_THROW(ReadAudioLyrics(wav), EInOutError);
  EXPECT_THROW(WriteAudioLyrics(wav, kLyrics), EInOutError);
  EXPECT_EQ(TTempDir::ReadFile(wav), "RIFF");
}

}  // namespace
